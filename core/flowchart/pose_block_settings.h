#pragma once

#include "pose/edit_context.h"

namespace gestalon::core {

// Sets (`on`) or clears the interpolation wait of every selected pose block. Records an undo step
// and repaints the motion area.
void SetInterpWait(EditContext& context, bool on);

// Inverts the interpolation wait of every pose block that is selected or current. Records an
// undo step and repaints the motion area.
void ToggleInterpWait(EditContext& context);

// Scales every pose block's time by state.overridePercent (truncated, kept within 1..65535) and
// sets the override back to 100; the front end moves its override spin to match. Records an
// undo step and repaints both panes.
void ApplyPlaybackOverride(EditContext& context);

}  // namespace gestalon::core
