#pragma once

#include <QDialog>
#include <optional>

#include "board/board_drive.h"
#include "board/board_link.h"
#include "cpusettings/cpu_settings.h"
#include "project/project_loader.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace gestalon::ui {

class EditorSession;

// The dialog of the "write to the CPU board" command: the start-up motion (usually a control
// map), the voice map file, the drive to write to, and the buttons that make or edit a control
// map. "書き込み" asks whether to apply, stores the fields into the project's CPU settings and
// writes the robot to the board; a finished write closes the dialog.
class BoardWriteDialog : public QDialog {
  Q_OBJECT

 public:
  BoardWriteDialog(EditorSession& session, QWidget* parent = nullptr);

  // The drives listed in the drive combo, in its order.
  const std::vector<core::BoardDrive>& Drives() const { return drives_; }

 protected:
  void done(int result) override;

 private:
  void NewControlMap();
  void EditControlMap();
  void ChooseStartupMotion();
  void ChooseVoiceFile();
  // A file of the project folder into `field`, chosen among `filter` and all files.
  void ChooseInto(QLineEdit* field, const QString& filter, const QString& suffix);
  void Write();
  // The name to store for a file: relative to the project folder when inside it.
  QString ProjectRelative(const std::filesystem::path& file) const;
  void ListDrives();

  EditorSession& session_;
  core::CpuSettings settings_;  // the working copy
  std::vector<core::BoardDrive> drives_;
  QLineEdit* startupMotion_;
  QLineEdit* voiceFile_;
  QCheckBox* writeVoice_;
  QComboBox* drive_;
};

// Runs the writing dialog of the window `owner` modally; 1 when the robot was written.
int RunBoardWriteDialog(EditorSession& session, QWidget* owner);

// Writes the robot with `settings` to the board, showing the writing progress dialog while the
// worker runs; Escape asks whether to stop the copy. `drive`: the drive to look for the board on
// while offline (none: every drive). `warnWithoutMotion`: say that only the settings are written
// when no start-up motion is set. 1 when the files were written.
int WriteToBoardWithProgress(EditorSession& session, QWidget* owner,
                             const core::CpuSettings& settings,
                             const std::optional<core::BoardDrive>& drive, bool warnWithoutMotion);

// The same for a project that is not the session's (a robot project just made): written through
// `link` after a scan of `candidates` while offline; messages go to `prompter` (may be null).
int WriteToBoardWithProgress(core::BoardLink& link, const core::LoadedProject& project,
                             std::vector<core::BoardDrive> candidates, core::Prompter* prompter,
                             QWidget* owner, const core::CpuSettings& settings,
                             bool warnWithoutMotion);

}  // namespace gestalon::ui
