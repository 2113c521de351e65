#pragma once

#include <cstdint>
#include <string>

namespace gestalon::core {

// A logical font as the settings files store it (the fields of a Windows LOGFONT).
struct FontSpec {
  std::int32_t height = 0;  // negative: character height in pixels
  std::int32_t width = 0;
  std::int32_t escapement = 0;
  std::int32_t orientation = 0;
  std::int32_t weight = 0;  // 400 normal, 700 bold
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = 0;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::u16string faceName;  // at most 31 characters

  // italic x 4 + underline x 2 + strike-out, as the files write it.
  std::int32_t StyleBits() const {
    return (italic ? 4 : 0) + (underline ? 2 : 0) + (strikeOut ? 1 : 0);
  }
  void SetStyleBits(std::int32_t bits) {
    italic = (bits & 4) ? 1 : 0;
    underline = (bits & 2) ? 1 : 0;
    strikeOut = (bits & 1) ? 1 : 0;
  }

  bool operator==(const FontSpec&) const = default;
};

// Colour as 0x00BBGGRR.
using ColorRef = std::uint32_t;

constexpr ColorRef MakeColorRef(unsigned red, unsigned green, unsigned blue) {
  return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}
constexpr unsigned RedOf(ColorRef c) {
  return c & 0xFF;
}
constexpr unsigned GreenOf(ColorRef c) {
  return (c >> 8) & 0xFF;
}
constexpr unsigned BlueOf(ColorRef c) {
  return (c >> 16) & 0xFF;
}

}  // namespace gestalon::core
