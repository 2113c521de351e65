#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace gestalon::core {

// The project file: which settings files describe the robot. Names are used as written; relative
// names are resolved against `folder`.
struct RobotProject {
  std::u16string folder;  // absolute folder of the project file, ending in a separator
  std::u16string SYSINI;
  std::u16string SLDINI;
  std::u16string ROMINI;
  std::u16string DEFPOSINI;
  std::u16string DEFOFSINI;
  std::u16string MEMMAPINI;

  bool operator==(const RobotProject&) const = default;
};

inline constexpr std::u16string_view kProjectExtension = u".KJZ";

// Reads the project file at `path` (a relative path is taken against the current directory).
// `folder` becomes the file's absolute folder; each key found sets its file name (empty when the
// line has no brackets), a key not found leaves its name empty. False when the file cannot be
// opened or read (record unchanged then).
bool ReadProjectFile(const std::filesystem::path& path, RobotProject& project);

// Writes the six keys, one per line, in the order ROMINI, SYSINI, DEFPOSINI, SLDINI, DEFOFSINI,
// MEMMAPINI. False (old file kept) on failure.
bool WriteProjectFile(const std::filesystem::path& path, const RobotProject& project);

// Full path of one of the project's settings files.
std::filesystem::path ProjectFilePath(const RobotProject& project, std::u16string_view name);

// The first project file (*.KJZ, any case, in name order) in `folder`; empty when there is none.
std::filesystem::path FindProjectFile(const std::filesystem::path& folder);

// Renames the first project file (*.KJZ, any case, in name order) in `folder` to
// "<newName>.KJZ". False when there is none, the rename fails, or the name is no plain file name
// (empty, or holding a path separator) or names another file that exists there.
bool RenameProjectFile(const std::filesystem::path& folder, std::u16string_view newName);

}  // namespace gestalon::core
