#pragma once

#include <array>
#include <string>

#include "flowchart/condition_texts.h"
#include "motion/motion_block.h"
#include "project/project_loader.h"

namespace gestalon::ui {

// The string-table texts that block labels are made of, loaded once (the motion area builds the
// labels of every block on every paint).
struct BlockLabelTexts {
  BlockLabelTexts();

  std::u16string timeFormat;                 // "%03dstep"
  std::array<std::u16string, 11> branchOps;  // If operators by `op` (0..10)
  std::array<std::u16string, 10> calcOps;    // Calc operators by `op` (0..9)
  std::u16string exprVar, exprConst, exprHex8, exprHex16, exprHex32, opOnly;
  std::u16string start, end;
  std::u16string soundStop, cancelConstPrefix, cancelNoFile;
  std::u16string interpFormat;                 // "%s → ch%d"
  std::array<std::u16string, 5> interpGroups;  // group names, cut before their first "("
  std::u16string padNone, padSeparator, padSuffix;
  // Controller buttons by bit of the button mask.
  std::array<std::u16string, core::kPadButtonCount> padButtons;
};

// The label line the motion area shows for a block (its second line; the caption is the first):
// the transition or wait time, the expression of a calculation or branch with the variable labels
// of `project` (hexadecimal constants when the project's hexadecimal display is on), the file
// name, the pressed buttons, the interpolation group and channel, the Start / End texts. A
// comment block's label is its comment text. Unknown kinds and out-of-range operator or group
// codes give empty parts rather than texts of unrelated ids.
std::u16string BlockLabel(const core::MotionBlock& block, const core::LoadedProject& project,
                          const BlockLabelTexts& texts);

// The same with the texts loaded for this call.
std::u16string BlockLabel(const core::MotionBlock& block, const core::LoadedProject& project);

}  // namespace gestalon::ui
