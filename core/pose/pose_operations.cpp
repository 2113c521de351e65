#include "pose/pose_operations.h"

#include <algorithm>
#include <bitset>
#include <cstdlib>
#include <limits>
#include <utility>

#include "pose/pose_store.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

using SliderSet = std::bitset<kSliderCount>;

constexpr std::int32_t kPairCentre = 1;
constexpr std::int32_t kPairRight = 2;
constexpr std::int32_t kPairLeft = 3;
constexpr int kServoChannelCount = 64;
// Robot readings at or beyond this magnitude mean "no reading" and are not captured.
constexpr int kReadingLimit = 32000;

const SliderDef& Slider(const LoadedProject& project, int index) {
  return project.sliders[static_cast<std::size_t>(index)];
}

std::int16_t& Slot(MotionBlock& pose, int index) {
  return pose.slots[static_cast<std::size_t>(index)];
}

std::int16_t Saturate(std::int32_t value) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(
      value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

// -32768 has no positive counterpart in 16 bits: it becomes 32767.
std::int16_t Negate(std::int16_t value) {
  return Saturate(-static_cast<std::int32_t>(value));
}

bool DrivesServo(const SliderDef& slider) {
  return (slider.flags2 & SliderFlag2::kServoChannel) != 0;
}

bool SameSignInversion(const SliderDef& a, const SliderDef& b) {
  return (a.flags2 & SliderFlag2::kSignInverted) == (b.flags2 & SliderFlag2::kSignInverted);
}

// The companion slider of a servo-channel slider, -1 when it has none. A channel without a
// companion leaves the link at its default, so the link counts only when it names a companion
// slider of the same channel.
int CompanionOf(const SliderTable& sliders, const SliderDef& slider) {
  if (!DrivesServo(slider) || !IsSliderIndex(slider.companion)) {
    return -1;
  }
  const SliderDef& companion = sliders[static_cast<std::size_t>(slider.companion)];
  const bool linked =
      (companion.flags2 & SliderFlag2::kServoCompanion) != 0 && companion.channel == slider.channel;
  return linked ? slider.companion : -1;
}

// The partner of a right/left slider, -1 when it is not paired.
int PartnerOf(const SliderDef& slider) {
  const bool paired = slider.pairMode == kPairRight || slider.pairMode == kPairLeft;
  return paired && IsSliderIndex(slider.partner) ? slider.partner : -1;
}

// The slider's bit in a servo-enable mask; 0 when its channel number is out of range.
std::uint64_t ChannelBit(const SliderDef& slider) {
  return slider.channel >= 0 && slider.channel < kServoChannelCount
             ? std::uint64_t{1} << slider.channel
             : 0;
}

void SetMaskBit(std::uint64_t& mask, std::uint64_t bit, bool on) {
  mask = on ? mask | bit : mask & ~bit;
}

SliderSet SelectedSliders(const SliderTable& sliders) {
  SliderSet set;
  for (int k = 0; k < kSliderCount; ++k) {
    set[static_cast<std::size_t>(k)] = SliderSelected(sliders[static_cast<std::size_t>(k)]);
  }
  return set;
}

bool OptionSet(const EditContext& context, std::uint32_t flag) {
  return (context.systemFlags.load() & flag) != 0;
}

// Swaps the servo-enable bits of two sliders' channels.
void SwapChannelBits(std::uint64_t& mask, const SliderDef& a, const SliderDef& b) {
  const std::uint64_t bitA = ChannelBit(a);
  const std::uint64_t bitB = ChannelBit(b);
  const bool onA = (mask & bitA) != 0;
  const bool onB = (mask & bitB) != 0;
  SetMaskBit(mask, bitA, onB);
  SetMaskBit(mask, bitB, onA);
}

void MirrorPair(const LoadedProject& project, MotionBlock& pose, int k, int p) {
  const SliderDef& sk = Slider(project, k);
  const SliderDef& sp = Slider(project, p);
  std::swap(Slot(pose, k), Slot(pose, p));
  if (DrivesServo(sk) && DrivesServo(sp)) {
    const int ck = CompanionOf(project.sliders, sk);
    const int cp = CompanionOf(project.sliders, sp);
    if (ck >= 0 && cp >= 0) {
      std::swap(Slot(pose, ck), Slot(pose, cp));
    }
    SwapChannelBits(pose.servoEnableMask, sk, sp);
  }
  if (SameSignInversion(sk, sp)) {
    Slot(pose, k) = Negate(Slot(pose, k));
    Slot(pose, p) = Negate(Slot(pose, p));
  }
}

}  // namespace

