#include "board/transfer_list.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <utility>

namespace gestalon::core {

// Merging pairs one at a time and starting over costs a cube of the list size; the status poll's
// second read has several hundred entries every cycle, so the same result is reached by a sort.
// Every merge joins two ranges of one connected group and the pairwise merging ends only when no
// two ranges touch, so each group ends as one range. The entry that absorbs another never has the
// higher address, and of two at the group's lowest address the earlier one is always met first.
void MergeTransferList(TransferList& list) {
  if (list.size() < 2) {
    return;
  }
  std::vector<std::size_t> order(list.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return list[a].address < list[b].address; });

  std::vector<bool> survives(list.size(), false);
  std::size_t group = order[0];
  std::int64_t groupEnd = static_cast<std::int64_t>(list[group].address) + list[group].length;
  survives[group] = true;
  for (std::size_t k = 1; k < order.size(); ++k) {
    const TransferEntry& entry = list[order[k]];
    const std::int64_t end = static_cast<std::int64_t>(entry.address) + entry.length;
    if (entry.address <= groupEnd) {
      groupEnd = std::max(groupEnd, end);
      list[group].length = static_cast<std::int32_t>(groupEnd - list[group].address);
    } else {
      group = order[k];
      groupEnd = end;
      survives[group] = true;
    }
  }

  TransferList merged;
  merged.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (survives[i]) {
      merged.push_back(list[i]);
    }
  }
  list = std::move(merged);
}

}  // namespace gestalon::core
