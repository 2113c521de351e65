#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <optional>

#include "controlmap/control_map.h"

class QLabel;
class QTabWidget;
class QWidget;

namespace gestalon::ui {

class EditorSession;
class MapPage;

// Runs the control map editor, owned by `owner`, on the control map file `file` (none: a new
// control map; a relative name is taken in the project folder). 1 when the map was saved: `saved`
// then holds the file's full path. 0 when the editor closed without saving, or the file could not
// be read as a control map or not be written (both reported).
int EditControlMap(EditorSession& session, QWidget* owner,
                   const std::optional<std::filesystem::path>& file, std::filesystem::path* saved);

// The control map editor (101, "操作マップの設定", titled with the file's name): the boot motion
// (1016, chooser 1206, clear 1207), one tab (1098) per map with its page, "上書き保存" (1) after a
// question, "名前を付けて保存" (1149), and closing with the question whether to save a changed
// map. It edits its own copy of the map; result 1 means the caller is to write Map() to File().
// It opens at, and remembers, the editor position of the session.
class ControlMapEditor : public QDialog {
  Q_OBJECT

 public:
  // `file`: the map's file (full path); none for a new map.
  ControlMapEditor(EditorSession& session, core::ControlMap controlMap,
                   std::optional<std::filesystem::path> file, QWidget* parent = nullptr);

  // Runs the editor modally: 1 when the map is to be saved to File(), 0 when closed without.
  int Run();

  const core::ControlMap& Map() const { return map_; }
  const std::optional<std::filesystem::path>& File() const { return file_; }
  bool Modified() const { return modified_; }

  // Closing (the close box, Escape, "閉じる"): a changed map asks whether to save it first.
  void reject() override;

 protected:
  void moveEvent(QMoveEvent* event) override;

 private:
  void ShowBootMotion();
  void ShowTabNames();
  void MarkModified() { modified_ = true; }
  // Asks for the file to save to; false when cancelled.
  bool ChooseSaveFile();
  void SaveOver();
  void SaveAs();
  void done(int result) override;

  EditorSession& session_;
  core::ControlMap map_;
  std::optional<std::filesystem::path> file_;
  bool modified_ = false;
  QLabel* bootMotion_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  std::array<MapPage*, core::kControlMapCount> pages_{};
};

}  // namespace gestalon::ui
