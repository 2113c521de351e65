#pragma once

#include "pose/edit_context.h"

namespace gestalon::core {

// Deletes the selected blocks, or the current block when nothing is selected. Start blocks and the
// last pose block are never deleted: when every pose is selected the current pose survives (the
// last pose in list order when the current block is not a pose), and with nothing selected and
// no pose besides the current one nothing happens at all (no undo step). Arrows into a deleted
// block are bridged to its own targets, so no arrow is left pointing at a freed block. When the
// current block goes, the first pose along its next links becomes current (else the last pose in
// list order). Clears the selection, repaints both panes and records an undo step.
void DeleteBlocks(EditContext& context);

}  // namespace gestalon::core
