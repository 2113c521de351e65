#include "project/project_loader.h"

#include "platform/file_copy.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "pose/servo_channels.h"
#include "project/recent_projects.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

constexpr char16_t kDefaultProjectRelative[] = u"temp\\temp.KJZ";

class LoadMessages {
 public:
  LoadMessages(bool quiet, Prompter* prompter) : prompter_(quiet ? nullptr : prompter) {}

  Prompter* prompter() const { return prompter_; }

  void Show(PromptIcon icon, int textId) {
    if (prompter_) {
      prompter_->Show(icon, LoadText(textId));
    }
  }
  void ShowFile(PromptIcon icon, int textId, const std::u16string& fileName) {
    if (prompter_) {
      prompter_->Show(icon, Format(LoadText(textId), fileName));
    }
  }

 private:
  Prompter* prompter_;
};

std::filesystem::path ResolveProjectFile(const std::filesystem::path& projectFile,
                                         const LoadedProject& previous) {
  if (projectFile.is_absolute() || previous.project.folder.empty()) {
    return projectFile;
  }
  return PathFromText(previous.project.folder) / projectFile;
}

// Copies into `target` every file and folder of `source` that `target` does not have yet; what
// is there already stays. (The standard library's folder copy of the Windows build takes any two
// folders of one drive for the same folder and refuses.)
bool CopyMissingFiles(const std::filesystem::path& source, const std::filesystem::path& target,
                      std::error_code& ec) {
  std::filesystem::recursive_directory_iterator it(source, ec);
  for (; !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    const std::filesystem::path to = target / it->path().lexically_relative(source);
    std::error_code probe;
    if (std::filesystem::exists(to, probe)) {
      continue;
    }
    if (it->is_directory(ec)) {
      std::filesystem::create_directories(to, ec);
    } else if (!ec) {
      CopyFileReplacing(it->path(), to, ec);
    }
    if (ec) {
      return false;
    }
  }
  return !ec;
}

}  // namespace

bool LoadRobotProject(const std::filesystem::path& projectFile, bool quiet, LoadedProject& project,
                      const ProjectLoadOptions& options) {
  LoadMessages messages(quiet, options.prompter);
  // Work on a copy so that a failed load leaves the running project as it was; values that the
  // readers keep (the status window position, a variable list that cannot be re-read) carry over.
  LoadedProject next = project;
  if (!ReadProjectFile(ResolveProjectFile(projectFile, project), next.project)) {
    messages.Show(PromptIcon::kError, TextId::kMsgProjectFileUnreadable);
    return false;
  }
  const RobotProject& files = next.project;
  const std::filesystem::path folder = PathFromText(files.folder);

  if (!ReadSystemSettings(ProjectFilePath(files, files.SYSINI), folder, options.programFolder,
                          next.system, messages.prompter())) {
    messages.ShowFile(PromptIcon::kError, TextId::kMsgSettingsFileFailedFatal, files.SYSINI);
    return false;
  }
  if (!ReadSliderDefinitions(ProjectFilePath(files, files.SLDINI), next.sliders, next.layout)) {
    messages.ShowFile(PromptIcon::kError, TextId::kMsgSettingsFileFailedFatal, files.SLDINI);
    return false;
  }
  if (!ReadBasePoses(ProjectFilePath(files, files.DEFPOSINI), next.basePoses)) {
    messages.ShowFile(PromptIcon::kWarning, TextId::kMsgSettingsFileFailedWarn, files.DEFPOSINI);
  }
  next.cpu = CpuSettings{};
  if (!ReadCpuSettingsFile(ProjectFilePath(files, files.ROMINI), next.cpu, messages.prompter())) {
    messages.ShowFile(PromptIcon::kWarning, TextId::kMsgSettingsFileFailedWarn, files.ROMINI);
  }
  if (auto variables = LoadVariableDefs(ProjectFilePath(files, files.MEMMAPINI))) {
    next.variables = std::move(*variables);
  }
  DeriveServoChannels(next.sliders, next.cpu);
  ReadValueOffsets(ProjectFilePath(files, files.DEFOFSINI), next.offsets);

  project = std::move(next);
  if (options.afterLoad) {
    options.afterLoad(project);
  }
  return true;
}

std::u16string ProjectRobotName(const LoadedProject& project) {
  return RobotName(project.cpu);
}

StartupProject ChooseStartupProject(std::u16string_view commandLine, std::u16string_view mostRecent,
                                    const std::filesystem::path& programFolder) {
  StartupProject startup;
  startup.path = mostRecent;
  if (!commandLine.empty()) {
    if (commandLine.front() == u'"') {
      // The opening quote and the last character (the closing quote) go.
      startup.path = commandLine.size() >= 2 ? commandLine.substr(1, commandLine.size() - 2)
                                             : std::u16string_view();
    } else {
      startup.path = commandLine;
    }
    startup.writeToLog = true;
  }
  if (startup.path.empty()) {
    startup.path = TextFromPath(programFolder / PathFromText(kDefaultProjectRelative));
    startup.quiet = true;
    startup.writeToLog = true;
  }
  return startup;
}

std::filesystem::path WritableProject(const std::filesystem::path& projectFile,
                                      const std::filesystem::path& programFolder,
                                      bool programFolderShared,
                                      const std::filesystem::path& appDataFolder) {
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::weakly_canonical(projectFile, ec);
  const std::filesystem::path program = std::filesystem::weakly_canonical(programFolder, ec);
  if (ec || appDataFolder.empty() || programFolder.empty() ||
      !std::filesystem::is_regular_file(file, ec)) {
    return projectFile;
  }
  const std::filesystem::path relative = file.parent_path().lexically_relative(program);
  const bool inProgramFolder = !relative.empty() && relative != "." && *relative.begin() != "..";
  if (!inProgramFolder || (!programFolderShared && IsFolderWritable(file.parent_path()))) {
    return projectFile;
  }
  const std::filesystem::path copyFolder = appDataFolder / relative;
  const std::filesystem::path copy = copyFolder / file.filename();
  if (!std::filesystem::exists(copy, ec)) {
    std::filesystem::create_directories(copyFolder, ec);
    if (ec || !CopyMissingFiles(file.parent_path(), copyFolder, ec)) {
      return projectFile;
    }
  }
  return copy;
}

bool LoadStartupProject(std::u16string_view commandLine, const std::filesystem::path& appDataFolder,
                        LoadedProject& project, const ProjectLoadOptions& options,
                        std::u16string* loadedPath) {
  const std::filesystem::path logFile =
      appDataFolder.empty() ? std::filesystem::path() : appDataFolder / kRecentProjectLogName;
  RecentProjects log;
  std::u16string mostRecent;
  ReadRecentProjects(logFile, log, &mostRecent);
  StartupProject startup = ChooseStartupProject(commandLine, mostRecent, options.programFolder);
  startup.path = TextFromPath(WritableProject(PathFromText(startup.path), options.programFolder,
                                              options.programFolderShared, appDataFolder));
  if (!LoadRobotProject(PathFromText(startup.path), startup.quiet, project, options)) {
    return false;
  }
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(PathFromText(startup.path), ec);
  startup.path = TextFromPath(ec ? PathFromText(startup.path) : absolute);
  if (loadedPath) {
    *loadedPath = startup.path;
  }
  // Only a project that loaded goes into the log: a failed one would be listed under the
  // name of no robot.
  if (startup.writeToLog && !logFile.empty()) {
    WriteRecentProjects(logFile, log, &startup.path, ProjectRobotName(project));
  }
  return true;
}

}  // namespace gestalon::core