int CompanionSlider(const SliderTable& sliders, int k) {
  return IsSliderIndex(k) ? CompanionOf(sliders, sliders[static_cast<std::size_t>(k)]) : -1;
}

bool SliderSelected(const SliderDef& slider) {
  return (slider.flags1 & SliderFlag1::kSelected) != 0;
}

bool SliderEnabled(const SliderDef& slider) {
  return (slider.flags2 & SliderFlag2::kDisabled) == 0;
}

bool AnyEnabledSliderSelected(const SliderTable& sliders) {
  return std::any_of(sliders.begin(), sliders.end(), [](const SliderDef& slider) {
    return SliderSelected(slider) && SliderEnabled(slider);
  });
}

const BasePose* CurrentBasePose(const LoadedProject& project) {
  const std::int32_t current = project.basePoses.current;
  if (current < 0 || current >= kBasePoseCount) {
    return nullptr;
  }
  const BasePose& base = project.basePoses.entries[static_cast<std::size_t>(current)];
  return base.registered ? &base : nullptr;
}

bool IsBaseRelative(const LoadedProject& project, int slider) {
  if (!IsSliderIndex(slider) || (Slider(project, slider).flags2 & SliderFlag2::kAbsolute) != 0) {
    return false;
  }
  const BasePose* base = CurrentBasePose(project);
  return base && base->axisEnable[static_cast<std::size_t>(slider)];
}

std::int16_t BaseValue(const LoadedProject& project, int slider) {
  const BasePose* base = CurrentBasePose(project);
  return base && IsSliderIndex(slider) ? base->values[static_cast<std::size_t>(slider)] : 0;
}

std::int32_t SnapValue(const LoadedProject& project, int slider, std::int32_t value,
                       std::int32_t unit) {
  if (unit == 0) {
    unit = 1;
  }
  const std::int32_t origin = IsBaseRelative(project, slider) ? BaseValue(project, slider) : 0;
  return (value - origin) / unit * unit + origin;
}

std::int16_t ClampValue(const SliderDef& slider, std::int32_t value) {
  if (value < slider.minimum) {
    return slider.minimum;
  }
  if (value > slider.maximum) {
    return slider.maximum;
  }
  return static_cast<std::int16_t>(value);
}

void CopyJointValues(EditContext& context) {
  const MotionBlock* current = CurrentPose(context);
  if (!current) {
    return;
  }
  const SliderTable& sliders = context.project.sliders;
  PoseClipboard& clipboard = context.state.poseClipboard;
  clipboard.pose = *current;
  clipboard.pose.prev = clipboard.pose.nextInList = nullptr;
  clipboard.pose.next = clipboard.pose.branch = nullptr;
  clipboard.copyMask.reset();
  for (int k = 0; k < kSliderCount; ++k) {
    const SliderDef& slider = sliders[static_cast<std::size_t>(k)];
    clipboard.copyMask[static_cast<std::size_t>(k)] =
        SliderSelected(slider) && SliderEnabled(slider);
  }
  if (clipboard.copyMask.none()) {
    clipboard.copyMask.set();
  }
}

