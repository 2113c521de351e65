#include "flowchart/pose_block_settings.h"

#include <algorithm>

namespace gestalon::core {

void SetInterpWait(EditContext& context, bool on) {
  for (MotionBlock& block : context.document) {
    if (block.Is(BlockKind::Pose) && block.Selected()) {
      block.interpWait = on;
      block.selFlags |= kBlockRedraw;
    }
  }
  RecordUndoStep(context);
  RepaintPane(context, Pane::kMotion);
}

void ToggleInterpWait(EditContext& context) {
  for (MotionBlock& block : context.document) {
    if (block.Is(BlockKind::Pose) && (block.Selected() || &block == context.document.current)) {
      block.interpWait = !block.interpWait;
      block.selFlags |= kBlockRedraw;
    }
  }
  RecordUndoStep(context);
  RepaintPane(context, Pane::kMotion);
}

void ApplyPlaybackOverride(EditContext& context) {
  const std::int64_t percent = context.state.overridePercent;
  for (MotionBlock& block : context.document) {
    if (block.Is(BlockKind::Pose)) {
      block.time = static_cast<std::uint16_t>(
          std::clamp<std::int64_t>(std::int64_t{block.time} * percent / 100, 1, 0xFFFF));
      block.selFlags |= kBlockRedraw;
    }
  }
  context.state.overridePercent = 100;
  RecordUndoStep(context);
  RepaintPane(context, Pane::kPose);
  RepaintPane(context, Pane::kMotion);
}

}  // namespace gestalon::core
