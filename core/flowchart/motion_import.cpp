#include "flowchart/motion_import.h"

#include <optional>
#include <vector>

#include "flowchart/block_links.h"
#include "flowchart/block_selection.h"
#include "motion/motion_reader.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

constexpr std::int32_t kImportStep = 12;

// Removes the first block of `kind` in list order; arrows to it become none.
void RemoveFirst(MotionDocument& motion, BlockKind kind) {
  for (MotionBlock& block : motion) {
    if (!block.Is(kind)) {
      continue;
    }
    for (MotionBlock& other : motion) {
      if (other.next == &block) {
        other.next = nullptr;
      }
      if (other.branch == &block) {
        other.branch = nullptr;
      }
    }
    motion.Remove(&block);
    return;
  }
}

}  // namespace

int ImportMotion(EditContext& context, const std::filesystem::path& file) {
  BlockPosition& at = context.state.insertionPoint;
  at.x += kImportStep;
  at.y += kImportStep;
  std::optional<MotionDocument> imported =
      ReadMotionFile(file, context.project.sliders, context.prompter);
  if (!imported) {
    if (context.prompter) {
      context.prompter->Show(PromptIcon::kWarning, LoadText(TextId::kFileFormatError));
    }
    return 0;
  }
  RemoveFirst(*imported, BlockKind::Start);
  RemoveFirst(*imported, BlockKind::End);

  ClearBlockSelection(context.document);
  std::vector<const MotionBlock*> sources;
  for (MotionBlock& block : *imported) {
    MoveBlock(block, at.x, at.y);
    block.selFlags |= kBlockSelected | kBlockRedraw;
    sources.push_back(&block);
  }
  AppendLinkedCopies(context.document, sources);
  RecordUndoStep(context);
  RepaintPane(context, Pane::kPose);
  RepaintPane(context, Pane::kMotion);
  return 1;
}

}  // namespace gestalon::core
