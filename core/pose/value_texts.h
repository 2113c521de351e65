#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "project/project_loader.h"

namespace gestalon::core {

// Characters of FormatValueField that the value box draws; the trailing blanks of the text erase
// a longer text drawn before.
inline constexpr std::size_t kValueFieldChars = 14;

// The number a slider shows for a raw value: the difference to the current base pose value when
// the slider is not absolute (0x10) and the current base pose is registered (whether the base
// pose enables the axis does not matter here), negated for sign inversion (0x8).
std::int32_t DisplayedDifference(const LoadedProject& project, int slider, std::int16_t value);

// The displayed amount for the degree (2) and percent (3) styles: the difference in degrees, or
// in percent of the slider's range (measured from the minimum for absolute sliders). A slider
// with no counts per degree, or with an empty range, shows 0. Other styles: the difference.
double DisplayedAmount(const LoadedProject& project, int slider, std::int16_t value);

// Tooltip of a slider: "<index>:<name> <value>", the value in the slider's style followed by the
// raw value in hexadecimal. Empty for an index outside 0..127.
std::u16string FormatValueTip(const LoadedProject& project, int slider, std::int16_t value);

// The text of the value box beside a slider, blank-padded beyond kValueFieldChars. Empty for an
// index outside 0..127.
std::u16string FormatValueField(const LoadedProject& project, int slider, std::int16_t value);

// The raw value of a servo channel's companion slider, shown next to the channel's check box.
std::u16string FormatCompanionValue(std::int16_t value);

}  // namespace gestalon::core
