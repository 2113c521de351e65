#include "pose/dialog_prompts.h"

#include "settings/settings_fields.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {

void ShowMessage(Prompter* prompter, PromptIcon icon, int textId) {
  if (prompter) {
    prompter->Show(icon, LoadText(textId));
  }
}

void ShowWarning(Prompter* prompter, int textId) {
  ShowMessage(prompter, PromptIcon::kWarning, textId);
}

bool AskYesNo(Prompter* prompter, int textId) {
  return prompter && prompter->Ask(PromptIcon::kQuestion, LoadText(textId),
                                   PromptButtons::kYesNo) == PromptAnswer::kYes;
}

bool CheckSettingsName(std::u16string_view name, Prompter* prompter) {
  if (IsSettingsFieldText(name)) {
    return true;
  }
  ShowWarning(prompter, TextId::kMsgNameNotStorable);
  return false;
}

bool ReportUnsavedFile(bool written, Prompter* prompter) {
  if (!written && prompter) {
    prompter->Show(PromptIcon::kError, LoadText(TextId::kFileSaveFailed));
  }
  return written;
}

}  // namespace gestalon::core
