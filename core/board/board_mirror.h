#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace gestalon::core {

// The PC-side image of board memory: byte i stands for board address i.
inline constexpr std::size_t kBoardMemorySize = 0x2000;
using BoardMirror = std::array<std::uint8_t, kBoardMemorySize>;

// True when [address, address + length) lies inside board memory (length >= 0).
bool InBoardMemory(std::int64_t address, std::int64_t length);

// Little-endian values of the mirror. Reads reaching past the end of memory give 0; stores
// reaching past it are dropped, so no address from a file or a board reply can overrun it.
std::uint8_t MirrorByte(const BoardMirror& mirror, std::uint32_t address);
std::uint16_t MirrorWord(const BoardMirror& mirror, std::uint32_t address);
std::uint32_t MirrorLong(const BoardMirror& mirror, std::uint32_t address);
void StoreMirrorByte(BoardMirror& mirror, std::uint32_t address, std::uint8_t value);
void StoreMirrorWord(BoardMirror& mirror, std::uint32_t address, std::uint16_t value);
void StoreMirrorLong(BoardMirror& mirror, std::uint32_t address, std::uint32_t value);

// The narrow text at `address` up to its first zero byte, at most `maxBytes` bytes and never
// past the end of memory.
std::string MirrorText(const BoardMirror& mirror, std::uint32_t address, std::size_t maxBytes);

}  // namespace gestalon::core
