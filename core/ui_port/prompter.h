#pragma once

#include <string_view>

namespace gestalon::core {

enum class PromptIcon { kNone, kError, kWarning, kQuestion, kInformation };
enum class PromptButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class PromptAnswer { kOk, kCancel, kYes, kNo };

// Message boxes. The caption is always the program's caption text; the box is owned by the
// window that currently owns message boxes. May be called from worker threads: the front end
// shows the box on the user-interface thread and blocks the caller until it is answered.
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual PromptAnswer Ask(PromptIcon icon, std::u16string_view text, PromptButtons buttons) = 0;

  void Show(PromptIcon icon, std::u16string_view text) { Ask(icon, text, PromptButtons::kOk); }
};

}  // namespace gestalon::core
