#pragma once

#include <QWidget>
#include <vector>

#include "controlmap/control_map.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace gestalon::ui {

class EditorSession;

// One map's page of the control map editor (115): the map name (1144, at most 31 characters),
// "このマップを使用する" (1191, which enables the list and the idling motion), the idling motion
// (1209, chooser 1203, clear 1204) and the entry list (1127) with add (1014), edit (1015), delete
// (1112), a double click to edit and the popup menu 114 (40041 add, 40049 edit, 40045 delete).
// Dragging selected rows up or down moves them one place per row the mouse passes. Every change
// goes straight into the map and is announced by Changed().
class MapPage : public QWidget {
  Q_OBJECT

 public:
  MapPage(EditorSession& session, core::ControlMap& controlMap, int map, QWidget* parent = nullptr);

  // Rewrites the list from the map (other maps' names and the number style may have changed),
  // keeping the selected rows.
  void ShowEntries();

 Q_SIGNALS:
  // Something of the map changed.
  void Changed();
  // The map name changed (Changed() follows).
  void NameChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  core::ControlMap::Map& Map() const;
  std::vector<int> SelectedRows() const;
  void SelectRows(const std::vector<int>& rows);
  void ShowIdlingMotion();
  void ApplyUsed();
  void AddEntry();
  void EditEntry(int row);
  void EditSelectedEntry();
  void DeleteSelectedEntries();
  // Moves the selected rows by one place (step -1 up, +1 down), when they can move.
  void MoveSelected(int step);
  // The mouse on the list: a press on a selected row keeps the selection so that it can be
  // dragged; moves while the button is held move the selected rows one place per row passed.
  bool ListMouseEvent(QEvent* event);

  EditorSession& session_;
  core::ControlMap& controlMap_;
  int map_;
  QLineEdit* name_ = nullptr;
  QCheckBox* used_ = nullptr;
  QLabel* idling_ = nullptr;
  QPushButton* idlingChooser_ = nullptr;
  QPushButton* idlingClear_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* edit_ = nullptr;
  QPushButton* delete_ = nullptr;
  QMenu* popup_ = nullptr;
  int dragRow_ = -1;              // the row under the mouse while the button is held; -1: none
  bool dragMoved_ = false;        // the held rows moved since the press
  bool pressOnSelected_ = false;  // the press kept the selection: a click selects that row alone
};

}  // namespace gestalon::ui
