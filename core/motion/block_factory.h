#pragma once

#include <optional>
#include <string>

#include "motion/motion_document.h"
#include "project/base_poses.h"

namespace gestalon::core {

struct BlockPosition {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// Fills the slots and servo-enable mask of a pose from the current base pose (when its number is
// 0..35): slots of sliders the base pose enables take its values, the others are 0.
void FillFromBasePose(MotionBlock& block, const BasePoseTable& basePoses);

// Appends a block of `kind`: a copy of `source` when given, otherwise a fresh block with the base
// pose's slots and time 50. Either way interpWait is cleared, both arrow offsets are 6 and the
// position is taken from `position` when given. The kind's own defaults are not applied.
MotionBlock& CreateBlock(MotionDocument& document, BlockKind kind, const MotionBlock* source,
                         std::optional<BlockPosition> position, const BasePoseTable& basePoses);

// Appends a block of `kind` at `position` with the kind's creation defaults and caption (a pose
// gets "P <next free number>"). Not linked to anything.
MotionBlock& AddBlock(MotionDocument& document, BlockKind kind, BlockPosition position,
                      const BasePoseTable& basePoses);

// The smallest pose number that no pose caption ("P" followed by a number) uses yet.
int NextFreePoseNumber(const MotionDocument& document);
std::u16string NewPoseCaption(const MotionDocument& document);

// What laying out a new motion needs from the motion area.
struct NewMotionLayout {
  std::int32_t fontHeight = -12;   // the motion area font's height
  std::int32_t clientHeight = -1;  // the motion area's client height; -1 when unknown
};

// Replaces the document by Start -> Pose -> End; the pose block becomes current.
void NewMotion(MotionDocument& document, const BasePoseTable& basePoses,
               const NewMotionLayout& layout = {});

}  // namespace gestalon::core
