#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "motion/motion_block.h"
#include "pose/edit_context.h"

namespace gestalon::core {

// One block of a snapshot: the whole record (its list and link references cleared) and the list
// positions of its arrow targets, -1 for none.
struct UndoBlock {
  MotionBlock block;
  std::int32_t nextIndex = -1;
  std::int32_t branchIndex = -1;
};

// The motion as it was after one recorded step. Blocks that did not change between two steps are
// shared by their snapshots (they are immutable once recorded), in chunks of kUndoChunkBlocks so
// that an unchanged run of blocks costs one reference.
inline constexpr std::size_t kUndoChunkBlocks = 64;
using UndoChunk = std::vector<std::shared_ptr<const UndoBlock>>;
struct UndoSnapshot {
  std::int32_t count = 0;
  std::int32_t currentIndex = 0;  // list position of the current block; 0 when there was none
  std::vector<std::shared_ptr<const UndoChunk>> chunks;
};

// The undo history of the open motion: snapshots from the last reset on, with a cursor on the one
// the motion matches. No depth limit. User-interface thread only.
class UndoHistory : public UndoRecorder {
 public:
  // `context` must outlive the history; the history does not register itself as its recorder.
  explicit UndoHistory(EditContext& context) : context_(context) {}

  // Discards every snapshot and records the current motion as the only one; clears the modified
  // bit. After a new motion, an opened motion file and a project load.
  void ResetUndoHistory();
  // Records the motion after a change: drops the snapshots newer than the cursor, appends, sets
  // the modified bit (the title gets " *" once).
  void RecordUndo() override;
  // Replace the motion by the previous / next snapshot; the block that was current then becomes
  // current again. The modified bit is left as it is. Nothing happens at either end.
  void Undo();
  void Redo();
  // Sends the Undo / Redo availability to the menu and toolbar (nothing with an empty history).
  void UpdateUndoMenu();

  bool CanUndo() const { return cursor_ > 0; }
  bool CanRedo() const { return cursor_ >= 0 && cursor_ + 1 < Count(); }
  int Count() const { return static_cast<int>(snapshots_.size()); }
  int Cursor() const { return cursor_; }
  const UndoSnapshot& Snapshot(int index) const {
    return snapshots_.at(static_cast<std::size_t>(index));
  }

 private:
  UndoSnapshot TakeSnapshot();
  void Restore(const UndoSnapshot& snapshot);

  EditContext& context_;
  std::vector<UndoSnapshot> snapshots_;  // oldest first
  int cursor_ = -1;                      // -1 only while the history is empty
  // Every block of the motion (by address) with its recorded copy in the snapshot at the cursor
  // and its list position as of the last snapshot (valid when `stamp` is the current one), so
  // that a new snapshot shares the copies of the blocks that did not change.
  struct Tracked {
    std::shared_ptr<const UndoBlock> copy;
    std::int32_t index = -1;
    std::uint32_t stamp = 0;
  };
  std::unordered_map<const MotionBlock*, Tracked> tracked_;
  std::uint32_t stamp_ = 0;
};

}  // namespace gestalon::core
