#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gestalon::core {

inline constexpr int kRecentMotionSlots = 20;
inline constexpr int kRecentMotionCommandBase = 41000;  // menu command of slot i: base + i

// Motions opened or saved during this run, as paths relative to the project folder: filled slots
// first, oldest first. Not stored between runs.
struct RecentMotions {
  std::array<std::u16string, kRecentMotionSlots> slots;
};

// Records a motion. Paths that do not contain the project folder are not listed; a path already
// listed keeps its place. With all slots filled the oldest entry goes. True when the list changed.
bool AddRecentMotion(RecentMotions& recent, std::u16string_view projectFolder,
                     std::u16string_view fullPath);

// The full path of slot `slot`, or nullopt when the slot is out of range, empty, or its file is
// gone.
std::optional<std::filesystem::path> RecentMotionPath(const RecentMotions& recent,
                                                      std::u16string_view projectFolder, int slot);

struct RecentMotionMenuItem {
  int commandId;
  std::u16string text;
  bool enabled;
};

// The recent-motion submenu, newest first; a single greyed item when the list is empty.
std::vector<RecentMotionMenuItem> RecentMotionMenu(const RecentMotions& recent);

}  // namespace gestalon::core
