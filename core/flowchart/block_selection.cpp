#include "flowchart/block_selection.h"

namespace gestalon::core {

void ClearBlockSelection(MotionDocument& document) {
  constexpr std::uint32_t kMarks = kBlockSelected | kBlockBlueDrag | kBlockRedDrag;
  for (MotionBlock& block : document) {
    if (block.selFlags & kMarks) {
      block.selFlags = (block.selFlags & ~kMarks) | kBlockRedraw;
    }
  }
}

void SelectAllBlocks(EditContext& context) {
  for (MotionBlock& block : context.document) {
    if (!block.Selected()) {
      block.selFlags |= kBlockSelected | kBlockRedraw;
    }
  }
  RepaintPane(context, Pane::kMotion);
}

}  // namespace gestalon::core
