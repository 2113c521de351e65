#include "project/project_creation.h"

#include <algorithm>
#include <vector>

#include "cpusettings/cpu_settings_file.h"
#include "platform/file_copy.h"
#include "platform/paths.h"
#include "project/robot_project.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view kRefusedNameChars = u"\\*/:\"?<>|";
constexpr std::u16string_view kRefusedFolderChars = u"*\"?<>|";

NewProjectCheck Refused(PromptIcon icon, int textId) {
  return {LoadText(textId), icon};
}

// What the creation has done to the folder, so that a failed step can take it back: the files
// and folders it made (oldest first) and whether it overwrote files that were there before.
class FolderChanges {
 public:
  void Made(fs::path path) { made_.push_back(std::move(path)); }
  // `from` became `to`; `toExisted`: a file of that name was there before the rename.
  void Renamed(const fs::path& from, const fs::path& to, bool toExisted) {
    std::erase(made_, from);
    if (!toExisted) {
      made_.push_back(to);
    } else if (std::find(made_.begin(), made_.end(), to) == made_.end()) {
      overwrote_ = true;
    }
  }
  void Overwrote() { overwrote_ = true; }

  // Removes what was made, newest first. True when the folder is as it was before.
  bool TakeBack() {
    bool restored = !overwrote_;
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      std::error_code ec;
      fs::remove(*it, ec);
      restored = restored && !ec;
    }
    made_.clear();
    return restored;
  }

 private:
  std::vector<fs::path> made_;
  bool overwrote_ = false;
};

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

// Copies the template's files and folders into `folder`; the path that failed, empty when all
// were copied.
fs::path CopyTemplate(const fs::path& templateFolder, const fs::path& folder,
                      FolderChanges& changes) {
  std::error_code ec;
  if (!fs::is_directory(templateFolder, ec)) {
    return templateFolder;
  }
  fs::recursive_directory_iterator it(templateFolder, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::path target = folder / it->path().lexically_relative(templateFolder);
    const bool existed = Exists(target);
    if (it->is_directory(ec)) {
      if (!existed && !fs::create_directory(target, ec)) {
        return it->path();
      }
    } else if (!CopyFileReplacing(it->path(), target, ec)) {
      return it->path();
    } else if (existed) {
      changes.Overwrote();
      continue;
    }
    if (!existed) {
      changes.Made(target);
    }
  }
  return ec ? templateFolder : fs::path();
}

}  // namespace

NewProjectCheck CheckNewProject(std::u16string_view robotName, std::u16string_view folder) {
  if (robotName.size() > kNewRobotNameChars) {
    return Refused(PromptIcon::kWarning, TextId::kMsgRobotNameTooLong);
  }
  if (robotName.empty()) {
    return Refused(PromptIcon::kWarning, TextId::kMsgRobotNameEmpty);
  }
  if (robotName.find_first_of(kRefusedNameChars) != std::u16string_view::npos) {
    return Refused(PromptIcon::kError, TextId::kMsgInvalidNameChars);
  }
  if (folder.empty()) {
    return Refused(PromptIcon::kWarning, TextId::kMsgProjectFolderEmpty);
  }
  if (folder.find_first_of(kRefusedFolderChars) != std::u16string_view::npos) {
    return Refused(PromptIcon::kError, TextId::kMsgInvalidNameChars);
  }
  return {};
}

std::u16string ProposedProjectFolder(std::u16string_view chosenFolder,
                                     std::u16string_view robotName) {
  std::u16string folder(chosenFolder);
  if (folder.empty() || (folder.back() != u'\\' && folder.back() != u'/')) {
    folder += static_cast<char16_t>(fs::path::preferred_separator);
  }
  folder +=
      robotName.empty() ? LoadText(TextId::kDefaultNewRobotFolderName) : std::u16string(robotName);
  return folder;
}

CreatedProject CreateRobotProject(const fs::path& templateFolder, const fs::path& folder,
                                  std::u16string_view robotName) {
  CreatedProject result;
  FolderChanges changes;
  const auto fail = [&](int textId, const fs::path& what) {
    const bool restored = changes.TakeBack();
    result.message =
        Format(LoadText(textId), TextFromPath(what)) + u"\r\n" +
        (restored ? LoadText(TextId::kMsgProjectNotCreated)
                  : Format(LoadText(TextId::kFmtMsgProjectPartlyLeft), TextFromPath(folder)));
    return result;
  };

  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    // Every missing folder of the path is made; each is taken back on failure, deepest first.
    std::vector<fs::path> missing;
    for (fs::path p = folder; !p.empty() && !Exists(p); p = p.parent_path()) {
      missing.push_back(p);
      if (p == p.parent_path()) {
        break;
      }
    }
    if (missing.empty()) {
      return fail(TextId::kFmtMsgProjectFolderNotMade, folder);  // a file stands there
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
      if (!fs::create_directory(*it, ec)) {
        return fail(TextId::kFmtMsgProjectFolderNotMade, folder);
      }
      changes.Made(*it);
    }
  }
  if (const fs::path failed = CopyTemplate(templateFolder, folder, changes); !failed.empty()) {
    return fail(TextId::kFmtMsgTemplateCopyFailed, failed);
  }

  const fs::path templateProject = FindProjectFile(templateFolder);
  if (templateProject.empty()) {
    return fail(TextId::kFmtMsgTemplateCopyFailed, templateFolder);
  }
  // The template's own project file, not whichever comes first in a folder that had others.
  const fs::path copied = folder / templateProject.filename();
  result.projectFile = folder / PathFromText(std::u16string(robotName) + u".KJZ");
  if (copied != result.projectFile) {
    const bool existed = Exists(result.projectFile);
    fs::rename(copied, result.projectFile, ec);
    if (ec) {
      return fail(TextId::kFmtMsgNewProjectFileFailed, result.projectFile);
    }
    changes.Renamed(copied, result.projectFile, existed);
  }

  const fs::path cpuFile = folder / PathFromText(kTemplateCpuSettingsName);
  if (!ReadCpuSettingsFile(cpuFile, result.cpu, nullptr)) {
    return fail(TextId::kFmtMsgNewProjectFileFailed, cpuFile);
  }
  SetRobotName(result.cpu, robotName);
  if (!WriteCpuSettingsFile(cpuFile, result.cpu)) {
    return fail(TextId::kFmtMsgNewProjectFileFailed, cpuFile);
  }
  result.created = true;
  return result;
}

}  // namespace gestalon::core
