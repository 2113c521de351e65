#pragma once

#include <QDialog>

#include "pose/batch_offset.h"

class QLineEdit;
class QTableWidget;

namespace gestalon::ui {

class EditorSession;

// Dialog 172 "選択したポーズの一括オフセット": list 1240 of sliders 0..95 with the offset each
// is to get (initially +0). The offset typed in edit 1142 goes to the selected rows with
// "リストに適用" (1110); Apply (1) asks, adds the offsets to every selected pose block of the
// motion as one undo step and closes; Close (2) adds nothing.
class BatchOffsetDialog : public QDialog {
  Q_OBJECT

 public:
  explicit BatchOffsetDialog(EditorSession& session, QWidget* parent = nullptr);

  // "リストに適用": true when the selected rows took the typed offset.
  bool SetOffsetsOfSelectedRows();
  // Apply: true when the offsets were added to the poses.
  bool Apply();
  const core::BatchOffsets& Offsets() const { return offsets_; }

 private:
  void ShowOffsets();
  void done(int result) override;

  EditorSession& session_;
  core::BatchOffsets offsets_{};
  QTableWidget* list_;
  QLineEdit* offset_;
};

// The batch offset command: with a selected pose block, runs the dialog modally (owning the
// program's message boxes); without one, says that one is needed.
void RunBatchOffsetDialog(EditorSession& session, QWidget* owner);

}  // namespace gestalon::ui
