#pragma once

#include <string_view>

#include "ui_port/prompter.h"

namespace gestalon::core {

// Message boxes shared by the pose editing dialogs. A null prompter shows nothing and answers
// every question No.

// A string-table text with `icon`; ShowWarning with the warning (exclamation) icon.
void ShowMessage(Prompter* prompter, PromptIcon icon, int textId);
void ShowWarning(Prompter* prompter, int textId);

// A string-table question with the question icon and Yes/No buttons; true for Yes.
bool AskYesNo(Prompter* prompter, int textId);

// Checks a name typed for a text field of a settings file (slider names and texts, base pose and
// offset names, font face names, skin paths): one holding "]]" or a line break would not read
// back as written, so it is refused with a warning. True when the name can be taken.
bool CheckSettingsName(std::u16string_view name, Prompter* prompter);

// Reports a settings file that could not be written; returns `written`.
bool ReportUnsavedFile(bool written, Prompter* prompter);

}  // namespace gestalon::core
