#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace gestalon::core {

// A decoded image: 0xAARRGGBB pixels, row-major, top row first.
struct Bitmap {
  std::int32_t width = 0, height = 0;
  std::vector<std::uint32_t> pixels;

  bool operator==(const Bitmap&) const = default;
};

// Largest width and height either function accepts.
inline constexpr std::int32_t kMaxBitmapSide = 16384;

// Reads a Windows .bmp file: core, info, V2-V5 headers; uncompressed 1, 4, 8-bit palette images
// and 16, 24, 32-bit images, with bit-field masks for 16 and 32 bits; bottom-up or top-down.
// Alpha is 0xFF except for 32-bit bit-field files whose alpha mask is non-zero.
// nullopt for anything unreadable, unsupported, malformed, truncated or larger than
// kMaxBitmapSide on a side.
std::optional<Bitmap> LoadBitmapFile(const std::filesystem::path& file);

// Writes a 24-bit bottom-up uncompressed .bmp (alpha dropped), replacing `file` only when the
// whole file was written. False for an empty, oversized or inconsistent bitmap or a write error.
bool SaveBitmapFile(const std::filesystem::path& file, const Bitmap& bitmap);

}  // namespace gestalon::core
