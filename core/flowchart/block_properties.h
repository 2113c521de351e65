#pragma once

#include "pose/edit_context.h"

namespace gestalon::core {

// Property dialog templates of the block kinds.
namespace BlockDialog {
inline constexpr int kNone = 0;
inline constexpr int kPose = 209;
inline constexpr int kIf = 183;
inline constexpr int kCalc = 169;
inline constexpr int kSubRoutine = 180;
inline constexpr int kSound = 178;
inline constexpr int kFile = 191;  // file read and file write
inline constexpr int kComment = 199;
inline constexpr int kWait = 203;
inline constexpr int kCancel = 208;
inline constexpr int kInterpChange = 206;
inline constexpr int kPadIf = 217;
}  // namespace BlockDialog

// The block whose properties the properties command opens: the first selected block in list
// order, which stays the only selected one (the others are deselected and marked for redraw;
// the motion area is repainted). Null, nothing changed, when no block is selected.
MotionBlock* BlockForProperties(EditContext& context);

// The property dialog of the block's kind, BlockDialog::kNone for Start, End and unknown kinds.
int PropertyDialogTemplate(const MotionBlock& block);

// After the block's dialog ended with `dialogResult` (0: cancelled, nothing to do). A pose block
// becomes current again so that the pose area and the robot take its new values (both panes
// repainted); another block is redrawn in the motion area. Then records an undo step.
void FinishBlockProperties(EditContext& context, MotionBlock& block, int dialogResult);

}  // namespace gestalon::core