void PasteJointValues(EditContext& context) {
  const MotionBlock* current = CurrentPose(context);
  if (!current) {
    return;
  }
  const SliderTable& sliders = context.project.sliders;
  const PoseClipboard& clipboard = context.state.poseClipboard;
  SliderSet mask = clipboard.copyMask;
  if (AnyEnabledSliderSelected(sliders)) {
    for (int k = 0; k < kSliderCount; ++k) {
      const SliderDef& slider = sliders[static_cast<std::size_t>(k)];
      if (!SliderSelected(slider) || !SliderEnabled(slider)) {
        mask.reset(static_cast<std::size_t>(k));
      }
    }
  }
  MotionBlock pose = *current;
  for (int k = 0; k < kSliderCount; ++k) {
    if (!mask[static_cast<std::size_t>(k)]) {
      continue;
    }
    const SliderDef& slider = sliders[static_cast<std::size_t>(k)];
    Slot(pose, k) = clipboard.pose.slots[static_cast<std::size_t>(k)];
    if (DrivesServo(slider)) {
      const std::uint64_t bit = ChannelBit(slider);
      SetMaskBit(pose.servoEnableMask, bit, (clipboard.pose.servoEnableMask & bit) != 0);
      if (const int companion = CompanionOf(sliders, slider); companion >= 0) {
        Slot(pose, companion) = clipboard.pose.slots[static_cast<std::size_t>(companion)];
      }
    }
  }
  StorePose(context, pose, kPoseCommandTime, true);
  RepaintPane(context, Pane::kPose);
}

void CopyHalf(EditContext& context, bool leftToRight) {
  const MotionBlock* current = CurrentPose(context);
  if (!current) {
    return;
  }
  const LoadedProject& project = context.project;
  const SliderSet selected = SelectedSliders(project.sliders);
  SliderSet work;
  for (int k = 0; k < kSliderCount; ++k) {
    const int partner = PartnerOf(Slider(project, k));
    work[static_cast<std::size_t>(k)] =
        selected[static_cast<std::size_t>(k)] ||
        (partner >= 0 && selected[static_cast<std::size_t>(partner)]);
  }
  if (work.none()) {
    work.set();
  }
  const std::int32_t destinationMode = leftToRight ? kPairRight : kPairLeft;
  MotionBlock pose = *current;
  SliderSet done;
  for (int k = 0; k < kSliderCount; ++k) {
    const SliderDef& destination = Slider(project, k);
    const int p = PartnerOf(destination);
    if (!work[static_cast<std::size_t>(k)] || done[static_cast<std::size_t>(k)] ||
        !SliderEnabled(destination) || destination.pairMode != destinationMode || p < 0) {
      continue;
    }
    const SliderDef& source = Slider(project, p);
    const std::int16_t value = current->slots[static_cast<std::size_t>(p)];
    Slot(pose, k) = SameSignInversion(destination, source) ? Negate(value) : value;
    if (DrivesServo(destination) && DrivesServo(source)) {
      SetMaskBit(pose.servoEnableMask, ChannelBit(destination),
                 (pose.servoEnableMask & ChannelBit(source)) != 0);
      const int destinationCompanion = CompanionOf(project.sliders, destination);
      const int sourceCompanion = CompanionOf(project.sliders, source);
      if (destinationCompanion >= 0 && sourceCompanion >= 0) {
        Slot(pose, destinationCompanion) = Slot(pose, sourceCompanion);
      }
    }
    done.set(static_cast<std::size_t>(k));
    done.set(static_cast<std::size_t>(p));
  }
  StorePose(context, pose, kPoseCommandTime, true);
  RepaintPane(context, Pane::kPose);
}

void MirrorPose(const LoadedProject& project, MotionBlock& pose) {
  SliderSet work = SelectedSliders(project.sliders);
  if (work.none()) {
    work.set();
  }
  SliderSet done = ~work;
  const bool baseRegistered = CurrentBasePose(project) != nullptr;
  for (int k = 0; k < kSliderCount; ++k) {
    const SliderDef& slider = Slider(project, k);
    if (done[static_cast<std::size_t>(k)] || !SliderEnabled(slider)) {
      continue;
    }
    if (slider.pairMode == kPairCentre) {
      if (baseRegistered) {
        const std::int32_t base = BaseValue(project, k);
        Slot(pose, k) = Saturate(2 * base - Slot(pose, k));
        done.set(static_cast<std::size_t>(k));
      }
    } else if (const int p = PartnerOf(slider); p >= 0) {
      MirrorPair(project, pose, k, p);
      done.set(static_cast<std::size_t>(k));
      done.set(static_cast<std::size_t>(p));
    }
  }
}

void MirrorCurrentPose(EditContext& context) {
  const MotionBlock* current = CurrentPose(context);
  if (!current) {
    return;
  }
  MotionBlock pose = *current;
  MirrorPose(context.project, pose);
  StorePose(context, pose, kPoseCommandTime, true);
  RepaintPane(context, Pane::kPose);
}

