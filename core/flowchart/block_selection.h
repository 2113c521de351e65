#pragma once

#include "motion/motion_document.h"
#include "pose/edit_context.h"

namespace gestalon::core {

// Clears the selection and both arrow-drag marks of every block; a block that had any of them is
// marked for redraw. Does not repaint.
void ClearBlockSelection(MotionDocument& document);

// Selects every block (blocks that were not selected are marked for redraw) and repaints the
// motion area.
void SelectAllBlocks(EditContext& context);

}  // namespace gestalon::core
