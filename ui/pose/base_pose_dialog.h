#pragma once

#include <QDialog>

#include "project/base_poses.h"

class QLineEdit;
class QTableWidget;

namespace gestalon::ui {

class EditorSession;

// Dialog 135 "基準ポーズの設定": the project's base poses in list 1109, edited in a working copy.
// "登録" (1150) takes the current pose under the name of edit 1141 as a new base pose before the
// focused item (after the last one without a focused item); "現在のポーズと置換" (1110) puts the
// current pose into the focused base pose after asking; "選択したポーズを削除" (1151) removes
// the selected ones. "適用" (1) stores the copy after asking (menus, toolbar drop-down and pose
// area follow, the base pose file is written) and keeps the dialog open; "閉じる" (2) drops what
// was not applied. The dialog reopens where it was.
class BasePoseDialog : public QDialog {
  Q_OBJECT

 public:
  explicit BasePoseDialog(EditorSession& session, QWidget* parent = nullptr);

  const core::BasePoseTable& Working() const { return working_; }

 private:
  void FillList();
  // The list item with the focus, -1 when none has it.
  int FocusedItem() const;
  void Register();
  void Replace();
  void DeleteSelected();
  void Apply();
  void done(int result) override;

  EditorSession& session_;
  core::BasePoseTable working_;
  QTableWidget* list_;
  QLineEdit* name_;
};

// Runs the dialog modally, owning the program's message boxes while open.
void RunBasePoseDialog(EditorSession& session, QWidget* owner);

}  // namespace gestalon::ui
