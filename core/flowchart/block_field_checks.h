#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "motion/motion_block.h"

namespace gestalon::core {

// The checks and conversions of the block property dialogs. The dialogs only show and collect
// texts; what is accepted and what a field stores is decided here. A check returns the message
// to show (exclamation icon, the dialog stays open), empty when the input is accepted.

inline constexpr std::int32_t kBlockPositionMax = 4096;
// A name typed in a dialog keeps at most this many characters.
inline constexpr std::size_t kBlockDialogNameChars = 30;

// Reads X and Y as decimal integers into `x` and `y`; each must lie in 0..4096, X checked first.
std::u16string CheckBlockPosition(std::u16string_view xText, std::u16string_view yText,
                                  std::int32_t& x, std::int32_t& y);

// A block name as stored: at most kBlockDialogNameChars characters.
std::u16string BlockNameFromField(std::u16string_view text);

// A pose or wait time as stored: the field read as a decimal integer, only its low 16 bits kept
// (70000 stores 4464; no range check).
std::uint16_t BlockTimeFromField(std::u16string_view text);

// A comment as stored: at most kBlockCommentChars characters.
std::u16string BlockCommentFromField(std::u16string_view text);

// Gives a gamepad block the one comparison it makes, whatever it held before: the controller
// button word (2 bytes at 0x0EE4) equal to the constant, which is the mask of the buttons.
void SetPadComparison(MotionBlock& block);

}  // namespace gestalon::core
