#pragma once

#include "dialogs/block_dialog.h"

class QPlainTextEdit;

namespace gestalon::ui {

// The comment block dialog (199): the multi-line comment field 1142, at most 255 characters.
class CommentBlockDialog : public BlockDialog {
  Q_OBJECT

 public:
  CommentBlockDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent = nullptr);

 protected:
  std::u16string CheckAndStore(core::MotionBlock& copy) override;

 private:
  QPlainTextEdit* comment_ = nullptr;
};

}  // namespace gestalon::ui
