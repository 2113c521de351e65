#pragma once

#include <string>
#include <vector>

#include "ui_port/prompter.h"

namespace gestalon::cli {

// Collects the texts of the message boxes a command would have shown; questions get their first
// button as the answer.
class CollectingPrompter : public core::Prompter {
 public:
  core::PromptAnswer Ask(core::PromptIcon, std::u16string_view text,
                         core::PromptButtons buttons) override {
    texts.emplace_back(text);
    return buttons == core::PromptButtons::kOk || buttons == core::PromptButtons::kOkCancel
               ? core::PromptAnswer::kOk
               : core::PromptAnswer::kYes;
  }

  std::vector<std::u16string> texts;
};

}  // namespace gestalon::cli
