#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "board/board_drive.h"
#include "board/board_link.h"
#include "main_window/editor_session.h"
#include "ui_port/prompter.h"
#include "widgets/dialog_memory.h"

class QWidget;

namespace gestalon::ui {

// What the start selection and new project dialogs use of the program around them.
struct ProjectStartContext {
  std::filesystem::path programFolder;  // the default-robot list and the template folders
  std::filesystem::path recentLog;      // the recent-project log that the start selection lists
  core::Prompter* prompter = nullptr;   // must be set
  // The board's robot name after the robot-name question of the online connection: its project
  // is preselected and a new project proposes it. Empty otherwise.
  std::u16string proposedRobotName;
  // Where the project file chooser starts (the open project's folder); empty: the current folder.
  std::u16string projectFolder;
  // The options of this instance that the instance started on the project keeps.
  std::vector<std::u16string> passedOnOptions;
  // The board a new project is written to when the user asks for its initialisation: the link
  // and the drives scanned while offline. Without a link no board can be initialised.
  core::BoardLink* link = nullptr;
  std::function<std::vector<core::BoardDrive>()> driveCandidates;
  FilePicker pickFile = PickFileWithDialog;
  FolderPicker pickFolder = PickFolderWithDialog;
  InstanceStarter startInstance = core::RelaunchWithProject;
};

// The start selection dialog and, when the user chose to create a project, the new project
// dialog, modal to `owner`.
void RunProjectChoice(const ProjectStartContext& context, QWidget* owner);

// Start-up when no project could be loaded: says so, then runs the project choice. A new project's
// board initialisation reaches the system's drives and, when `options` name one, a virtual board
// on its card folder. The program ends afterwards.
void RunStartupProjectChoice(const std::filesystem::path& programFolder, core::Prompter& prompter,
                             const SessionOptions& options,
                             InstanceStarter startInstance = core::RelaunchWithProject);

}  // namespace gestalon::ui
