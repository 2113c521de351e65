#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "cpusettings/cpu_settings.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

inline constexpr std::size_t kNewRobotNameChars = 32;
// The CPU settings file of every template, where the new robot's name goes.
inline constexpr char16_t kTemplateCpuSettingsName[] = u"STARTUP.XML";

// A refused field of the new project dialog: the message and its icon; empty: accepted.
struct NewProjectCheck {
  std::u16string message;
  PromptIcon icon = PromptIcon::kNone;
};

// The robot name, then the folder, in the order the dialog checks them: a name of more than 32
// characters (warning), an empty name (warning), a name holding any of \ * / : " ? < > | (error);
// an empty folder (warning), a folder holding any of * " ? < > | (error).
NewProjectCheck CheckNewProject(std::u16string_view robotName, std::u16string_view folder);

// The folder box after browsing: the chosen folder, a separator and the robot name ("Newrobot"
// while the name is empty).
std::u16string ProposedProjectFolder(std::u16string_view chosenFolder,
                                     std::u16string_view robotName);

struct CreatedProject {
  bool created = false;
  std::filesystem::path projectFile;  // <folder>/<robot name>.KJZ
  CpuSettings cpu;                    // the settings written into the new STARTUP.XML
  // Why nothing was created and whether anything is left of it (error icon); empty on success.
  std::u16string message;
};

// Makes a new robot project in `folder` (created when missing; an existing folder gets the
// template's files over its own): copies every file of `templateFolder`, renames the template's
// project file to "<robotName>.KJZ" and writes the robot name into STARTUP.XML. A step that fails
// takes back the files and folders it made; files of an existing folder that were overwritten
// stay, and the message says so.
CreatedProject CreateRobotProject(const std::filesystem::path& templateFolder,
                                  const std::filesystem::path& folder,
                                  std::u16string_view robotName);

}  // namespace gestalon::core
