#pragma once

#include <list>

#include "motion/motion_block.h"

namespace gestalon::core {

// The open motion: its blocks in list order (creation or file order; execution follows the
// links). The document owns the blocks; a block keeps its address while it is in the list, and
// moving the document keeps every block where it is.
class MotionDocument {
 public:
  MotionDocument() = default;
  MotionDocument(MotionDocument&& other) noexcept;
  MotionDocument& operator=(MotionDocument&& other) noexcept;
  MotionDocument(const MotionDocument&) = delete;
  MotionDocument& operator=(const MotionDocument&) = delete;

  MotionBlock* head() const { return head_; }
  MotionBlock* tail() const { return tail_; }
  std::int32_t count() const { return count_; }
  bool empty() const { return count_ == 0; }

  // Appends a copy of `record` (its list links are ignored; its arrows are kept as they are).
  MotionBlock& Append(const MotionBlock& record);
  // Takes the block out of the list and frees it. Arrows of other blocks that point at it are
  // the caller's to clear first; `current` is cleared when it was this block.
  void Remove(MotionBlock* block);
  // Frees every block: empty document.
  void Clear();

  // List position of a block (0 = head), -1 when it is not in this document.
  int IndexOf(const MotionBlock* block) const;
  // The block at a list position, or null.
  MotionBlock* At(int index) const;

  // The block the pose area edits; may be null.
  MotionBlock* current = nullptr;

  // Range-for over the blocks in list order.
  class Iterator {
   public:
    explicit Iterator(MotionBlock* block) : block_(block) {}
    MotionBlock& operator*() const { return *block_; }
    MotionBlock* operator->() const { return block_; }
    Iterator& operator++() {
      block_ = block_->nextInList;
      return *this;
    }
    bool operator==(const Iterator&) const = default;

   private:
    MotionBlock* block_;
  };
  Iterator begin() const { return Iterator(head_); }
  Iterator end() const { return Iterator(nullptr); }

 private:
  std::list<MotionBlock> storage_;  // list nodes never move: block references stay valid
  MotionBlock* head_ = nullptr;
  MotionBlock* tail_ = nullptr;
  std::int32_t count_ = 0;
};

}  // namespace gestalon::core
