#include "motion/motion_files.h"

#include "motion/motion_reader.h"
#include "motion/motion_writer.h"
#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {

MotionBlock* ChooseOpenedPose(MotionDocument& document) {
  document.current = nullptr;
  for (MotionBlock& block : document) {
    if (block.Is(BlockKind::Pose)) {
      document.current = &block;
      break;
    }
  }
  for (MotionBlock* block = document.head(); block && !block->Selected(); block = block->next) {
    if (block->Is(BlockKind::Pose)) {
      for (MotionBlock& b : document) {
        b.selFlags &= ~kBlockSelected;
      }
      document.current = block;
      break;
    }
    block->selFlags |= kBlockSelected;
  }
  return document.current;
}

bool OpenMotion(MotionSession& session, const std::filesystem::path& file,
                const LoadedProject& project, Prompter* prompter, const NewMotionLayout& layout) {
  std::optional<MotionDocument> read = ReadMotionFile(file, project.sliders, prompter);
  if (!read) {
    return false;
  }
  session.document = std::move(*read);
  if (session.document.empty()) {
    NewMotion(session.document, project.basePoses, layout);
  } else {
    ChooseOpenedPose(session.document);
  }
  session.path = TextFromPath(file);
  AddRecentMotion(session.recent, project.project.folder, session.path);
  return true;
}

bool SaveMotion(MotionSession& session, const std::filesystem::path& file,
                const LoadedProject& project, Prompter* prompter) {
  if (!WriteMotionFile(file, session.document, project.sliders, 100, nullptr)) {
    if (prompter) {
      prompter->Show(PromptIcon::kError,
                     Format(LoadText(TextId::kMsgMotionSaveFailed), TextFromPath(file)));
    }
    return false;
  }
  session.path = TextFromPath(file);
  AddRecentMotion(session.recent, project.project.folder, session.path);
  return true;
}

}  // namespace gestalon::core
