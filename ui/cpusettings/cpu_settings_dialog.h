#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>

#include "cpusettings/cpu_settings.h"
#include "project/recent_projects.h"

class QTabWidget;

namespace gestalon::ui {

class CpuBasicPage;
class CpuExtensionPage;
class CpuServoIdPage;
class CpuServoOutputPage;
class EditorSession;

// What the CPU settings dialog needs of the main window.
struct CpuSettingsHooks {
  // The servo on/off command, run while the dialog stays open.
  std::function<void()> toggleServo;
  // The recent-project log as the window holds it, and its file (see ApplyCpuSettings).
  core::RecentProjects* recentProjects = nullptr;
  std::filesystem::path recentLog;
  // After each Apply: the title shows the robot name, the recent-project menu its entries.
  std::function<void()> applied;
};

// Dialog 139 "CPUの設定": the project's CPU settings on four pages in tab control 1098 (basic
// 140, servo output 166, servo IDs 215, extension 216), edited in a working copy that only
// Apply (1000) and OK (1) store, after asking and after the checks of the pages; Cancel (2)
// leaves the project's settings as they were. "サーボモータON/OFF" (1117) runs the servo
// command with the dialog open. The dialog reopens on the page and at the position it had.
class CpuSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  CpuSettingsDialog(EditorSession& session, CpuSettingsHooks hooks, QWidget* parent = nullptr);
  ~CpuSettingsDialog() override;

  // The Apply button's work: true when the settings were checked and stored.
  bool Apply();
  const core::CpuSettings& Edited() const { return copy_; }

 private:
  void ShowPages();
  void done(int result) override;

  EditorSession& session_;
  CpuSettingsHooks hooks_;
  core::CpuSettings copy_;
  QTabWidget* tabs_;
  CpuBasicPage* basic_;
  CpuServoOutputPage* servoOutput_;
  CpuServoIdPage* servoIds_;
  CpuExtensionPage* extension_;
};

// Runs the dialog modally, owning the program's message boxes while open.
void RunCpuSettingsDialog(EditorSession& session, QWidget* owner, CpuSettingsHooks hooks);

}  // namespace gestalon::ui
