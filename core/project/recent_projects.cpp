#include "project/recent_projects.h"

#include <algorithm>

#include "platform/paths.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

constexpr int kLineChars = 1024;
constexpr std::size_t kNameChars = 31;
constexpr std::size_t kPathChars = 259;

std::u16string Cut(std::u16string_view text, std::size_t limit) {
  return std::u16string(text.substr(0, limit));
}

}  // namespace

bool ReadRecentProjects(const std::filesystem::path& logFile, RecentProjects& log,
                        std::u16string* firstPath) {
  log = RecentProjects{};
  if (firstPath) {
    firstPath->clear();
  }
  auto file = OpenSettingsFile(logFile, "r");
  if (!file) {
    return false;
  }
  int count = 0;
  std::u16string line;
  while (count < kRecentProjectCount && ReadSettingsLine(file.get(), line, kLineChars) > 0) {
    FieldReader fields(line, u"ROBOT_LOG");
    if (!fields.KeyFound()) {
      continue;
    }
    const std::u16string name = fields.NextName(kNameChars);
    const std::u16string path = Cut(fields.NextText(), kPathChars);
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(PathFromText(path), ec)) {
      continue;
    }
    log.entries[count++] = {name, path, true};
  }
  if (!CloseSettingsFile(std::move(file))) {
    log = RecentProjects{};
    return false;
  }
  if (firstPath && log.entries[0].valid) {
    *firstPath = log.entries[0].path;
  }
  return true;
}

void RecordRecentProject(RecentProjects& log, std::u16string_view robotName,
                         std::u16string_view projectPath) {
  const std::u16string name = SettingsFieldName(robotName, kNameChars);
  auto& entries = log.entries;
  auto same = std::find_if(entries.begin(), entries.end(),
                           [&](const RecentProject& e) { return e.valid && e.robotName == name; });
  // Entries before the match (or all but the last) move down one place.
  auto end = same != entries.end() ? same : entries.end() - 1;
  std::move_backward(entries.begin(), end, end + 1);
  entries[0] = {name, Cut(projectPath, kPathChars), true};
}

bool WriteRecentProjects(const std::filesystem::path& logFile, RecentProjects& log,
                         const std::u16string* projectPath, std::u16string_view robotName) {
  if (projectPath) {
    RecordRecentProject(log, robotName, *projectPath);
  }
  auto file = OpenSettingsFile(logFile, "w");
  if (!file) {
    return false;
  }
  for (const auto& entry : log.entries) {
    if (entry.valid) {
      WriteSettingsText(file.get(),
                        Format(u"ROBOT_LOG[[%s]]-[[%s]]\n", SettingsFieldText(entry.robotName),
                               SettingsFieldText(entry.path)));
    }
  }
  return CloseSettingsFile(std::move(file));
}

}  // namespace gestalon::core
