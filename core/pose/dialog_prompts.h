#pragma once

#include "ui_port/prompter.h"

namespace gestalon::core {

// Message boxes shared by the pose editing dialogs. A null prompter shows nothing and answers
// every question No.

// A string-table text with `icon`; ShowWarning with the warning (exclamation) icon.
void ShowMessage(Prompter* prompter, PromptIcon icon, int textId);
void ShowWarning(Prompter* prompter, int textId);

// A string-table question with the question icon and Yes/No buttons; true for Yes.
bool AskYesNo(Prompter* prompter, int textId);

// Reports a settings file that could not be written; returns `written`.
bool ReportUnsavedFile(bool written, Prompter* prompter);

}  // namespace gestalon::core
