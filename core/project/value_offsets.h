#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "project/slider_defs.h"

namespace gestalon::core {

inline constexpr int kOffsetSetCount = 36;

// Longest name of an offset set; longer names read from a file are cut.
inline constexpr std::size_t kOffsetSetNameMaxChars = 127;

// A named set of slider value offsets that the mouse wheel applies to all sliders at once.
struct ValueOffsetSet {
  std::u16string name;  // at most kOffsetSetNameMaxChars
  std::array<std::int16_t, kSliderCount> offsets{};
  bool registered = false;

  bool operator==(const ValueOffsetSet&) const = default;
};

// Registered entries are contiguous from entry 0.
struct ValueOffsetTable {
  std::array<ValueOffsetSet, kOffsetSetCount> entries;
  std::int32_t current = -1;  // chosen set, -1 for none

  bool operator==(const ValueOffsetTable&) const = default;
};

// Clears every entry and the choice, then reads the file (opening it is tried twice). False when
// it cannot be opened or read (the table stays empty). Offsets beyond the 16-bit range are clamped
// to it.
bool ReadValueOffsets(const std::filesystem::path& file, ValueOffsetTable& table);

// Writes the entries up to the first unregistered one. False when the file cannot be written;
// the previous file is then unchanged.
bool WriteValueOffsets(const std::filesystem::path& file, const ValueOffsetTable& table);

}  // namespace gestalon::core
