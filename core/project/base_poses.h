#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "project/slider_defs.h"

namespace gestalon::core {

inline constexpr int kBasePoseCount = 36;

// Longest name of a base pose; longer names read from a file are cut.
inline constexpr std::size_t kBasePoseNameMaxChars = 127;

// A named reference pose. Only the values of the sliders it enables are stored.
struct BasePose {
  std::u16string name;
  std::array<std::int16_t, kSliderCount> values{};
  std::uint64_t servoEnableMask = 0;  // bit c = servo channel c; the file keeps bits 0..31
  bool registered = false;
  std::array<bool, kSliderCount> axisEnable{};  // slider k takes part in this base pose

  bool operator==(const BasePose&) const = default;
};

// Registered entries are contiguous from entry 0.
struct BasePoseTable {
  std::array<BasePose, kBasePoseCount> entries;
  std::int32_t current = 0;  // chosen base pose, 0..35

  bool operator==(const BasePoseTable&) const = default;
};

// Clears every entry, also when the file cannot be opened or read (then false, no entries).
// `current` changes only when the file names a current base pose; a number outside 0..35 gives 0.
bool ReadBasePoses(const std::filesystem::path& file, BasePoseTable& table);

// Writes the current number and the entries up to the first unregistered one. False when the
// file cannot be written; the previous file is then unchanged.
bool WriteBasePoses(const std::filesystem::path& file, const BasePoseTable& table);

}  // namespace gestalon::core
