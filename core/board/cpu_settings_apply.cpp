#include "board/cpu_settings_apply.h"

#include "board/board_settings.h"
#include "cpusettings/cpu_settings_file.h"
#include "platform/paths.h"
#include "pose/dialog_prompts.h"
#include "pose/servo_channels.h"
#include "project/robot_project.h"
#include "settings/settings_fields.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

constexpr std::size_t kLogNameChars = 31;

std::unique_lock<std::mutex> LockSession(std::mutex* mutex) {
  return mutex ? std::unique_lock(*mutex) : std::unique_lock<std::mutex>();
}

// The project file takes the new robot name; the log's entries of the old name follow it.
void RenameRobot(CpuSettingsApplyTarget& target, const std::u16string& oldName,
                 const std::u16string& newName) {
  const std::filesystem::path folder = PathFromText(target.project.project.folder);
  const std::u16string fileName = newName + u".KJZ";
  if (!RenameProjectFile(folder, newName)) {
    if (target.prompter) {
      target.prompter->Show(PromptIcon::kWarning,
                            Format(LoadText(TextId::kFmtMsgProjectRenameFailed), fileName));
    }
    return;
  }
  if (!target.recentProjects) {
    return;
  }
  const std::u16string oldLogName = SettingsFieldName(oldName, kLogNameChars);
  const std::u16string newPath = TextFromPath(folder / PathFromText(fileName));
  bool changed = false;
  for (RecentProject& entry : target.recentProjects->entries) {
    if (entry.valid && entry.robotName == oldLogName) {
      entry.robotName = SettingsFieldName(newName, kLogNameChars);
      entry.path = newPath;
      changed = true;
    }
  }
  if (changed && !target.recentLog.empty()) {
    WriteRecentProjects(target.recentLog, *target.recentProjects, nullptr, newName);
  }
}

}  // namespace

CpuSettingsApplyResult ApplyCpuSettings(const CpuSettings& edited, CpuSettingsApplyTarget& target) {
  LoadedProject& project = target.project;
  CpuSettingsApplyResult result;
  const std::u16string oldName = RobotName(project.cpu);
  const std::u16string newName = RobotName(edited);
  // Renaming without a change could pick another project file of the same folder.
  if (newName != oldName) {
    RenameRobot(target, oldName, newName);
    result.robotRenamed = true;
  }
  {
    const auto lock = LockSession(target.sessionMutex);
    project.cpu = edited;
    DeriveServoChannels(project.sliders, project.cpu);
  }
  const bool saved =
      WriteCpuSettingsFile(ProjectFilePath(project.project, project.project.ROMINI), edited);
  ReportUnsavedFile(saved, target.prompter);

  if (target.link.Flags().online.load() != 0) {
    const bool sent = WriteBoardSettings(target.link, edited, target.prompter) == 1;
    result.messageId = sent ? TextId::kMsgSettingsAppliedToRam : TextId::kMsgSettingsRamFailed;
    result.icon = sent ? PromptIcon::kNone : PromptIcon::kWarning;
  } else if (saved) {
    result.messageId = TextId::kMsgSettingsApplied;
  }
  return result;
}

}  // namespace gestalon::core