void MirrorSelectedPoseBlocks(EditContext& context) {
  for (MotionBlock& block : context.document) {
    if (block.Is(BlockKind::Pose) && block.Selected()) {
      MirrorPose(context.project, block);
    }
  }
  RecordUndoStep(context);
  RepaintPane(context, Pane::kMotion);
  RepaintPane(context, Pane::kPose);
}

void CapturePose(EditContext& context) {
  const MotionBlock* current = CurrentPose(context);
  if (!current || !OptionSet(context, SystemFlag::kOnline)) {
    return;
  }
  const SliderTable& sliders = context.project.sliders;
  const bool selectedOnly =
      OptionSet(context, SystemFlag::kBasePoseSelectedOnly) && SelectedSliders(sliders).any();
  MotionBlock pose = *current;
  for (int k = 0; k < kSliderCount; ++k) {
    const SliderDef& slider = sliders[static_cast<std::size_t>(k)];
    if (DrivesServo(slider) && std::abs(static_cast<int>(slider.reading)) < kReadingLimit &&
        (!selectedOnly || SliderSelected(slider))) {
      Slot(pose, k) = slider.reading;
    }
  }
  StorePose(context, pose, kPoseCommandTime, true);
  RelayoutPane(context, Pane::kPose);
}

void ApplyBasePose(EditContext& context, int number) {
  BasePoseTable& table = context.project.basePoses;
  if (number == -1) {
    number = table.current;
  }
  if (number < 0 || number >= kBasePoseCount) {
    return;
  }
  const SliderTable& sliders = context.project.sliders;
  const BasePose& base = table.entries[static_cast<std::size_t>(number)];
  const bool selectedOnly =
      OptionSet(context, SystemFlag::kBasePoseSelectedOnly) && AnyEnabledSliderSelected(sliders);
  const MotionBlock* current = CurrentPose(context);
  MotionBlock pose = current ? *current : MotionBlock{};
  for (int k = 0; k < kSliderCount; ++k) {
    const SliderDef& slider = sliders[static_cast<std::size_t>(k)];
    if (selectedOnly && !(SliderSelected(slider) && SliderEnabled(slider))) {
      continue;
    }
    if (!base.axisEnable[static_cast<std::size_t>(k)]) {
      Slot(pose, k) = 0;
      continue;
    }
    Slot(pose, k) = base.values[static_cast<std::size_t>(k)];
    if (DrivesServo(slider)) {
      const std::uint64_t bit = ChannelBit(slider);
      SetMaskBit(pose.servoEnableMask, bit, (base.servoEnableMask & bit) != 0);
      const int companion = CompanionOf(sliders, slider);
      if (companion >= 0 && !SliderEnabled(sliders[static_cast<std::size_t>(companion)])) {
        Slot(pose, companion) = base.values[static_cast<std::size_t>(companion)];
      }
    }
  }
  // The choice is kept even without a pose to apply it to.
  table.current = number;
  if (context.views) {
    context.views->RefreshMenuChecks();
  }
  if (current) {
    StorePose(context, pose, kBasePoseTime, true);
    RelayoutPane(context, Pane::kPose);
  }
}

void ToggleDisplayInversion(EditContext& context) {
  SliderTable& sliders = context.project.sliders;
  if (!AnyEnabledSliderSelected(sliders)) {
    return;
  }
  for (SliderDef& slider : sliders) {
    if (SliderSelected(slider)) {
      slider.flags1 ^= SliderFlag1::kInverted;
    }
  }
  RepaintPane(context, Pane::kPose);
}

void SelectAllSliders(EditContext& context) {
  for (SliderDef& slider : context.project.sliders) {
    if (SliderEnabled(slider)) {
      slider.flags1 |= SliderFlag1::kSelected;
    }
  }
  RepaintPane(context, Pane::kPose);
}

void ClearSliderSelection(SliderTable& sliders) {
  for (SliderDef& slider : sliders) {
    slider.flags1 &= ~SliderFlag1::kSelected;
  }
}

