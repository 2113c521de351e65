#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "motion/motion_document.h"
#include "project/slider_defs.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// Longest attribute value the reader looks at; longer values are cut.
inline constexpr std::size_t kMotionAttributeMaxBytes = 4095;

// Number in a motion file value (bytes). Characters are skipped up to the first hexadecimal
// digit, sign or point; an optional sign follows; "0x"/"0X" starts hexadecimal digits, taken
// modulo 2^32 up to the first other character (result 0..0xFFFFFFFF); otherwise decimal digits,
// saturating at the 32-bit signed range. A '-' negates. No number: 0.
std::int64_t ParseMotionNumber(std::string_view value);

// The value of attribute `name` in a tag's attribute text: the first `word=` whose word equals
// `name` ignoring ASCII case (blanks may stand around the '='). The value is the text between the
// '"' that follows the '=' and the next '"' (to the end of the text when that one is missing),
// at most kMotionAttributeMaxBytes; empty when no quote follows the '='. Text inside another
// attribute's quoted value is never taken for an attribute name. None when the name is absent.
std::optional<std::string_view> FindAttribute(std::string_view attributes, std::string_view name);

// Rebuilds a motion from the bytes of a motion file. The blocks come in file order with their
// links resolved; `current` stays null. Each block's fileStart is the offset of its section and
// fileEnd the offset of the next block's section (the file length for the last block).
//
// `sliders` gives the companion sliders of the servo channels (servoenable entries). A format
// version above the one this program writes is reported once through `prompter` (null: quiet) and
// the file is read anyway. Any input is accepted: what the reader does not understand is ignored.
// At most 32767 blocks are read (list positions are 16-bit); reading stops at the next block tag.
MotionDocument ReadMotionText(std::string_view bytes, const SliderTable& sliders,
                              Prompter* prompter);

// ReadMotionText of the file's bytes; none when the file cannot be opened or read, or is larger
// than 256 MiB (far beyond the largest motion).
std::optional<MotionDocument> ReadMotionFile(const std::filesystem::path& file,
                                             const SliderTable& sliders, Prompter* prompter);

}  // namespace gestalon::core
