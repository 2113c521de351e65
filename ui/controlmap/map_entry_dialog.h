#pragma once

#include <QDialog>

#include "controlmap/control_map.h"

class QComboBox;
class QLineEdit;
class QRadioButton;
class QStackedWidget;

namespace gestalon::ui {

class EditorSession;
class OperandsPanel;
class PadButtonBoxes;

// The control map entry dialog (113, "操作マップの入力設定"): the motion file (1205, chooser
// 1206), the condition on the controller page (radio 1114: the sixteen buttons) or the variable
// page (radio 1112: the operands of a branch), both inside group 1006, and the map that becomes
// current after the motion (1220; the edited map itself reads "移行しない"). It edits a copy of
// the entry and stores it only on an OK that passes the checks. Opens at the control map
// editor's position and owns the program's message boxes while open.
class MapEntryDialog : public QDialog {
  Q_OBJECT

 public:
  // `entry` belongs to map `map` (0..3) of `controlMap`, whose names the target list shows.
  MapEntryDialog(EditorSession& session, const core::ControlMap& controlMap, int map,
                 core::MapEntry& entry, QWidget* parent = nullptr);

  // Runs the dialog modally: 1 when OK stored the entry, 0 when it was cancelled or closed.
  int Run();

 private:
  void ShowPage();
  void ChooseMotion();
  // OK: without a motion file, or with a constant the variable page refuses, the message is
  // shown and the dialog stays open; otherwise the condition becomes a gamepad test of the
  // checked buttons (controller page) or a branch (variable page) and the entry is stored.
  void TryAccept();

  EditorSession& session_;
  core::MapEntry& entry_;
  core::MapEntry copy_;
  QLineEdit* file_ = nullptr;
  QRadioButton* byController_ = nullptr;
  QRadioButton* byVariable_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  PadButtonBoxes* buttons_ = nullptr;
  OperandsPanel* operands_ = nullptr;
  QComboBox* target_ = nullptr;
};

}  // namespace gestalon::ui
