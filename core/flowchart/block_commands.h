#pragma once

#include "motion/block_factory.h"
#include "motion/motion_document.h"
#include "pose/edit_context.h"

namespace gestalon::core {

// Replaces the motion by Start -> Pose -> End laid out for the motion area
// (state.motionLayout); the pose block becomes current and the live pose. Repaints both panes.
// Records no undo step: the New command resets the undo history afterwards.
void NewMotionCommand(EditContext& context);

// Where a block added by a command other than "add pose" goes: below the current block (or at the
// top of a new column right of it when a block of its height would leave the canvas), or between
// the current block and the first pose its next links lead to. Without a current block: below the
// lowest block at x 50, or at (50, 10) when the motion is empty or that would leave the canvas.
BlockPosition NewBlockPosition(const EditContext& context);

// Appends an unlinked block of `kind` with its creation defaults and caption. A Pose goes to the
// insertion point and becomes current and the live pose (both panes repainted); the other kinds
// go to NewBlockPosition. Records an undo step and repaints the motion area. Start blocks come
// only with a new motion: null, nothing done.
MotionBlock* AddBlockCommand(EditContext& context, BlockKind kind);

// Insert a pose after the current block, linked between it and its next block, as the new current
// block and live pose, scrolled into view; the selection is cleared. Split takes the halfway
// values between the current pose and the following pose and halves the following pose's time
// (the new pose gets the halved time, at least 1); its interpolation wait is off. Duplicate
// copies the current block as it is, interpolation wait included. The new block sits between
// the two when a non-End block follows, otherwise below the current one. Records an undo step,
// repaints both panes. Null, nothing done, without a current block.
MotionBlock* SplitPose(EditContext& context);
MotionBlock* DuplicatePose(EditContext& context);

}  // namespace gestalon::core
