#pragma once

#include "pose/edit_context.h"

namespace gestalon::core {

// The block clipboard (state.blockClipboard). Its blocks never point into the document: links
// among copied blocks are kept, every other link is cut. The front end ignores copy (not cut)
// while a motion plays.

// Replaces the clipboard by copies of the selected blocks other than Start blocks, in list order.
// The document is not changed.
void CopyBlocks(EditContext& context);

// CopyBlocks, then DeleteBlocks.
void CutBlocks(EditContext& context);

// Clears the selection and appends a copy of every clipboard block, linked among themselves as in
// the clipboard and selected. Every paste first moves the clipboard blocks by a fifth of their
// size to the right and down, so repeated pastes do not cover each other. Records an undo step
// (also for an empty clipboard) and repaints the motion area.
void PasteBlocks(EditContext& context);

}  // namespace gestalon::core