void SelectSlidersInRect(SliderTable& sliders, std::int32_t left, std::int32_t top,
                         std::int32_t right, std::int32_t bottom, const SliderBodySize& size) {
  for (SliderDef& slider : sliders) {
    // The body as the pose area draws it: centred on the slider's y.
    const std::int32_t bodyLeft = slider.pos[0];
    const std::int32_t bodyRight = slider.pos[0] + size.spinWidth / 2 + size.trackWidth;
    const std::int32_t bodyTop = slider.pos[1] - size.trackHeight / 2;
    const std::int32_t bodyBottom = slider.pos[1] + size.trackHeight / 2;
    if (std::max(left, bodyLeft) < std::min(right, bodyRight) &&
        std::max(top, bodyTop) < std::min(bottom, bodyBottom)) {
      slider.flags1 |= SliderFlag1::kSelected;
    }
  }
}

void StepSelectedSliders(EditContext& context, int direction, StepModifiers modifiers) {
  const MotionBlock* current = CurrentPose(context);
  if (!current) {
    return;
  }
  const LoadedProject& project = context.project;
  const SliderTable& sliders = project.sliders;
  const std::int32_t d = (direction > 0) - (direction < 0);
  MotionBlock pose = *current;
  const std::int32_t offsetChoice = project.offsets.current;
  if (offsetChoice >= 0 && offsetChoice < kOffsetSetCount) {
    const ValueOffsetSet& offsets = project.offsets.entries[static_cast<std::size_t>(offsetChoice)];
    for (int k = 0; k < kSliderCount; ++k) {
      const SliderDef& slider = sliders[static_cast<std::size_t>(k)];
      if (SliderEnabled(slider)) {
        Slot(pose, k) =
            ClampValue(slider, Slot(pose, k) + offsets.offsets[static_cast<std::size_t>(k)] * d);
      }
    }
  } else {
    int stepped = 0;
    for (int k = 0; k < kSliderCount; ++k) {
      const SliderDef& slider = sliders[static_cast<std::size_t>(k)];
      if (!SliderSelected(slider) || !SliderEnabled(slider)) {
        continue;
      }
      int t = k;
      std::int32_t unit = slider.step;
      if (modifiers.shift && modifiers.ctrl) {
        t = CompanionOf(sliders, slider);
        if (t < 0) {
          continue;
        }
        unit = Slider(project, t).step;
      } else if (modifiers.ctrl) {
        unit = slider.step / 16;
      } else if (modifiers.shift) {
        unit = slider.step * 10;
      }
      std::int32_t delta = unit * d;
      if (delta == 0) {
        delta = d >= 0 ? 1 : -1;
      }
      const SliderDef& target = Slider(project, t);
      const bool reversed = (target.flags1 & SliderFlag1::kInverted) != 0 &&
                            (target.flags2 & SliderFlag2::kServoCompanion) == 0;
      const std::int32_t value = reversed ? Slot(pose, t) - delta : Slot(pose, t) + delta;
      Slot(pose, t) = ClampValue(target, SnapValue(project, t, value, delta));
      ++stepped;
    }
    if (stepped == 0) {
      return;
    }
  }
  StorePose(context, pose, kSliderChangeTime, true);
  RepaintPane(context, Pane::kPose);
}

void ChangeSliderValue(EditContext& context, int slider, std::int32_t value, std::int32_t unit,
                       bool withUndo) {
  const MotionBlock* current = CurrentPose(context);
  if (!current || !IsSliderIndex(slider)) {
    return;
  }
  MotionBlock pose = *current;
  Slot(pose, slider) =
      ClampValue(Slider(context.project, slider), SnapValue(context.project, slider, value, unit));
  StorePose(context, pose, kSliderChangeTime, withUndo);
}

void ToggleServoEnable(EditContext& context, int slider) {
  const MotionBlock* current = CurrentPose(context);
  if (!current || !IsSliderIndex(slider) || !DrivesServo(Slider(context.project, slider))) {
    return;
  }
  MotionBlock pose = *current;
  pose.servoEnableMask ^= ChannelBit(Slider(context.project, slider));
  StorePose(context, pose, kSliderChangeTime, true);
}

}  // namespace gestalon::core
