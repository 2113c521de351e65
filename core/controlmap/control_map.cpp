#include "controlmap/control_map.h"

#include <algorithm>
#include <utility>

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/truncate.h"

namespace gestalon::core {
namespace {

// The listed rows as one flag per row; rows outside the list are dropped.
std::vector<bool> RowFlags(std::size_t count, const std::vector<int>& rows) {
  std::vector<bool> flags(count, false);
  for (const int row : rows) {
    if (row >= 0 && static_cast<std::size_t>(row) < count) {
      flags[static_cast<std::size_t>(row)] = true;
    }
  }
  return flags;
}

}  // namespace

ControlMap NewControlMap() {
  constexpr std::array<int, kControlMapCount> kNames = {
      TextId::kDefaultMapName1, TextId::kDefaultMapName2, TextId::kDefaultMapName3,
      TextId::kDefaultMapName4};
  ControlMap controlMap;
  for (int m = 0; m < kControlMapCount; ++m) {
    controlMap.maps[m].name = TruncateText(LoadText(kNames[m]), kMapNameChars);
    controlMap.maps[m].used = true;
  }
  return controlMap;
}

MapEntry NewMapEntry(int map) {
  MapEntry entry;
  MotionBlock& c = entry.condition;
  c.type = static_cast<std::int32_t>(BlockKind::PadIf);
  c.varAddr = kControllerWordAddr;
  c.refAddr = 0x0F00;
  c.op = BranchOp::kEqual;
  c.useConst = 1;
  c.varSize = c.refSize = 2;
  entry.targetMap = static_cast<std::uint8_t>(map);
  return entry;
}

void SetMapName(ControlMap& controlMap, int map, std::u16string_view name) {
  controlMap.maps.at(static_cast<std::size_t>(map)).name = TruncateText(name, kMapNameChars);
}

int InsertEntry(std::vector<MapEntry>& entries, const MapEntry& entry, int before) {
  const std::size_t at =
      before < 0 ? entries.size() : std::min(static_cast<std::size_t>(before), entries.size());
  entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), entry);
  return static_cast<int>(at);
}

void DeleteEntries(std::vector<MapEntry>& entries, const std::vector<int>& rows) {
  const std::vector<bool> doomed = RowFlags(entries.size(), rows);
  std::vector<MapEntry> kept;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!doomed[i]) {
      kept.push_back(std::move(entries[i]));
    }
  }
  entries = std::move(kept);
}

std::vector<int> MoveEntries(std::vector<MapEntry>& entries, const std::vector<int>& rows,
                             int step) {
  std::vector<bool> moving = RowFlags(entries.size(), rows);
  const int count = static_cast<int>(entries.size());
  // A listed row takes the place of an unlisted neighbour; walking from the edge the rows move
  // towards, a listed neighbour there has already stayed put, so this row stays too.
  const auto moveInto = [&](int from, int to) {
    if (moving[from] && !moving[to]) {
      std::swap(entries[from], entries[to]);
      moving[from] = false;
      moving[to] = true;
    }
  };
  if (step > 0) {
    for (int i = count - 2; i >= 0; --i) {
      moveInto(i, i + 1);
    }
  } else if (step < 0) {
    for (int i = 1; i < count; ++i) {
      moveInto(i, i - 1);
    }
  }
  std::vector<int> placed;
  for (int i = 0; i < count; ++i) {
    if (moving[i]) {
      placed.push_back(i);
    }
  }
  return placed;
}

}  // namespace gestalon::core
