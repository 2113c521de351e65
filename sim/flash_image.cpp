#include "flash_image.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace gestalon::sim {
namespace {

constexpr std::string_view kUpdaterMagic = "GZUP";
constexpr std::string_view kFirmwareMagic = "GZFW";
constexpr std::string_view kUpdaterBody =
    "Gestalon updater: checks the firmware at 0x08020000 and makes it the board's own.\n";

std::string_view Magic(FlashImageKind kind) {
  return kind == FlashImageKind::kUpdater ? kUpdaterMagic : kFirmwareMagic;
}

void Append(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

std::uint32_t Read(const std::vector<std::uint8_t>& bytes, std::size_t offset, int size) {
  std::uint32_t value = 0;
  for (int i = 0; i < size; ++i) {
    value |= std::uint32_t{bytes[offset + static_cast<std::size_t>(i)]} << (8 * i);
  }
  return value;
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

std::vector<std::uint8_t> MakeFlashImage(FlashImageKind kind, std::uint16_t firmwareVersion,
                                         std::span<const std::uint8_t> body) {
  const std::string_view magic = Magic(kind);
  std::vector<std::uint8_t> image(magic.begin(), magic.end());
  Append(image, kFlashImageFormat, 2);
  Append(image, firmwareVersion, 2);
  Append(image, static_cast<std::uint32_t>(body.size()), 4);
  Append(image, Crc32(body), 4);
  image.insert(image.end(), body.begin(), body.end());
  return image;
}

std::vector<std::uint8_t> MakeUpdaterImage() {
  const std::vector<std::uint8_t> body(kUpdaterBody.begin(), kUpdaterBody.end());
  return MakeFlashImage(FlashImageKind::kUpdater, 0, body);
}

std::optional<FlashImageHeader> CheckFlashImage(const FlashStore& flash, std::uint32_t address,
                                                FlashImageKind kind) {
  const std::vector<std::uint8_t> header = flash.Read(address, kFlashImageHeaderSize);
  const std::string_view magic = Magic(kind);
  if (!std::equal(magic.begin(), magic.end(), header.begin()) ||
      Read(header, 4, 2) != kFlashImageFormat) {
    return std::nullopt;
  }
  FlashImageHeader found;
  found.firmwareVersion = static_cast<std::uint16_t>(Read(header, 6, 2));
  found.bodySize = Read(header, 8, 4);
  const std::uint64_t end =
      std::uint64_t{address} + kFlashImageHeaderSize + std::uint64_t{found.bodySize};
  if (address < FlashStore::kBase || end > std::uint64_t{FlashStore::kBase} + FlashStore::kSize) {
    return std::nullopt;
  }
  const std::vector<std::uint8_t> body =
      flash.Read(address + kFlashImageHeaderSize, found.bodySize);
  if (Crc32(body) != Read(header, 12, 4)) {
    return std::nullopt;
  }
  return found;
}

}  // namespace gestalon::sim
