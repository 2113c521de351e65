#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "flash_store.h"

namespace gestalon::sim {

// The images the virtual board runs from its flash: the updater that ships with the program
// (firm/zupdater.bin) and firmware for the virtual board. Both are a 16-byte header and a body;
// numbers are little-endian:
//
//   0  magic, 4 bytes: "GZUP" for an updater, "GZFW" for firmware
//   4  format version (16-bit): kFlashImageFormat
//   6  firmware version (16-bit): the version word the firmware brings (0 in an updater)
//   8  body size in bytes (32-bit)
//  12  CRC-32 (the zlib polynomial) of the body (32-bit)
//  16  body
//
// Flash around an image may hold anything (the last 128-byte piece of a transfer carries the
// tail of the previous one), so the header's size alone says where the image ends.
enum class FlashImageKind { kUpdater, kFirmware };

inline constexpr std::uint16_t kFlashImageFormat = 1;
inline constexpr std::uint32_t kFlashImageHeaderSize = 16;

struct FlashImageHeader {
  std::uint16_t firmwareVersion = 0;
  std::uint32_t bodySize = 0;
};

// CRC-32 as zlib computes it.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// An image of `kind` around `body`.
std::vector<std::uint8_t> MakeFlashImage(FlashImageKind kind, std::uint16_t firmwareVersion,
                                         std::span<const std::uint8_t> body);

// The updater that ships with the program, byte for byte.
std::vector<std::uint8_t> MakeUpdaterImage();

// The header of the image of `kind` that starts at `address` in `flash`, when its magic, format,
// size (within flash) and checksum are right; nothing otherwise.
std::optional<FlashImageHeader> CheckFlashImage(const FlashStore& flash, std::uint32_t address,
                                                FlashImageKind kind);

}  // namespace gestalon::sim
