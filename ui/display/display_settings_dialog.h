#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>

#include "project/system_settings.h"

class QTabWidget;

namespace gestalon::ui {

class DisplayOtherPage;
class DisplaySkinPage;
class DisplayToolbarPage;
class EditorSession;

// What the display settings dialog needs of the main window.
struct DisplaySettingsHooks {
  // Where skin paths with folder flag 0 are resolved.
  std::filesystem::path programFolder;
  // After each Apply, once the settings and flags are stored: the toolbar is built again and the
  // status window opens when it should.
  std::function<void()> applied;
};

// Dialog 132 "画面表示の設定": the system settings on three pages in tab control 1098 (toolbar
// 138, skin images 136, other 162), edited in a working copy. "適用" (1) asks, then stores the
// copy and the options, loads the skin images afresh, re-lays out both panes and writes the
// system settings file; the dialog stays open. "閉じる" (2) drops what was not applied. The
// dialog reopens on the page and at the position it had.
class DisplaySettingsDialog : public QDialog {
  Q_OBJECT

 public:
  DisplaySettingsDialog(EditorSession& session, DisplaySettingsHooks hooks,
                        QWidget* parent = nullptr);
  ~DisplaySettingsDialog() override;

  // The Apply button's work: false when the user said No.
  bool Apply();

 private:
  void done(int result) override;

  EditorSession& session_;
  DisplaySettingsHooks hooks_;
  core::SystemSettings copy_;  // without skin bitmaps: the skin page keeps its own previews
  QTabWidget* tabs_;
  DisplayToolbarPage* toolbar_;
  DisplaySkinPage* skins_;
  DisplayOtherPage* other_;
};

// Runs the dialog modally, owning the program's message boxes while open.
void RunDisplaySettingsDialog(EditorSession& session, QWidget* owner, DisplaySettingsHooks hooks);

}  // namespace gestalon::ui
