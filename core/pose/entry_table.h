#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace gestalon::core {

// Operations shared by the base pose and offset tables: a fixed array `entries` whose registered
// entries (`registered`, `name`) are contiguous from entry 0, edited in a dialog's list where
// item i is entry i.

template <typename Table>
bool IsRegisteredEntry(const Table& table, std::int32_t n) {
  return n >= 0 && static_cast<std::size_t>(n) < table.entries.size() &&
         table.entries[static_cast<std::size_t>(n)].registered;
}

// Index of the first unregistered entry; the table size when the table is full.
template <typename Table>
std::int32_t FirstFreeEntry(const Table& table) {
  std::int32_t n = 0;
  while (IsRegisteredEntry(table, n)) {
    ++n;
  }
  return n;
}

template <typename Table>
std::vector<std::u16string> RegisteredNames(const Table& table) {
  std::vector<std::u16string> names;
  for (const auto& entry : table.entries) {
    if (entry.registered) {
      names.push_back(entry.name);
    }
  }
  return names;
}

// Makes room for a new entry at the focused list item (-1 none, or a focus beyond the registered
// entries: after the last one) by moving the entries from there one place down, and returns the
// freed entry reset to its empty state. The table must not be full, so the dropped last entry
// is an unregistered one.
template <typename Table>
auto& InsertEntry(Table& table, std::int32_t focusedIndex) {
  const std::int32_t firstFree = FirstFreeEntry(table);
  const std::size_t n = static_cast<std::size_t>(
      focusedIndex >= 0 && focusedIndex < firstFree ? focusedIndex : firstFree);
  for (std::size_t i = table.entries.size() - 1; i > n; --i) {
    table.entries[i] = std::move(table.entries[i - 1]);
  }
  auto& entry = table.entries[n];
  entry = {};
  return entry;
}

// Removes the registered entries listed in `indexes` (any order, repeats allowed); the entries
// behind move up in order and the freed places at the end become empty. Returns the number
// removed.
template <typename Table>
int RemoveEntries(Table& table, const std::vector<std::int32_t>& indexes) {
  std::vector<bool> remove(table.entries.size(), false);
  for (const std::int32_t n : indexes) {
    if (IsRegisteredEntry(table, n)) {
      remove[static_cast<std::size_t>(n)] = true;
    }
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < table.entries.size(); ++i) {
    if (!remove[i]) {
      if (kept != i) {
        table.entries[kept] = std::move(table.entries[i]);
      }
      ++kept;
    }
  }
  const int removed = static_cast<int>(table.entries.size() - kept);
  for (std::size_t i = kept; i < table.entries.size(); ++i) {
    table.entries[i] = {};
  }
  return removed;
}

}  // namespace gestalon::core
