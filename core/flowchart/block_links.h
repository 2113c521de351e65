#pragma once

#include <cstdint>
#include <vector>

#include "motion/motion_document.h"

namespace gestalon::core {

// Appends copies of `sources` to `target` in the given order. Links among the sources are carried
// over to the copies; a link to any other block becomes none, so no copy ever points into another
// list. Returns the copies in the same order.
std::vector<MotionBlock*> AppendLinkedCopies(MotionDocument& target,
                                             const std::vector<const MotionBlock*>& sources);

// The value limited to the 32-bit signed range (positions computed from far-out coordinates).
std::int32_t Saturate32(std::int64_t value);

// Moves the block and its right/bottom extent by (dx, dy), saturating at the 32-bit range.
void MoveBlock(MotionBlock& block, std::int64_t dx, std::int64_t dy);

// The first Pose block reached from `from` (exclusive) along next links, or along branch links
// where a block has one when `followBranch`, within `maxSteps` steps; null when none is reached.
MotionBlock* FirstPoseAlong(MotionBlock* from, std::int64_t maxSteps, bool followBranch);

// The last Pose block in list order, or null.
MotionBlock* LastPose(const MotionDocument& document);

}  // namespace gestalon::core
