#include "motion/recent_motions.h"

#include <algorithm>

#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {

bool AddRecentMotion(RecentMotions& recent, std::u16string_view projectFolder,
                     std::u16string_view fullPath) {
  const std::size_t at =
      projectFolder.empty() ? std::u16string_view::npos : fullPath.find(projectFolder);
  if (at == std::u16string_view::npos) {
    return false;
  }
  const std::u16string relative(fullPath.substr(at + projectFolder.size()));
  for (auto& slot : recent.slots) {
    if (slot == relative) {
      return false;
    }
    if (slot.empty()) {
      slot = relative;
      return true;
    }
  }
  std::rotate(recent.slots.begin(), recent.slots.begin() + 1, recent.slots.end());
  recent.slots.back() = relative;
  return true;
}

std::optional<std::filesystem::path> RecentMotionPath(const RecentMotions& recent,
                                                      std::u16string_view projectFolder, int slot) {
  if (slot < 0 || slot >= kRecentMotionSlots || recent.slots[slot].empty()) {
    return std::nullopt;
  }
  const std::filesystem::path path =
      PathFromText(std::u16string(projectFolder) + recent.slots[slot]);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return std::nullopt;
  }
  return path;
}

std::vector<RecentMotionMenuItem> RecentMotionMenu(const RecentMotions& recent) {
  std::vector<RecentMotionMenuItem> items;
  for (int slot = kRecentMotionSlots - 1; slot >= 0; --slot) {
    if (!recent.slots[slot].empty()) {
      items.push_back({kRecentMotionCommandBase + slot, recent.slots[slot], true});
    }
  }
  if (items.empty()) {
    items.push_back({kRecentMotionCommandBase, LoadText(TextId::kMenuNoRecentMotions), false});
  }
  return items;
}

}  // namespace gestalon::core
