#include "flowchart/block_commands.h"

#include <algorithm>
#include <limits>

#include "flowchart/block_links.h"
#include "flowchart/block_selection.h"
#include "flowchart/current_block.h"

namespace gestalon::core {
namespace {

constexpr std::int64_t kBlockGap = 20;   // between a block and the one placed below it
constexpr std::int64_t kColumnGap = 32;  // between a block and a new column right of it
constexpr std::int32_t kFirstLeft = 50;
constexpr std::int32_t kColumnTop = 10;
// Height assumed for a block not yet drawn when checking that it fits the canvas.
constexpr std::int64_t kNominalHeight = 36;

// Below the block, or at the top of a new column when a block of the same height would reach
// past the canvas bottom.
BlockPosition BelowBlock(const MotionBlock& block, std::int32_t canvasHeight) {
  const std::int64_t bottom = block.rect[1];
  if (bottom + kBlockGap > block.ypos - bottom + canvasHeight) {
    return {Saturate32(block.rect[0] + kColumnGap), kColumnTop};
  }
  return {block.xpos, Saturate32(bottom + kBlockGap)};
}

// Three quarters across `from`, halfway down towards `to`.
BlockPosition BetweenBlocks(const MotionBlock& from, const MotionBlock& to) {
  const std::int64_t width = std::int64_t{from.rect[0]} - from.xpos;
  return {Saturate32(from.xpos + 3 * (width / 4)),
          Saturate32(from.ypos + (std::int64_t{to.ypos} - from.ypos) / 2)};
}

BlockPosition SparePosition(const MotionDocument& document, std::int32_t canvasHeight) {
  if (document.empty()) {
    return {kFirstLeft, kColumnTop};
  }
  std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
  for (const MotionBlock& block : document) {
    lowest = std::max<std::int64_t>({lowest, block.ypos, block.rect[1]});
  }
  const std::int64_t top = lowest + kBlockGap;
  if (top < 0 || top + kNominalHeight > canvasHeight) {
    return {kFirstLeft, kColumnTop};
  }
  return {kFirstLeft, static_cast<std::int32_t>(top)};
}

MotionBlock* InsertPoseCopy(EditContext& context, bool split) {
  MotionDocument& document = context.document;
  MotionBlock* current = document.current;
  if (!current) {
    return nullptr;
  }
  ClearBlockSelection(document);
  BlockPosition position = BelowBlock(*current, context.state.canvasHeight);
  MotionBlock copy = *current;
  MotionBlock* following = current->next;
  if (following && !following->Is(BlockKind::End)) {
    // Only a following pose has values and a transition time to share; the time of a wait block
    // and the unused slots of other kinds stay as they are.
    if (split && following->Is(BlockKind::Pose)) {
      for (int i = 0; i < kPoseSlotCount; ++i) {
        copy.slots[i] = static_cast<std::int16_t>((current->slots[i] + following->slots[i]) / 2);
      }
      following->time = static_cast<std::uint16_t>(following->time >> 1);
      copy.time = std::max<std::uint16_t>(following->time, 1);
    }
    position = BetweenBlocks(*current, *following);
  }
  // The copy keeps the current block's size until the motion area lays it out again.
  MoveBlock(copy, std::int64_t{position.x} - copy.xpos, std::int64_t{position.y} - copy.ypos);
  copy.name = NewPoseCaption(document);
  MotionBlock& added =
      CreateBlock(document, BlockKind::Pose, &copy, position, context.project.basePoses);
  added.interpWait = split ? false : current->interpWait;
  added.next = current->next;
  current->next = &added;
  MakeNewPoseCurrent(context, added);
  ScrollToBlock(context, added);
  RecordUndoStep(context);
  RepaintPane(context, Pane::kPose);
  RepaintPane(context, Pane::kMotion);
  return &added;
}

}  // namespace

void NewMotionCommand(EditContext& context) {
  NewMotion(context.document, context.project.basePoses, context.state.motionLayout);
  if (MotionBlock* pose = context.document.current) {
    MakeNewPoseCurrent(context, *pose);
  }
  RepaintPane(context, Pane::kPose);
  RepaintPane(context, Pane::kMotion);
}

BlockPosition NewBlockPosition(const EditContext& context) {
  const MotionDocument& document = context.document;
  const MotionBlock* current = document.current;
  if (!current) {
    return SparePosition(document, context.state.canvasHeight);
  }
  // Along next links to the first pose, giving up at an End block, a missing link or after
  // count steps (then the block reached counts).
  MotionBlock* target = current->next;
  for (std::int32_t step = 1; target && !target->Is(BlockKind::Pose) &&
                              !target->Is(BlockKind::End) && step < document.count();
       ++step) {
    target = target->next;
  }
  if (!target || target->Is(BlockKind::End)) {
    return BelowBlock(*current, context.state.canvasHeight);
  }
  return BetweenBlocks(*current, *target);
}

MotionBlock* AddBlockCommand(EditContext& context, BlockKind kind) {
  if (kind == BlockKind::Start) {
    return nullptr;
  }
  const bool pose = kind == BlockKind::Pose;
  const BlockPosition position = pose ? context.state.insertionPoint : NewBlockPosition(context);
  MotionBlock& block = AddBlock(context.document, kind, position, context.project.basePoses);
  if (pose) {
    MakeNewPoseCurrent(context, block);
    RepaintPane(context, Pane::kPose);
  }
  RecordUndoStep(context);
  RepaintPane(context, Pane::kMotion);
  return &block;
}

MotionBlock* SplitPose(EditContext& context) {
  return InsertPoseCopy(context, true);
}

MotionBlock* DuplicatePose(EditContext& context) {
  return InsertPoseCopy(context, false);
}

}  // namespace gestalon::core
