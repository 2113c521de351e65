#pragma once

#include <QPointer>
#include <QWidget>

#include "ui_port/prompter.h"

namespace gestalon::ui {

// Message boxes with the program's caption, owned by the current message-box owner. Calls from
// worker threads are carried to the user-interface thread and block until answered.
class QtPrompter : public core::Prompter {
 public:
  explicit QtPrompter(QWidget* owner = nullptr) : owner_(owner) {}

  // The window that owns message boxes (the main window, or an open dialog while it is shown).
  void SetOwner(QWidget* owner) { owner_ = owner; }
  QWidget* Owner() const { return owner_; }

  core::PromptAnswer Ask(core::PromptIcon icon, std::u16string_view text,
                         core::PromptButtons buttons) override;

 private:
  core::PromptAnswer AskOnUiThread(core::PromptIcon icon, const QString& text,
                                   core::PromptButtons buttons);

  QPointer<QWidget> owner_;
};

}  // namespace gestalon::ui
