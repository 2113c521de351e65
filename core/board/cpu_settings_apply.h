#pragma once

#include <filesystem>
#include <mutex>

#include "board/board_link.h"
#include "cpusettings/cpu_settings.h"
#include "project/project_loader.h"
#include "project/recent_projects.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// What applying CPU settings changes besides the record.
struct CpuSettingsApplyTarget {
  LoadedProject& project;
  BoardLink& link;
  // Held while the record and the sliders change (the board workers read them). Null: no locking.
  std::mutex* sessionMutex = nullptr;
  // Reports a settings file or project file that could not be written or renamed, and the
  // board's time-out. Null: quiet.
  Prompter* prompter = nullptr;
  // The recent-project log as the program holds it, and its file: entries of a renamed robot
  // follow the new name. Null or empty: the log is left alone.
  RecentProjects* recentProjects = nullptr;
  std::filesystem::path recentLog;
};

struct CpuSettingsApplyResult {
  // The text to show: applied, applied to the board's RAM, or RAM failed; 0 when nothing more
  // is to be shown (an unwritten settings file was reported already).
  int messageId = 0;
  PromptIcon icon = PromptIcon::kNone;
  bool robotRenamed = false;  // the robot name changed (title and recent-project menu follow)
};

// Makes `edited` the project's CPU settings: when the robot name changed, the project file takes
// the new name ("<name>.KJZ" in the project folder) and the log entries of the old name take the
// new name and path (the log is rewritten); then the record is stored, the settings file is
// written and the sliders' servo channels are derived again. While online the settings also go
// to the board's memory. Failures to rename or write are reported through the prompter; the
// record is stored regardless.
CpuSettingsApplyResult ApplyCpuSettings(const CpuSettings& edited, CpuSettingsApplyTarget& target);

}  // namespace gestalon::core
