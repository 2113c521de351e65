#pragma once

#include <cstdint>

#include "pose/edit_context.h"

namespace gestalon::core {

// Keys held during a wheel step or a spin click.
struct StepModifiers {
  bool shift = false;
  bool ctrl = false;
};

// Pixel sizes of a slider's body in the pose area: the track image and the spin button image
// (both buttons side by side, so half of it is one button).
struct SliderBodySize {
  std::int32_t trackWidth = 0, trackHeight = 0, spinWidth = 0;
};

// Selection and enable state of one slider (flags1 bit 0x2, flags2 bit 0x1 clear).
bool SliderSelected(const SliderDef& slider);
bool SliderEnabled(const SliderDef& slider);
// True when some enabled slider is selected; otherwise the commands treat the selection as empty.
bool AnyEnabledSliderSelected(const SliderTable& sliders);

// The companion slider of servo-channel slider `k` (flag 0x40), -1 when it has none: a link
// counts only when it names a companion slider (flag 0x80) of the same channel.
int CompanionSlider(const SliderTable& sliders, int k);
// The current base pose when it is registered, else null.
const BasePose* CurrentBasePose(const LoadedProject& project);
// True when the slider's values are relative to the current base pose: its absolute bit 0x10 is
// clear, the current base pose is registered and enables the slider's axis. False for an index
// outside 0..127.
bool IsBaseRelative(const LoadedProject& project, int slider);
// The slider's value in the current base pose; 0 when that base pose is not registered or the
// index is outside 0..127.
std::int16_t BaseValue(const LoadedProject& project, int slider);

// Snaps `value` to a multiple of `unit` counted from the base value when the slider is
// base-relative, from 0 otherwise; the division truncates toward zero. A unit of 0 counts as 1.
// The result is not clamped.
std::int32_t SnapValue(const LoadedProject& project, int slider, std::int32_t value,
                       std::int32_t unit);
// `value` limited to [minimum, maximum] of the slider.
std::int16_t ClampValue(const SliderDef& slider, std::int32_t value);

// Joint value clipboard (Pose menu). Copy takes the whole current pose and marks the selected
// enabled sliders as copied, or every slider when none is selected. Paste writes the copied
// sliders that are also selected (all copied ones when none is selected), with the servo-enable
// bit and companion value of each servo-channel slider, and stores the pose with time 36 and an
// undo step.
void CopyJointValues(EditContext& context);
void PasteJointValues(EditContext& context);

// Copies one half of the body onto the other: left to right writes the sliders with the right
// pair attribute from their left partners, right to left the reverse. Values are negated when
// both sliders have the same sign inversion setting. Acts on the selected sliders and on the
// pairs of selected sliders, or on all sliders when none is selected. Time 36, one undo step.
void CopyHalf(EditContext& context, bool leftToRight);

// Mirrors `pose` in place: right/left pairs swap their values (negated when both members have the
// same sign inversion setting, with their companions and servo-enable bits), centre sliders are
// reflected about their base value when the current base pose is registered. Acts on the
// selected sliders (selecting either member of a pair takes the whole pair), or on all sliders
// when none is selected; disabled sliders are left alone. Results saturate to 16 bits.
void MirrorPose(const LoadedProject& project, MotionBlock& pose);
// Mirrors the current pose and stores it with time 36 and an undo step.
void MirrorCurrentPose(EditContext& context);
// Mirrors every selected pose block of the motion in place: one undo step, both panes repainted,
// nothing sent to the robot (also when the current pose block is among them).
void MirrorSelectedPoseBlocks(EditContext& context);

// Takes the robot readings (|reading| < 32000) of the servo-channel sliders into the current pose
// and stores it with time 36 and an undo step. Only while online (SystemFlags 0x1); with the
// option 0x80000 only the selected sliders take part unless no slider is selected.
void CapturePose(EditContext& context);

// Sets the current pose from base pose `number` (0..35, -1 for the current base pose; anything
// else does nothing): axes the base pose enables take its values (with servo-enable bits, and
// companion values of disabled companions), the others become 0. With the option 0x80000 only
// the selected enabled sliders change, unless none is selected. `number` becomes the current base
// pose; stored with time 90 and an undo step.
void ApplyBasePose(EditContext& context, int number);

// Flips the display inversion of the selected sliders; nothing when no enabled slider is
// selected.
void ToggleDisplayInversion(EditContext& context);
// Selects every enabled slider.
void SelectAllSliders(EditContext& context);
void ClearSliderSelection(SliderTable& sliders);
// Adds to the selection every slider (disabled ones too) whose body overlaps the rectangle
// (pose area coordinates, left <= right, top <= bottom). A slider at `pos` (x, centre line y) has
// its body from x to x + spinWidth / 2 + trackWidth and from y - trackHeight / 2 to
// y + trackHeight / 2, as the pose area draws it.
void SelectSlidersInRect(SliderTable& sliders, std::int32_t left, std::int32_t top,
                         std::int32_t right, std::int32_t bottom, const SliderBodySize& size);

// One wheel step over the pose area; `direction` is the sign of the notch count (+1, -1 or 0).
// With a wheel offset chosen every enabled slider moves by its offset x direction. Otherwise
// each selected enabled slider moves by its step (Ctrl: step / 16, Shift: step x 10,
// Shift+Ctrl: the companion of a servo-channel slider by the companion's step), against the
// direction on display-inverted sliders, snapped and clamped. Time 18, one undo step; nothing
// stored when no slider took part.
void StepSelectedSliders(EditContext& context, int direction, StepModifiers modifiers);

// A new value for one slider from the pose area: snapped with `unit`, clamped, stored with time
// 18 (an undo step when `withUndo`). The pose area repaints itself.
void ChangeSliderValue(EditContext& context, int slider, std::int32_t value, std::int32_t unit,
                       bool withUndo);
// The check box of a servo-channel slider: flips its channel's servo-enable bit; time 18, one
// undo step. Nothing for other sliders; the pose area repaints itself.
void ToggleServoEnable(EditContext& context, int slider);

}  // namespace gestalon::core
