#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace gestalon::core {

inline constexpr int kRecentProjectCount = 32;
inline constexpr int kRecentProjectMenuCount = 8;  // robots the recent-project menu shows
inline constexpr char16_t kRecentProjectLogName[] = u"kjplog.dat";

struct RecentProject {
  std::u16string robotName;  // at most 31 characters
  std::u16string path;       // project file, at most 259 characters
  bool valid = false;
};

// The recent-project log: valid entries first, most recent first, at most one per robot name.
struct RecentProjects {
  std::array<RecentProject, kRecentProjectCount> entries;
};

// Reads the log (cleared first). Entries whose project file no longer exists are dropped.
// `firstPath`, when given, receives the first entry's path (empty when there is none).
// False (the table empty) when the log cannot be opened or read.
bool ReadRecentProjects(const std::filesystem::path& logFile, RecentProjects& log,
                        std::u16string* firstPath);

// Puts (robotName, projectPath) at the front: an entry with the same robot name moves to the
// front and takes the new path; otherwise all entries move down one (the last is dropped).
void RecordRecentProject(RecentProjects& log, std::u16string_view robotName,
                         std::u16string_view projectPath);

// Records `projectPath` (when given) under `robotName`, then rewrites the whole log.
// False when the log cannot be written.
bool WriteRecentProjects(const std::filesystem::path& logFile, RecentProjects& log,
                         const std::u16string* projectPath, std::u16string_view robotName);

}  // namespace gestalon::core
