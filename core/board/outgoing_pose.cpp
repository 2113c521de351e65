#include "board/outgoing_pose.h"

namespace gestalon::core {

void HandOverPose(OutgoingPoseSlot& slot, BoardLink& link, const MotionBlock& pose,
                  std::uint16_t time) {
  OutgoingPose outgoing;
  outgoing.time = time;
  outgoing.values = pose.slots;
  outgoing.servoMask = pose.servoEnableMask;
  slot.Put(outgoing);
  link.Flags().posePending.store(1);
}

}  // namespace gestalon::core
