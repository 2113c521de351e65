#pragma once

#include <QPointer>
#include <QWidget>

#include "widgets/qt_prompter.h"

namespace gestalon::ui {

// While a dialog is open it owns the program's message boxes; the previous owner comes back when
// the scope ends. Does nothing without a prompter or for one that is not a QtPrompter (tests).
class PrompterOwnerScope {
 public:
  PrompterOwnerScope(core::Prompter* prompter, QWidget* dialog)
      : prompter_(dynamic_cast<QtPrompter*>(prompter)) {
    if (prompter_) {
      previous_ = prompter_->Owner();
      prompter_->SetOwner(dialog);
    }
  }
  ~PrompterOwnerScope() {
    if (prompter_) {
      prompter_->SetOwner(previous_);
    }
  }
  PrompterOwnerScope(const PrompterOwnerScope&) = delete;
  PrompterOwnerScope& operator=(const PrompterOwnerScope&) = delete;

 private:
  QtPrompter* prompter_;
  QPointer<QWidget> previous_;
};

}  // namespace gestalon::ui
