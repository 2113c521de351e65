#include "pose/edit_context.h"

#include "cpusettings/cpu_settings.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {

void RepaintPane(const EditContext& context, Pane pane) {
  if (context.views) {
    context.views->Repaint(pane);
  }
}

void RelayoutPane(const EditContext& context, Pane pane) {
  if (context.views) {
    context.views->Relayout(pane);
  }
}

void RecordUndoStep(const EditContext& context) {
  if (context.undo) {
    context.undo->RecordUndo();
  }
}

void MarkModified(EditContext& context) {
  const std::uint32_t before = context.systemFlags.fetch_or(SystemFlag::kModified);
  if ((before & SystemFlag::kModified) == 0 && context.views) {
    context.views->SetTitle(context.state.title + u" *");
  }
  if (context.views) {
    context.views->RefreshMenuChecks();
  }
}

void UpdateTitle(EditContext& context, std::u16string_view motionPath) {
  std::u16string motionName(motionPath);
  if (const std::size_t slash = motionName.find_last_of(u"\\/"); slash != std::u16string::npos) {
    motionName.erase(0, slash + 1);
  }
  if (motionName.empty()) {
    motionName = LoadText(TextId::kNewMotionName);
  }
  context.state.title = Format(LoadText(TextId::kTitleFormat), RobotName(context.project.cpu)) +
                        Format(LoadText(TextId::kTitleMotionFmt), motionName);
  context.systemFlags.fetch_and(~SystemFlag::kModified);
  if (context.views) {
    context.views->SetTitle(context.state.title);
    context.views->RefreshMenuChecks();
  }
}

}  // namespace gestalon::core
