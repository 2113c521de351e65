#include "undo/undo_history.h"

#include <algorithm>
#include <tuple>

#include "flowchart/current_block.h"

namespace gestalon::core {
namespace {

// Every field of a block but its list and arrow references and the snapshot indexes: two blocks
// with equal fields here and arrows to the same list positions are the same record. A field added
// to MotionBlock must be added here too, or undo would share a block whose field changed.
auto ContentOf(const MotionBlock& b) {
  return std::tie(b.name, b.label, b.time, b.slots, b.servoEnableMask, b.poseConst, b.interpWait,
                  b.selFlags, b.xpos, b.ypos, b.rect, b.bluearrow, b.redarrow, b.type, b.varAddr,
                  b.refAddr, b.op, b.constValue, b.useConst, b.varSize, b.refSize, b.fileName,
                  b.fileFound, b.noFile, b.asJump, b.fileAddr, b.comment, b.fileStart, b.fileEnd);
}

}  // namespace

UndoSnapshot UndoHistory::TakeSnapshot() {
  const MotionDocument& document = context_.document;
  const std::uint32_t stamp = ++stamp_;
  UndoSnapshot snapshot;
  std::vector<Tracked*> order;
  order.reserve(static_cast<std::size_t>(document.count()));
  for (const MotionBlock& block : document) {
    Tracked& tracked = tracked_[&block];
    tracked.index = static_cast<std::int32_t>(order.size());
    tracked.stamp = stamp;
    if (&block == document.current) {
      snapshot.currentIndex = tracked.index;
    }
    order.push_back(&tracked);
  }
  snapshot.count = static_cast<std::int32_t>(order.size());
  if (tracked_.size() > order.size()) {
    std::erase_if(tracked_, [stamp](const auto& entry) { return entry.second.stamp != stamp; });
  }
  const auto positionOf = [this, stamp](const MotionBlock* target) {
    const auto found = target ? tracked_.find(target) : tracked_.end();
    return found == tracked_.end() || found->second.stamp != stamp ? -1 : found->second.index;
  };

  // The snapshot the motion matched so far, to share whole unchanged chunks with it.
  const UndoSnapshot* previous =
      cursor_ >= 0 ? &snapshots_[static_cast<std::size_t>(cursor_)] : nullptr;
  UndoChunk chunk;
  bool chunkShared = true;  // no block of `chunk` got a new copy
  const auto closeChunk = [&] {
    const std::size_t chunkIndex = snapshot.chunks.size();
    if (chunkShared && previous && chunkIndex < previous->chunks.size() &&
        *previous->chunks[chunkIndex] == chunk) {
      snapshot.chunks.push_back(previous->chunks[chunkIndex]);
    } else {
      snapshot.chunks.push_back(std::make_shared<const UndoChunk>(std::move(chunk)));
    }
    chunk = {};
    chunkShared = true;
  };

  std::size_t position = 0;
  for (const MotionBlock& block : document) {
    Tracked& tracked = *order[position++];
    const std::int32_t nextIndex = positionOf(block.next);
    const std::int32_t branchIndex = positionOf(block.branch);
    const UndoBlock* old = tracked.copy.get();
    if (!old || old->nextIndex != nextIndex || old->branchIndex != branchIndex ||
        ContentOf(old->block) != ContentOf(block)) {
      auto fresh = std::make_shared<UndoBlock>();
      fresh->block = block;
      fresh->block.prev = fresh->block.nextInList = nullptr;
      fresh->block.next = fresh->block.branch = nullptr;
      fresh->nextIndex = nextIndex;
      fresh->branchIndex = branchIndex;
      tracked.copy = std::move(fresh);
      chunkShared = false;
    }
    chunk.push_back(tracked.copy);
    if (chunk.size() == kUndoChunkBlocks) {
      closeChunk();
    }
  }
  if (!chunk.empty()) {
    closeChunk();
  }
  return snapshot;
}

void UndoHistory::Restore(const UndoSnapshot& snapshot) {
  MotionDocument& document = context_.document;
  document.Clear();
  std::vector<MotionBlock*> blocks;
  blocks.reserve(static_cast<std::size_t>(snapshot.count));
  std::vector<const UndoBlock*> records;
  records.reserve(blocks.capacity());
  tracked_.clear();
  for (const auto& chunk : snapshot.chunks) {
    for (const auto& record : *chunk) {
      MotionBlock& block = document.Append(record->block);
      block.next = block.branch = nullptr;
      blocks.push_back(&block);
      records.push_back(record.get());
      tracked_[&block].copy = record;
    }
  }
  const auto blockAt = [&blocks](std::int32_t index) {
    return index >= 0 && static_cast<std::size_t>(index) < blocks.size()
               ? blocks[static_cast<std::size_t>(index)]
               : nullptr;
  };
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    blocks[i]->next = blockAt(records[i]->nextIndex);
    blocks[i]->branch = blockAt(records[i]->branchIndex);
  }

  // The block that was current becomes current again; should that position not hold a pose
  // block, the first pose block does, so the pose area never edits a block that is gone.
  MotionBlock* current = blockAt(std::min(snapshot.currentIndex, snapshot.count - 1));
  if (!current || !current->Is(BlockKind::Pose)) {
    current = nullptr;
    for (MotionBlock& block : document) {
      if (block.Is(BlockKind::Pose)) {
        current = &block;
        break;
      }
    }
  }
  if (current) {
    MakeBlockCurrent(context_, *current);
  }
  RepaintPane(context_, Pane::kPose);
  RelayoutPane(context_, Pane::kMotion);
  UpdateUndoMenu();
}

void UndoHistory::ResetUndoHistory() {
  snapshots_.clear();
  cursor_ = -1;
  tracked_.clear();
  snapshots_.push_back(TakeSnapshot());
  cursor_ = 0;
  context_.systemFlags.fetch_and(~SystemFlag::kModified);
  if (context_.views) {
    context_.views->RefreshMenuChecks();
  }
  UpdateUndoMenu();
}

void UndoHistory::RecordUndo() {
  UndoSnapshot snapshot = TakeSnapshot();
  snapshots_.resize(static_cast<std::size_t>(cursor_ + 1));
  snapshots_.push_back(std::move(snapshot));
  cursor_ = Count() - 1;
  MarkModified(context_);
  UpdateUndoMenu();
}

void UndoHistory::Undo() {
  if (!CanUndo()) {
    return;
  }
  --cursor_;
  Restore(snapshots_[static_cast<std::size_t>(cursor_)]);
}

void UndoHistory::Redo() {
  if (!CanRedo()) {
    return;
  }
  ++cursor_;
  Restore(snapshots_[static_cast<std::size_t>(cursor_)]);
}

void UndoHistory::UpdateUndoMenu() {
  if (snapshots_.empty() || !context_.views) {
    return;
  }
  context_.views->SetUndoState(CanUndo(), CanRedo());
}

}  // namespace gestalon::core
