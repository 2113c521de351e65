#include "project/robot_project.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/paths.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

constexpr int kLineChars = 1024;

struct ProjectKey {
  std::u16string_view key;
  std::u16string RobotProject::*field;
};

// Also the order in which the writer puts them.
constexpr std::array<ProjectKey, 6> kKeys = {{
    {u"ROMINI:", &RobotProject::ROMINI},
    {u"SYSINI:", &RobotProject::SYSINI},
    {u"DEFPOSINI:", &RobotProject::DEFPOSINI},
    {u"SLDINI:", &RobotProject::SLDINI},
    {u"DEFOFSINI:", &RobotProject::DEFOFSINI},
    {u"MEMMAPINI:", &RobotProject::MEMMAPINI},
}};

bool IsProjectFileName(const std::filesystem::path& path) {
  std::u16string extension = TextFromPath(path.extension());
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; });
  return extension == kProjectExtension;
}

}  // namespace

bool ReadProjectFile(const std::filesystem::path& path, RobotProject& project) {
  auto file = OpenSettingsFile(path, "r");
  if (!file) {
    return false;
  }
  // A project is what its own file names: a key the file lacks names no file, whatever project
  // was read before.
  RobotProject read;
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::absolute(path, ec).parent_path();
  read.folder = TextFromPath(folder / "");
  std::u16string line;
  while (ReadSettingsLine(file.get(), line, kLineChars) > 0) {
    for (const auto& [key, field] : kKeys) {
      if (FieldReader fields(line, key); fields.KeyFound()) {
        read.*field = std::u16string(fields.NextText());
      }
    }
  }
  if (!CloseSettingsFile(std::move(file))) {
    return false;
  }
  project = std::move(read);
  return true;
}

bool WriteProjectFile(const std::filesystem::path& path, const RobotProject& project) {
  auto file = OpenSettingsFile(path, "w");
  if (!file) {
    return false;
  }
  for (const auto& [key, field] : kKeys) {
    WriteSettingsText(file.get(), Format(u"%s[[%s]]\n", key, SettingsFieldText(project.*field)));
  }
  return CloseSettingsFile(std::move(file));
}

std::filesystem::path ProjectFilePath(const RobotProject& project, std::u16string_view name) {
  return ResolveInFolder(PathFromText(project.folder), name);
}

std::filesystem::path FindProjectFile(const std::filesystem::path& folder) {
  std::error_code ec;
  std::vector<std::filesystem::path> candidates;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec) && IsProjectFileName(entry.path())) {
      candidates.push_back(entry.path());
    }
  }
  return candidates.empty() ? std::filesystem::path()
                            : *std::min_element(candidates.begin(), candidates.end());
}

bool RenameProjectFile(const std::filesystem::path& folder, std::u16string_view newName) {
  const std::filesystem::path found = FindProjectFile(folder);
  if (found.empty()) {
    return false;
  }
  // The name is a robot's, typed by the user: it must name a file of this folder, and must not
  // take the place of another file there.
  if (newName.empty() || newName.find_first_of(u"/\\") != std::u16string_view::npos ||
      newName == u"." || newName == u"..") {
    return false;
  }
  std::error_code ec;
  const std::filesystem::path target = folder / PathFromText(std::u16string(newName) + u".KJZ");
  if (std::filesystem::exists(target, ec) && !std::filesystem::equivalent(target, found, ec)) {
    return false;
  }
  std::filesystem::rename(found, target, ec);
  return !ec;
}

}  // namespace gestalon::core
