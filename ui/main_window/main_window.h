#pragma once

#include <QMainWindow>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "main_window/editor_session.h"
#include "project/recent_projects.h"
#include "ui_port/prompter.h"

namespace gestalon::ui {

class BoardProgressDialog;
class CommandActions;
class MainToolbar;
class MotionArea;
class PoseArea;
class PreviewPlayer;
class PreviewWindow;
class ProgressForwarder;
struct ProjectStartContext;
class QtPrompter;
class SplitPane;
class StatusWindowHost;

// The program's only top-level window: the pose area and the motion area side by side under the
// menu bar and the toolbar. It owns the editing session and turns every command into the
// operation it names.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Opens the window on a loaded project with a new motion. `prompter` shows the program's
  // message boxes; when it is a QtPrompter the window (or its open dialog) owns them.
  MainWindow(core::LoadedProject project, core::Prompter& prompter,
             const std::filesystem::path& programFolder, SessionOptions options = {},
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs the command `id` as a menu item, an accelerator or a toolbar button would.
  void RunCommand(int id);
  // Opens a motion file as the Open command does after its dialog.
  bool OpenMotionFile(const std::filesystem::path& file);
  // A file dropped on the window: a motion file (by its name, in any case) is opened, a project
  // file starts another instance of the program on it, anything else is refused. Ignored while
  // the motion is locked for playback.
  void DroppedFile(const QString& path);
  // Serves files that other starts of the program hand over on `serverName` (a motion file
  // opened from the file manager): the window comes to the front and takes each as dropped.
  // Another window may already serve the name; then this one does not.
  void ServeHandedOverFiles(const QString& serverName);
  // Asks whether to save a changed motion: Yes (saved), No, or Cancel (the caller stops). Yes
  // comes back only when the motion was saved.
  core::PromptAnswer ConfirmSaveChanges();

  EditorSession& Session() { return *session_; }
  PoseArea* Poses() const { return poseArea_; }
  MotionArea* Motions() const { return motionArea_; }
  SplitPane* Split() const { return split_; }
  CommandActions& Actions() const { return *actions_; }
  MainToolbar* Toolbar() const { return toolbar_; }
  // The robot preview window (null until first opened) and its motion player.
  PreviewWindow* Preview() const { return previewWindow_; }
  PreviewPlayer* PreviewMotionPlayer() const { return previewPlayer_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  class Views;
  friend class Views;

  // Requests of the view port, on the user-interface thread.
  void RepaintPane(core::Pane pane, bool relayout);
  void ScrollMotionArea(int left, int top, int right, int bottom);
  void RefreshMenuChecks();
  void ApplyPlaybackLock(bool playing);

  void BuildWidgets();
  void RestoreGeometry();
  int MenuBarHeight() const;
  // Takes the window's geometry and split into the project's layout; Save also writes the slider
  // definition file that holds them.
  void StoreWindowLayout();
  void SaveWindowLayout();
  bool CanRunWhilePlaying(int id) const;
  bool CursorOverMotionArea() const;

  // File commands.
  void NewMotion();
  void OpenMotion();
  bool SaveMotion(bool askForName);
  void OpenRecentMotion(int slot);
  void ImportMotion();
  void OpenProject();
  void OpenRecentProject(int index);
  // What the project start and creation dialogs run with from this window.
  ProjectStartContext ProjectStart(std::u16string proposedRobotName);
  // Board commands.
  void ToggleOnline();
  void OnlineStarted(int result);
  void ToggleServo();
  void SpaceServoOff();
  void Play(bool fromHere);
  // Opens the preview window (made on first use) or closes it.
  void ShowPreview(bool show);
  void PlayInPreview(bool fromHere);
  void ServoCorrection();
  void OpenCpuSettings();
  void OpenDisplaySettings();
  void ShowAbout();
  // Restarts the program on this project in the language the Help menu offers, and remembers it.
  void SwitchLanguage();
  // Editing commands that need the panes or the toolbar.
  void ApplyOverride();
  void BlockProperties();
  // Opens the property dialog of `block`; a changed block is redrawn and becomes one undo step.
  void EditBlock(core::MotionBlock& block);
  void BatchOffset();
  void SliderProperties();
  void EditingCommand(int id);

  // How long closing the window waits for a playing motion to stop before it stays open.
  static constexpr int kStopOnCloseCeilingMs = 10000;

  core::Prompter& prompter_;
  QtPrompter* qtPrompter_;  // the same prompter when it shows Qt message boxes, else null
  std::filesystem::path programFolder_;
  std::vector<std::u16string> passedOnOptions_;  // for the instances started on other projects
  SessionOptions sessionOptions_;                // as given, for the restart in another language
  std::unique_ptr<Views> views_;
  ProgressForwarder* progress_ = nullptr;
  std::atomic<bool> playbackCancel_{false};
  std::unique_ptr<EditorSession> session_;
  core::RecentProjects recentProjects_;
  CommandActions* actions_ = nullptr;
  MainToolbar* toolbar_ = nullptr;
  PoseArea* poseArea_ = nullptr;
  MotionArea* motionArea_ = nullptr;
  SplitPane* split_ = nullptr;
  StatusWindowHost* statusWindow_ = nullptr;
  PreviewPlayer* previewPlayer_ = nullptr;
  PreviewWindow* previewWindow_ = nullptr;
  bool previewWanted_ = false;  // opened and not closed since: how the layout remembers it
  bool exitWithoutAsking_ = false;
};

}  // namespace gestalon::ui
