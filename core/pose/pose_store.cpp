#include "pose/pose_store.h"

#include <algorithm>

namespace gestalon::core {

void SetCurrentPose(EditContext& context, MotionBlock& record, std::int32_t mode) {
  context.document.current = &record;
  std::uint32_t time = record.time;
  if (mode == kSendScaledTime) {
    time = time * static_cast<std::uint32_t>(std::max(context.state.overridePercent, 0)) / 100;
  } else if (mode == kSendSliderTime) {
    time = kSliderChangeTime;
  } else if (time == 0) {
    time = 1;
  }
  context.state.lastTransitionTime =
      static_cast<std::uint16_t>(std::min<std::uint32_t>(time, 0xFFFF));
  if (mode != kSendNothing && context.handOverPose) {
    context.handOverPose(record, context.state.lastTransitionTime);
  }
}

void ClampPose(const SliderTable& sliders, MotionBlock& pose) {
  for (int k = 0; k < kSliderCount; ++k) {
    const SliderDef& slider = sliders[static_cast<std::size_t>(k)];
    std::int16_t& value = pose.slots[static_cast<std::size_t>(k)];
    if (value < slider.minimum) {
      value = slider.minimum;
    } else if (value > slider.maximum) {
      value = slider.maximum;
    }
  }
}

void StorePose(EditContext& context, const MotionBlock& pose, std::uint32_t time, bool withUndo) {
  MotionBlock* current = CurrentPose(context);
  if (!current) {
    return;
  }
  MotionBlock clamped = pose;
  ClampPose(context.project.sliders, clamped);
  current->time = clamped.time;
  current->slots = clamped.slots;
  current->servoEnableMask = clamped.servoEnableMask;
  if (time <= 0xFFFF) {
    context.state.lastTransitionTime = static_cast<std::uint16_t>(time);
  }
  if ((context.systemFlags.load() & SystemFlag::kOnline) == 0) {
    // Offline nobody follows the pose; the pose area shows the stored values.
    RepaintPane(context, Pane::kPose);
  }
  if (context.handOverPose) {
    context.handOverPose(*current, context.state.lastTransitionTime);
  }
  if (withUndo) {
    RecordUndoStep(context);
  }
}

}  // namespace gestalon::core
