#include "flowchart/block_clipboard.h"

#include <vector>

#include "flowchart/block_delete.h"
#include "flowchart/block_links.h"
#include "flowchart/block_selection.h"

namespace gestalon::core {

void CopyBlocks(EditContext& context) {
  BlockClipboard& clipboard = context.state.blockClipboard;
  clipboard.blocks.Clear();
  clipboard.documentCount = context.document.count();
  std::vector<const MotionBlock*> sources;
  for (const MotionBlock& block : context.document) {
    if (block.Selected() && !block.Is(BlockKind::Start)) {
      sources.push_back(&block);
    }
  }
  AppendLinkedCopies(clipboard.blocks, sources);
}

void CutBlocks(EditContext& context) {
  CopyBlocks(context);
  DeleteBlocks(context);
}

void PasteBlocks(EditContext& context) {
  ClearBlockSelection(context.document);
  std::vector<const MotionBlock*> sources;
  for (MotionBlock& block : context.state.blockClipboard.blocks) {
    if (block.Is(BlockKind::Start)) {
      continue;
    }
    MoveBlock(block, (std::int64_t{block.rect[0]} - block.xpos) / 5,
              (std::int64_t{block.rect[1]} - block.ypos) / 5);
    sources.push_back(&block);
  }
  for (MotionBlock* pasted : AppendLinkedCopies(context.document, sources)) {
    pasted->selFlags |= kBlockRedraw;
  }
  RecordUndoStep(context);
  RepaintPane(context, Pane::kMotion);
}

}  // namespace gestalon::core
