#pragma once

#include <array>
#include <cstdint>
#include <mutex>

#include "board/board_link.h"
#include "motion/motion_block.h"

namespace gestalon::core {

// The pose the online worker sends to the servos next: transition time, the 128 slot values and
// the servo mask of the pose block it was copied from.
struct OutgoingPose {
  std::uint16_t time = 0;
  std::array<std::int16_t, kPoseSlotCount> values{};
  std::uint64_t servoMask = 0;  // bit n: the companion of servo channel n goes out as 0
};

// The hand-off between the pose editing (user-interface thread) and the online worker. Put and
// Take copy the whole record under a lock, so the worker never sees half a pose. Whether a pose
// waits to be sent is BoardLink::Flags().posePending, set after the record is in place.
class OutgoingPoseSlot {
 public:
  void Put(const OutgoingPose& pose) {
    std::lock_guard lock(mutex_);
    pose_ = pose;
  }
  OutgoingPose Take() const {
    std::lock_guard lock(mutex_);
    return pose_;
  }

 private:
  mutable std::mutex mutex_;
  OutgoingPose pose_;
};

// Copies the slot values and the servo mask of `pose` with transition time `time` into the slot,
// then marks the pose pending. Any thread.
void HandOverPose(OutgoingPoseSlot& slot, BoardLink& link, const MotionBlock& pose,
                  std::uint16_t time);

}  // namespace gestalon::core
