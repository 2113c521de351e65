#include "dialogs/variable_dialog.h"

#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::ui {

int SelectVariable(EditorSession& session, QWidget*, std::uint16_t, std::uint16_t*, std::int32_t*) {
  if (session.context.prompter) {
    session.context.prompter->Show(core::PromptIcon::kInformation,
                                   core::LoadText(core::TextId::kMsgNotYetAvailable));
  }
  return 0;
}

}  // namespace gestalon::ui
