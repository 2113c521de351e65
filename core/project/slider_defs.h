#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "project/logical_font.h"

namespace gestalon::core {

inline constexpr int kSliderCount = 128;

// True for a slider number 0..127.
constexpr bool IsSliderIndex(int index) {
  return index >= 0 && index < kSliderCount;
}

// Longest texts a slider keeps; longer texts read from a file are cut.
inline constexpr std::size_t kAxisNameMaxChars = 15;
inline constexpr std::size_t kSideTextMaxChars = 9;
inline constexpr std::size_t kFaceNameMaxChars = 31;

namespace SliderFlag1 {
inline constexpr std::uint32_t kInverted = 0x1;
inline constexpr std::uint32_t kSelected = 0x2;  // run-time only, never written
}  // namespace SliderFlag1

namespace SliderFlag2 {
inline constexpr std::uint32_t kDisabled = 0x1;
inline constexpr std::uint32_t kShowName = 0x4;
inline constexpr std::uint32_t kSignInverted = 0x8;
inline constexpr std::uint32_t kAbsolute = 0x10;  // not relative to the base pose
inline constexpr std::uint32_t kHideTexts = 0x20;
inline constexpr std::uint32_t kServoChannel = 0x40;    // derived from the CPU settings
inline constexpr std::uint32_t kServoCompanion = 0x80;  // derived from the CPU settings
}  // namespace SliderFlag2

// One pose slider. Slider i holds slot i of every pose and drives board address 0x0A00 + 2i.
struct SliderDef {
  std::array<std::int32_t, 2> filePos{};  // x, y as read from the file
  std::array<std::int32_t, 2> pos{};      // current x, y in the pose area; the one written
  std::uint32_t flags1 = 0;               // SliderFlag1
  std::int32_t putStyle = 0;              // 0 decimal, 1 hexadecimal, 2 degrees, 3 percent
  FontSpec font;
  ColorRef textBkColor = 0;
  ColorRef textColor = 0;
  std::int32_t pairMode = 0;  // 0 none, 1 centre, 2 right, 3 left
  std::int32_t partner = 0;   // other slider of a right/left pair
  std::uint32_t flags2 = 0;   // SliderFlag2
  std::int16_t reading = 0;   // last value read from the robot (run-time only)
  std::int16_t minimum = 0;
  std::int16_t maximum = 0;
  std::uint16_t step = 0;
  double countsPerDegree = 0.0;  // raw counts per displayed degree
  std::u16string axisName;       // at most kAxisNameMaxChars
  std::u16string upperText;      // at most kSideTextMaxChars
  std::u16string lowerText;      // at most kSideTextMaxChars
  std::int32_t decimals = 0;     // digits after the point for styles 2 and 3
  std::int32_t companion = 0;    // run-time: companion slider of the same servo channel
  std::int32_t channel = 0;      // run-time: servo channel of a 0x40 / 0x80 slider

  bool operator==(const SliderDef&) const = default;
};

using SliderTable = std::array<SliderDef, kSliderCount>;

// The main window's geometry stored with the slider definitions. Each value keeps its default
// when the file has no key for it.
struct WindowLayout {
  double splitRatio = static_cast<double>(0.6f);  // pose area share of the client width
  std::uint32_t collapsed = 0;                    // 0 or all ones
  std::int32_t clientWidth = 880;
  std::int32_t clientHeight = 640;
  std::int32_t left = 30;
  std::int32_t top = 20;
  // The robot preview window: open when the program ended, and its frame's top-left corner and
  // size. Written (as _PREVIEW_WINDOW) only once the window has been placed (width > 0), so that
  // the files of projects that never used it stay as they were.
  std::int32_t previewOpen = 0;
  std::int32_t previewLeft = 0;
  std::int32_t previewTop = 0;
  std::int32_t previewWidth = 0;
  std::int32_t previewHeight = 0;

  bool operator==(const WindowLayout&) const = default;
};

// False, with `sliders` and `layout` unchanged, when the file cannot be opened or read. Otherwise
// every slider is reset to all zero and the layout to its defaults before the file's values are
// taken.
bool ReadSliderDefinitions(const std::filesystem::path& file, SliderTable& sliders,
                           WindowLayout& layout);

// Writes the layout and all 128 sliders. False when the file cannot be written; the previous
// file is then unchanged. The selected bit of flags1 and the font escapement are not stored.
bool WriteSliderDefinitions(const std::filesystem::path& file, const SliderTable& sliders,
                            const WindowLayout& layout);

}  // namespace gestalon::core
