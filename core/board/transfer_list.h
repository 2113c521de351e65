#pragma once

#include <cstdint>
#include <vector>

namespace gestalon::core {

// One range of a transfer: a board address (also the mirror index) and a number of bytes.
struct TransferRange {
  std::int32_t address = 0;
  std::int32_t length = 0;
};

// One entry of the write list or the read list. Only read entries use the tag: the transaction
// tag of the read transaction that appended them.
struct TransferEntry {
  std::uint32_t tag = 0;
  std::int32_t address = 0;
  std::int32_t length = 0;

  friend bool operator==(const TransferEntry&, const TransferEntry&) = default;
};

// Entries in the order they were appended.
using TransferList = std::vector<TransferEntry>;

enum class TransferListId { kWrite = 0, kRead = 1 };

// Coalesces entries whose ranges overlap or touch (one starts inside or right at the end of the
// other). The result is what repeatedly merging the first such pair found, scanning from the
// front, gives: each group of connected ranges becomes one entry covering them all, kept at the
// place of its earliest-appended entry with the group's lowest address (whose tag it keeps);
// surviving entries keep their order. Tags are not compared. Lengths must not be negative.
void MergeTransferList(TransferList& list);

}  // namespace gestalon::core
