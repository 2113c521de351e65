#include "controlmap/control_map_editor.h"

#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::ui {

int EditControlMap(EditorSession& session, QWidget*, const std::optional<std::filesystem::path>&,
                   std::filesystem::path*) {
  if (session.context.prompter) {
    session.context.prompter->Show(core::PromptIcon::kInformation,
                                   core::LoadText(core::TextId::kMsgNotYetAvailable));
  }
  return 0;
}

}  // namespace gestalon::ui
