#include "flowchart/current_block.h"

#include <algorithm>

#include "flowchart/block_links.h"
#include "pose/pose_store.h"

namespace gestalon::core {
namespace {

void MarkSwap(MotionDocument& document, MotionBlock& block) {
  if (document.current) {
    document.current->selFlags |= kBlockRedraw;
  }
  block.selFlags |= kBlockRedraw;
}

int MakeCurrentIfPose(EditContext& context, MotionBlock* block) {
  if (!block || !block->Is(BlockKind::Pose)) {
    return 0;
  }
  MakeBlockCurrent(context, *block);
  return 1;
}

}  // namespace

void MakeBlockCurrent(EditContext& context, MotionBlock& block) {
  MarkSwap(context.document, block);
  SetCurrentPose(context, block, block.time);
  context.document.current = &block;
  ScrollToBlock(context, block);
  RepaintPane(context, Pane::kPose);
  RepaintPane(context, Pane::kMotion);
}

void MakeNewPoseCurrent(EditContext& context, MotionBlock& block) {
  MarkSwap(context.document, block);
  SetCurrentPose(context, block, kSendSliderTime);
  context.document.current = &block;
}

void ScrollToBlock(const EditContext& context, const MotionBlock& block) {
  if (context.views) {
    context.views->ScrollIntoView(block.xpos, block.ypos, block.rect[0], block.rect[1]);
  }
}

int MakeCurrentByIndex(EditContext& context, int index) {
  const MotionDocument& document = context.document;
  if (index < 0 || document.empty()) {
    return 0;
  }
  return MakeCurrentIfPose(context, document.At(std::min(index, document.count() - 1)));
}

int MakeCurrentByStep(EditContext& context, bool followBranch) {
  const std::int64_t limit = std::int64_t{context.document.count()} + 2;
  return MakeCurrentIfPose(context, FirstPoseAlong(context.document.current, limit, followBranch));
}

int PreviousPose(EditContext& context) {
  const MotionBlock* current = context.document.current;
  if (!current) {
    return 0;
  }
  for (MotionBlock& block : context.document) {
    if (block.Is(BlockKind::Pose) && block.next == current) {
      return MakeCurrentIfPose(context, &block);
    }
  }
  return 0;
}

int FirstPose(EditContext& context) {
  for (MotionBlock& block : context.document) {
    if (block.Is(BlockKind::Start)) {
      return MakeCurrentIfPose(context, FirstPoseAlong(&block, context.document.count(), false));
    }
  }
  return 0;
}

}  // namespace gestalon::core
