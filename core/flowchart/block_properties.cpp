#include "flowchart/block_properties.h"

#include "flowchart/current_block.h"

namespace gestalon::core {

MotionBlock* BlockForProperties(EditContext& context) {
  MotionBlock* first = nullptr;
  for (MotionBlock& block : context.document) {
    if (!block.Selected()) {
      continue;
    }
    if (!first) {
      first = &block;
    } else {
      block.selFlags = (block.selFlags & ~kBlockSelected) | kBlockRedraw;
    }
  }
  if (first) {
    RepaintPane(context, Pane::kMotion);
  }
  return first;
}

int PropertyDialogTemplate(const MotionBlock& block) {
  switch (block.kind()) {
    case BlockKind::Pose:
      return BlockDialog::kPose;
    case BlockKind::If:
      return BlockDialog::kIf;
    case BlockKind::Calc:
      return BlockDialog::kCalc;
    case BlockKind::SubRoutine:
      return BlockDialog::kSubRoutine;
    case BlockKind::Sound:
      return BlockDialog::kSound;
    case BlockKind::FileRead:
    case BlockKind::FileWrite:
      return BlockDialog::kFile;
    case BlockKind::Comment:
      return BlockDialog::kComment;
    case BlockKind::Wait:
      return BlockDialog::kWait;
    case BlockKind::Cancel:
      return BlockDialog::kCancel;
    case BlockKind::InterpChange:
      return BlockDialog::kInterpChange;
    case BlockKind::PadIf:
      return BlockDialog::kPadIf;
    case BlockKind::Start:
    case BlockKind::End:
      break;
  }
  return BlockDialog::kNone;
}

void FinishBlockProperties(EditContext& context, MotionBlock& block, int dialogResult) {
  if (dialogResult == 0) {
    return;
  }
  if (block.Is(BlockKind::Pose)) {
    MakeBlockCurrent(context, block);
  } else {
    block.selFlags |= kBlockRedraw;
    RepaintPane(context, Pane::kMotion);
  }
  RecordUndoStep(context);
}

}  // namespace gestalon::core
