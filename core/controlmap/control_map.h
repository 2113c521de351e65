#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "motion/motion_block.h"

namespace gestalon::core {

inline constexpr int kControlMapCount = 4;
inline constexpr std::size_t kMapNameChars = 31;

// Board variables the control map flowchart keeps its state in (2 bytes each).
inline constexpr std::uint16_t kMapNumberAddr = 0x0FFA;
inline constexpr std::uint16_t kMotionNumberAddr = 0x0FF8;
// The controller input word that a new entry's condition tests.
inline constexpr std::uint16_t kControllerWordAddr = 0x0EE4;

// One motion assignment of a map.
struct MapEntry {
  // An If or PadIf block stating the condition (varAddr, op, constValue, useConst, varSize,
  // refAddr, refSize); its fileName is the motion to play. Its links are always null.
  MotionBlock condition;
  std::uint8_t targetMap = 0;  // 0..3: the map that becomes current after the motion
};

// Which motion the robot plays for which input, in four switchable maps.
struct ControlMap {
  struct Map {
    std::u16string name;            // tab caption, at most kMapNameChars characters
    bool used = false;              // takes part in the flowchart
    std::u16string idlingMotion;    // played when no entry matches; empty = none
    std::vector<MapEntry> entries;  // in evaluation order
  };
  std::array<Map, kControlMapCount> maps;
  std::u16string bootMotion;  // played once before the maps; empty = none
};

// Names "MAP1".."MAP4" from the string table, every map used, no entries, no motions.
ControlMap NewControlMap();

// An entry of map `map` (0..3) testing the controller word for "nothing pressed"; it stays in
// its own map.
MapEntry NewMapEntry(int map);

// Renames map `map` (0..3); a name longer than kMapNameChars is cut.
void SetMapName(ControlMap& controlMap, int map, std::u16string_view name);

// The editor's list operations on one map's entries. Rows are list positions (0 = first).

// Inserts `entry` before row `before`, or at the end when `before` is -1 or past the end.
// Returns the row it now has.
int InsertEntry(std::vector<MapEntry>& entries, const MapEntry& entry, int before);

// Removes every listed row (any order, repeats allowed); rows outside the list are ignored.
void DeleteEntries(std::vector<MapEntry>& entries, const std::vector<int>& rows);

// Moves the listed rows one place up (`step` < 0) or down (`step` > 0), keeping their order. A
// row at the edge of the list stays, and so does a listed row right behind one that stays.
// Returns the rows' new places in ascending order (rows outside the list are dropped).
std::vector<int> MoveEntries(std::vector<MapEntry>& entries, const std::vector<int>& rows,
                             int step);

}  // namespace gestalon::core
