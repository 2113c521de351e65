#include "board/board_mirror.h"

namespace gestalon::core {

bool InBoardMemory(std::int64_t address, std::int64_t length) {
  return address >= 0 && length >= 0 &&
         address + length <= static_cast<std::int64_t>(kBoardMemorySize);
}

std::uint8_t MirrorByte(const BoardMirror& mirror, std::uint32_t address) {
  return InBoardMemory(address, 1) ? mirror[address] : 0;
}

std::uint16_t MirrorWord(const BoardMirror& mirror, std::uint32_t address) {
  if (!InBoardMemory(address, 2)) {
    return 0;
  }
  return static_cast<std::uint16_t>(mirror[address] | mirror[address + 1] << 8);
}

std::uint32_t MirrorLong(const BoardMirror& mirror, std::uint32_t address) {
  if (!InBoardMemory(address, 4)) {
    return 0;
  }
  return static_cast<std::uint32_t>(mirror[address]) |
         static_cast<std::uint32_t>(mirror[address + 1]) << 8 |
         static_cast<std::uint32_t>(mirror[address + 2]) << 16 |
         static_cast<std::uint32_t>(mirror[address + 3]) << 24;
}

void StoreMirrorByte(BoardMirror& mirror, std::uint32_t address, std::uint8_t value) {
  if (InBoardMemory(address, 1)) {
    mirror[address] = value;
  }
}

void StoreMirrorWord(BoardMirror& mirror, std::uint32_t address, std::uint16_t value) {
  if (InBoardMemory(address, 2)) {
    mirror[address] = static_cast<std::uint8_t>(value);
    mirror[address + 1] = static_cast<std::uint8_t>(value >> 8);
  }
}

void StoreMirrorLong(BoardMirror& mirror, std::uint32_t address, std::uint32_t value) {
  if (InBoardMemory(address, 4)) {
    for (std::uint32_t i = 0; i < 4; ++i) {
      mirror[address + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
  }
}

std::string MirrorText(const BoardMirror& mirror, std::uint32_t address, std::size_t maxBytes) {
  std::string text;
  for (std::size_t i = 0; i < maxBytes && address + i < kBoardMemorySize; ++i) {
    const std::uint8_t byte = mirror[address + i];
    if (byte == 0) {
      break;
    }
    text.push_back(static_cast<char>(byte));
  }
  return text;
}

}  // namespace gestalon::core
