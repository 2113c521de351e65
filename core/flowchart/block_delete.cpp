#include "flowchart/block_delete.h"

#include "flowchart/block_links.h"
#include "flowchart/block_selection.h"
#include "flowchart/current_block.h"

namespace gestalon::core {
namespace {

// Takes `doomed` out of the document; arrows into it take its own targets instead. A branch
// bridged back onto the block that holds it becomes none; an arrow of `doomed` onto itself
// bridges to none, so that no arrow is left pointing at it.
void RemoveBridged(MotionDocument& document, MotionBlock* doomed, MotionBlock*& remembered) {
  MotionBlock* next = doomed->next == doomed ? nullptr : doomed->next;
  MotionBlock* branch = doomed->branch == doomed ? nullptr : doomed->branch;
  for (MotionBlock& other : document) {
    if (other.next == doomed) {
      other.next = next;
    }
    if (other.branch == doomed) {
      other.branch = branch == &other ? nullptr : branch;
    }
  }
  if (remembered == doomed || document.current == doomed) {
    remembered = next;
  }
  document.Remove(doomed);
}

}  // namespace

void DeleteBlocks(EditContext& context) {
  MotionDocument& document = context.document;
  MotionBlock* current = document.current;
  bool someUnselectedPose = false;
  bool anySelected = false;
  bool otherPose = false;
  for (const MotionBlock& block : document) {
    const bool pose = block.Is(BlockKind::Pose);
    someUnselectedPose = someUnselectedPose || (pose && !block.Selected());
    anySelected = anySelected || block.Selected();
    otherPose = otherPose || (pose && &block != current);
  }
  if (someUnselectedPose && !anySelected) {
    if (!otherPose) {
      return;
    }
    if (current) {
      current->selFlags |= kBlockSelected;
    }
  }
  if (!someUnselectedPose) {
    // Every pose is selected: one of them stays.
    MotionBlock* survivor = current && current->Is(BlockKind::Pose) ? current : LastPose(document);
    if (!survivor) {
      survivor = current;
    }
    if (survivor) {
      survivor->selFlags &= ~kBlockSelected;
    }
  }

  // The first block after the deleted current block, followed while later deletions take it away.
  MotionBlock* remembered = nullptr;
  for (MotionBlock* block = document.head(); block;) {
    MotionBlock* following = block->nextInList;
    if (block->Selected() && !block->Is(BlockKind::Start)) {
      RemoveBridged(document, block, remembered);
    }
    block = following;
  }

  if (!document.current) {
    MotionBlock* target = remembered && remembered->Is(BlockKind::Pose)
                              ? remembered
                              : FirstPoseAlong(remembered, document.count(), false);
    if (!target) {
      target = LastPose(document);
    }
    if (target) {
      MakeCurrentByIndex(context, document.IndexOf(target));
    }
  }
  ClearBlockSelection(document);
  RepaintPane(context, Pane::kPose);
  RepaintPane(context, Pane::kMotion);
  RecordUndoStep(context);
}

}  // namespace gestalon::core
