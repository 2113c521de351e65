#pragma once

#include <QDialog>
#include <functional>

#include "project/value_offsets.h"

class QLineEdit;
class QTableWidget;

namespace gestalon::ui {

class EditorSession;

// Dialog 174 "ポーズスライダ値のオフセット": the project's named offset sets in list 1109 and the
// offsets of the working set for every slider in list 1240, edited in a working copy. Choosing a
// name makes that set the working one; a name is renamed in place. "追加" (1247) inserts a new
// set before the focused name, "削除" (1248) removes the selected one. "リストに適用" (1110) gives
// every selected slider the offset typed in edit 1142, after the number checks. "適用" (1249)
// stores the copy after asking and writes the offset file; the dialog stays open. "キャンセル"
// (2), the close box or Escape close it: the wheel offset choice goes back to none, and
// `closed` lets the window refill its offset selector. The dialog reopens where it was.
class OffsetDialog : public QDialog {
  Q_OBJECT

 public:
  OffsetDialog(EditorSession& session, std::function<void()> closed, QWidget* parent = nullptr);

  const core::ValueOffsetTable& Working() const { return working_; }

 private:
  // Refills the names with the working set selected and focused, then the slider list.
  void FillNames();
  // Rewrites the slider rows for the working set (their selection stays); without a working set
  // the list is disabled and keeps its texts.
  void FillSliders();
  void NameSelected();
  void NameEdited(int row);
  void AddSet();
  void DeleteSet();
  void ApplyToList();
  void done(int result) override;

  EditorSession& session_;
  std::function<void()> closed_;
  core::ValueOffsetTable working_;
  QTableWidget* names_;
  QTableWidget* sliders_;
  QLineEdit* value_;
};

// Runs the dialog modally, owning the program's message boxes while open; `closed` as above.
void RunOffsetDialog(EditorSession& session, QWidget* owner, std::function<void()> closed);

}  // namespace gestalon::ui
