#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "strings/text_id.h"

namespace gestalon::core {

// The texts conditions are shown with, shared by the gamepad and branch dialogs, the motion
// area's block labels and the control map's entry list.

inline constexpr std::size_t kPadButtonCount = 16;

// The controller buttons' names by bit of the button word: SELECT, L3, R3, START, up, right,
// down, left, L2, R2, L1, R1, triangle, circle, cross, square.
inline constexpr std::array<int, kPadButtonCount> kPadButtonTextIds = {
    TextId::kPadSelect,   TextId::kPadL3,     TextId::kPadR3,    TextId::kPadStart,
    TextId::kPadUp,       TextId::kPadRight,  TextId::kPadDown,  TextId::kPadLeft,
    TextId::kPadL2,       TextId::kPadR2,     TextId::kPadL1,    TextId::kPadR1,
    TextId::kPadTriangle, TextId::kPadCircle, TextId::kPadCross, TextId::kPadSquare};

// The branch operators by `op` (BranchOp): "==" .. "FALSE".
inline constexpr std::array<int, 11> kBranchOperatorTextIds = {
    TextId::kOpEqual,     TextId::kOpNotEqual, TextId::kOpGreaterEqual, TextId::kOpGreater,
    TextId::kOpLessEqual, TextId::kOpLess,     TextId::kOpMod,          TextId::kOpAnd,
    TextId::kOpXor,       TextId::kOpTrue,     TextId::kOpFalse};

// The buttons set in the low 16 bits of `mask`: their `names` in bit order joined by
// `separator`, followed by `suffix`; `none` when no button is set.
std::u16string PressedButtonsText(std::uint32_t mask,
                                  const std::array<std::u16string, kPadButtonCount>& names,
                                  std::u16string_view separator, std::u16string_view suffix,
                                  std::u16string_view none);

}  // namespace gestalon::core
