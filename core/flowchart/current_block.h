#pragma once

#include "motion/motion_document.h"
#include "pose/edit_context.h"

namespace gestalon::core {

// Choosing the pose block the pose area edits. Every function that makes a block current marks
// the old and the new current block for redraw, hands the new one to the pose area and the robot
// (SetCurrentPose with the block's own transition time as the mode), scrolls the motion area to
// it and repaints both panes. They return 1 when a block was made current, else 0 with nothing
// changed. Walks along the links are bounded, so cycles end them.

// Makes `block` (a block of the document) current as described above.
void MakeBlockCurrent(EditContext& context, MotionBlock& block);

// Makes a pose block just created current and the live pose: both blocks marked for redraw, the
// pose handed over with the single-slider time 18. No scrolling, no repaint.
void MakeNewPoseCurrent(EditContext& context, MotionBlock& block);

// Asks the motion area to bring the block's extent into view.
void ScrollToBlock(const EditContext& context, const MotionBlock& block);

// The block at list position `index` (limited to count - 1; negative: none), if it is a Pose.
int MakeCurrentByIndex(EditContext& context, int index);

// Next pose (along next links) or, with `followBranch`, the next pose along the branch link
// wherever a block has one: the first Pose block reached from the current block within count + 2
// steps.
int MakeCurrentByStep(EditContext& context, bool followBranch);

// The first Pose block in list order whose next link points at the current block.
int PreviousPose(EditContext& context);

// The first Pose block reached along next links from the first Start block in list order.
int FirstPose(EditContext& context);

}  // namespace gestalon::core
