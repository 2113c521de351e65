#pragma once

#include <cstdint>

#include "pose/edit_context.h"

namespace gestalon::core {

// SetCurrentPose modes besides a transition time: the record's time scaled by the playback
// override, the single-slider time 18, and "make current without sending".
inline constexpr std::int32_t kSendScaledTime = 1;
inline constexpr std::int32_t kSendSliderTime = -1;
inline constexpr std::int32_t kSendNothing = -2;

// Makes `record` (a pose block of the document) the pose the sliders edit and sends it to the
// robot. The time sent: mode 1 the record's time x override / 100; mode -1 18; any other mode the
// record's own time (0 sent as 1). It becomes the last transition time. Mode -2 sends nothing.
// Callers pass the block's own transition time as the mode.
void SetCurrentPose(EditContext& context, MotionBlock& record, std::int32_t mode);

// The one step through which every change of the current pose passes: clamps the 128 values of
// `pose` into their sliders' ranges, copies time, values and servo mask into the current pose
// block, takes `time` as the last transition time when it is <= 0xFFFF, hands the pose to the
// online connection with the last transition time, and takes an undo snapshot when `withUndo`.
// Does nothing without a current pose.
void StorePose(EditContext& context, const MotionBlock& pose, std::uint32_t time, bool withUndo);

// Clamps every slot of `pose` into [minimum, maximum] of its slider (disabled sliders too).
void ClampPose(const SliderTable& sliders, MotionBlock& pose);

}  // namespace gestalon::core
