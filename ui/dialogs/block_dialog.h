#pragma once

#include <QDialog>
#include <string>

#include "motion/motion_block.h"

class QGridLayout;
class QLineEdit;

namespace gestalon::ui {

class EditorSession;

// The shape every block property dialog shares: it edits a copy of one block and writes the copy
// back whole only when OK passes the position check and the kind's own checks. The name (1224),
// X (1225) and Y (1226) fields and OK (1) / Cancel (2) are common; a kind adds its controls to
// Body() and decides in CheckAndStore. The dialog opens at the remembered block dialog position,
// stores its own position there when it closes, and owns the program's message boxes while open.
class BlockDialog : public QDialog {
  Q_OBJECT

 public:
  // Runs the dialog modally: 1 when OK changed the block, 0 when it was cancelled or closed.
  int Run();

  // The copy under edit (the block itself is written only by OK).
  const core::MotionBlock& Edited() const { return copy_; }

 protected:
  BlockDialog(EditorSession& session, core::MotionBlock& block, int titleTextId,
              QWidget* parent = nullptr);

  // The kind's controls go here, between the name and the position fields.
  QGridLayout* Body() const { return body_; }
  EditorSession& Session() const { return session_; }
  core::MotionBlock& Copy() { return copy_; }

  // On OK after the position check: the kind's checks and the fields it stores into `copy`.
  // Empty to accept; otherwise the message shown (exclamation icon) while the dialog stays open.
  virtual std::u16string CheckAndStore(core::MotionBlock& copy) = 0;
  // Whether OK stores the name field (the interpolation switch shows it only).
  virtual bool StoresName() const { return true; }

  // Ends the dialog with result 0 as Cancel does, for kinds whose buttons leave the dialog.
  void Leave() { reject(); }

 private:
  void TryAccept();
  void done(int result) override;

  EditorSession& session_;
  core::MotionBlock& block_;
  core::MotionBlock copy_;
  QGridLayout* body_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* x_ = nullptr;
  QLineEdit* y_ = nullptr;
};

}  // namespace gestalon::ui
