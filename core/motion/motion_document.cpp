#include "motion/motion_document.h"

#include <utility>

namespace gestalon::core {

MotionDocument::MotionDocument(MotionDocument&& other) noexcept {
  *this = std::move(other);
}

MotionDocument& MotionDocument::operator=(MotionDocument&& other) noexcept {
  if (this != &other) {
    storage_ = std::move(other.storage_);
    head_ = std::exchange(other.head_, nullptr);
    tail_ = std::exchange(other.tail_, nullptr);
    count_ = std::exchange(other.count_, 0);
    current = std::exchange(other.current, nullptr);
  }
  return *this;
}

MotionBlock& MotionDocument::Append(const MotionBlock& record) {
  MotionBlock& block = storage_.emplace_back(record);
  block.prev = tail_;
  block.nextInList = nullptr;
  if (tail_) {
    tail_->nextInList = &block;
  } else {
    head_ = &block;
  }
  tail_ = &block;
  ++count_;
  return block;
}

void MotionDocument::Remove(MotionBlock* block) {
  for (auto it = storage_.begin(); it != storage_.end(); ++it) {
    if (&*it != block) {
      continue;
    }
    (block->prev ? block->prev->nextInList : head_) = block->nextInList;
    (block->nextInList ? block->nextInList->prev : tail_) = block->prev;
    if (current == block) {
      current = nullptr;
    }
    --count_;
    storage_.erase(it);
    return;
  }
}

void MotionDocument::Clear() {
  storage_.clear();
  head_ = tail_ = current = nullptr;
  count_ = 0;
}

int MotionDocument::IndexOf(const MotionBlock* block) const {
  int index = 0;
  for (const MotionBlock& b : *this) {
    if (&b == block) {
      return index;
    }
    ++index;
  }
  return -1;
}

MotionBlock* MotionDocument::At(int index) const {
  if (index < 0) {
    return nullptr;
  }
  MotionBlock* block = head_;
  while (block && index-- > 0) {
    block = block->nextInList;
  }
  return block;
}

}  // namespace gestalon::core
