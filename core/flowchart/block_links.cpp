#include "flowchart/block_links.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace gestalon::core {
std::int32_t Saturate32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::vector<MotionBlock*> AppendLinkedCopies(MotionDocument& target,
                                             const std::vector<const MotionBlock*>& sources) {
  std::unordered_map<const MotionBlock*, MotionBlock*> copyOf;
  std::vector<MotionBlock*> copies;
  copies.reserve(sources.size());
  for (const MotionBlock* source : sources) {
    MotionBlock& copy = target.Append(*source);
    copyOf.emplace(source, &copy);
    copies.push_back(&copy);
  }
  const auto translate = [&copyOf](MotionBlock* link) -> MotionBlock* {
    const auto found = copyOf.find(link);
    return found == copyOf.end() ? nullptr : found->second;
  };
  for (MotionBlock* copy : copies) {
    copy->next = translate(copy->next);
    copy->branch = translate(copy->branch);
  }
  return copies;
}

void MoveBlock(MotionBlock& block, std::int64_t dx, std::int64_t dy) {
  block.xpos = Saturate32(block.xpos + dx);
  block.ypos = Saturate32(block.ypos + dy);
  block.rect[0] = Saturate32(block.rect[0] + dx);
  block.rect[1] = Saturate32(block.rect[1] + dy);
}

MotionBlock* FirstPoseAlong(MotionBlock* from, std::int64_t maxSteps, bool followBranch) {
  for (std::int64_t step = 0; from && step < maxSteps; ++step) {
    from = followBranch && from->branch ? from->branch : from->next;
    if (from && from->Is(BlockKind::Pose)) {
      return from;
    }
  }
  return nullptr;
}

MotionBlock* LastPose(const MotionDocument& document) {
  for (MotionBlock* block = document.tail(); block; block = block->prev) {
    if (block->Is(BlockKind::Pose)) {
      return block;
    }
  }
  return nullptr;
}

}  // namespace gestalon::core
