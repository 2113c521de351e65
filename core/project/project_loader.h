#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cpusettings/cpu_settings.h"
#include "cpusettings/cpu_settings_file.h"
#include "project/base_poses.h"
#include "project/robot_project.h"
#include "project/slider_defs.h"
#include "project/system_settings.h"
#include "project/value_offsets.h"
#include "ui_port/prompter.h"
#include "variables/variable_defs.h"

namespace gestalon::core {

// Everything a robot project loads: the project file and the settings files it names.
struct LoadedProject {
  RobotProject project;
  SystemSettings system;
  SliderTable sliders{};
  WindowLayout layout;
  BasePoseTable basePoses;
  ValueOffsetTable offsets;
  CpuSettings cpu;
  std::vector<VariableDef> variables;
  // Addresses and constants shown in hexadecimal in labels and dialogs; kept across reloads.
  bool hexadecimalDisplay = false;
};

// The label of a board variable in the current number style.
inline std::u16string VariableLabel(const LoadedProject& project, std::uint16_t address,
                                    std::int32_t size) {
  return VariableLabel(project.variables, address, size, project.hexadecimalDisplay);
}

struct ProjectLoadOptions {
  std::filesystem::path programFolder;  // skins with folder flag 0 and the check box image
  // The program folder is an installed, shared one: nothing is ever written below it, and a
  // project in it (the default project, a sample robot) is opened from the user's own copy.
  bool programFolderShared = false;
  Prompter* prompter = nullptr;  // null, or ignored when quiet: no messages
  // Runs after the settings are in place, for the work that needs them (a new motion, undo).
  std::function<void(LoadedProject&)> afterLoad;
};

// The loading sequence: project file, system settings, slider definitions, base poses, CPU
// settings, variable definitions, servo channels, offsets. A relative `projectFile` is taken
// against the previously loaded project's folder (or the current directory). Messages: project
// file unreadable (error), system settings or slider definitions unreadable (error, load fails),
// base poses or CPU settings unreadable (warning, the load goes on with their defaults); none
// when `quiet`. On failure `project` is left as it was; on success it holds the new project.
bool LoadRobotProject(const std::filesystem::path& projectFile, bool quiet, LoadedProject& project,
                      const ProjectLoadOptions& options);

// The robot's name: the CPU settings' model name.
std::u16string ProjectRobotName(const LoadedProject& project);

// Which project start-up loads.
struct StartupProject {
  std::u16string path;
  bool quiet = false;       // the default project loads without messages
  bool writeToLog = false;  // from the command line or the default project
};

// The command line (a project path, possibly in double quotes) wins over the most recent project
// of the log; with neither, the default project "temp/temp.KJZ" under the program folder.
StartupProject ChooseStartupProject(std::u16string_view commandLine, std::u16string_view mostRecent,
                                    const std::filesystem::path& programFolder);

// The project file to open for `projectFile`: itself, unless it lies in the program folder and
// that folder is shared or not writable; then the same place in a copy of its project folder in
// `appDataFolder` (the folder is copied once, so the user's changes to the copy stay), so that
// the project's settings can be saved. Itself when there is nothing to copy or the copy fails.
std::filesystem::path WritableProject(const std::filesystem::path& projectFile,
                                      const std::filesystem::path& programFolder,
                                      bool programFolderShared,
                                      const std::filesystem::path& appDataFolder);

// Start-up: takes the most recent project from the log in `appDataFolder` unless the command line
// names one, falls back to the default project, makes it writable (`WritableProject`), loads it,
// and records it in the log when it came from the command line or is the default project.
// `loadedPath` receives the path that was loaded. False when the project could not be loaded (the
// no-project state).
bool LoadStartupProject(std::u16string_view commandLine, const std::filesystem::path& appDataFolder,
                        LoadedProject& project, const ProjectLoadOptions& options,
                        std::u16string* loadedPath = nullptr);

}  // namespace gestalon::core
