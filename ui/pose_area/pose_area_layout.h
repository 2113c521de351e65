#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>
#include <array>
#include <cstdint>

#include "project/project_loader.h"

namespace gestalon::ui {

// Pixel sizes of the pose area's skin images; 0 for an image that is not loaded.
struct PoseSkinMetrics {
  int trackWidth = 0, trackHeight = 0;    // slider track
  int knobWidth = 0, knobHeight = 0;      // knob (and the robot-reading ghost knob)
  int spinWidth = 0, spinHeight = 0;      // four spin button cells side by side
  int markerWidth = 0, markerHeight = 0;  // base pose marker
  int checkWidth = 0, checkHeight = 0;    // two check box cells side by side

  int SpinCell() const { return spinWidth / 4; }
  int CheckCell() const { return checkWidth / 2; }
};

PoseSkinMetrics SkinMetricsOf(const core::SystemSettings& settings);

// The values one layout pass works from, copied under the session lock.
struct PoseSnapshot {
  std::array<std::int16_t, core::kSliderCount> values{};    // of the current pose
  std::array<std::int16_t, core::kSliderCount> readings{};  // robot readings
  std::uint64_t servoEnableMask = 0;                        // of the current pose
  bool online = false;                                      // SystemFlags 0x1
};

// Where the parts of one slider go, in pose area coordinates. Only enabled sliders are laid out
// in full (`shown`); every slider gets its display position.
struct SliderLayout {
  bool shown = false;
  int x = 0, y = 0;   // display position: left edge and centre line, clamped into the bounds
  int trackLeft = 0;  // the track starts one spin cell right of x
  int knobLeft = 0, knobTop = 0;
  bool ghostShown = false;  // robot-reading knob: online and on the track
  int ghostLeft = 0, ghostTop = 0;
  int markerLeft = -1, markerTop = 0;  // base pose marker; left -1 = none
  int checkState = -1;                 // -1 no check box, 0 servo enabled, 1 disabled
  int checkLeft = 0, checkTop = 0;
};

using PoseLayout = std::array<SliderLayout, core::kSliderCount>;

// Knob left edge for `value` on a track starting at `trackLeft`: the minimum at the left end, or
// at the right end with display inversion.
int KnobLeft(const core::SliderDef& slider, int trackLeft, std::int32_t value,
             const PoseSkinMetrics& metrics);

// Lays out slider `k` within `bounds` (from the pose area's top left): positions are pulled
// inside so that a slider moved or stored beyond them stays in the window; the stored positions
// are left alone. The pose area passes the main window's client width, so that sliders past the
// split line keep their places behind the motion area rather than piling up at the pose area's
// right edge.
SliderLayout LayoutSlider(const core::LoadedProject& project, int k, const PoseSnapshot& snapshot,
                          const PoseSkinMetrics& metrics, QSize bounds);
PoseLayout LayoutSliders(const core::LoadedProject& project, const PoseSnapshot& snapshot,
                         const PoseSkinMetrics& metrics, QSize bounds);

// Body of a laid-out slider as drawn: both spin cells and the track, the track's height. Pointer
// hits count its right and bottom edges as well.
QRect SliderBodyRect(const SliderLayout& layout, const PoseSkinMetrics& metrics);

enum class SliderPart { kNone, kRightSpin, kLeftSpin, kKnob, kBody, kCheckBox };
struct SliderHit {
  int slider = -1;
  SliderPart part = SliderPart::kNone;
};

// The shown slider drawn on top (sliders are drawn in index order, so the highest index) with a
// part under `point`; per slider the right spin button, left spin button, knob, body and check
// box are tried in that order. Edges count.
SliderHit HitTest(const PoseLayout& layout, const PoseSkinMetrics& metrics, QPoint point);
// The topmost shown slider whose body contains `point`, -1 for none.
int SliderBodyAt(const PoseLayout& layout, const PoseSkinMetrics& metrics, QPoint point);

// The value a knob drag gives when the pointer is at `x`: `dragOffset` is where the knob was
// grabbed, relative to its centre. Values between the ends snap to a whole pixel's worth of
// counts and then to the slider's step (Ctrl: step / 16, Shift: step x 10); the ends stay exact.
std::int32_t DraggedValue(const core::LoadedProject& project, int k, int trackLeft, int x,
                          int dragOffset, const PoseSkinMetrics& metrics,
                          Qt::KeyboardModifiers modifiers);

// What a spin button press steps: the slider and the signed step per repeat (never 0).
struct SpinStep {
  int slider = -1;
  std::int32_t step = 0;
};
// The right button (`up`) steps by +step, the left by -step. Ctrl: step / 16, Shift: step x 10;
// Ctrl+Shift on a servo-channel slider spins its companion by the companion's step, on any other
// slider by the plain step.
SpinStep SpinStepFor(const core::SliderTable& sliders, int k, bool up,
                     Qt::KeyboardModifiers modifiers);

// The value one spin repeat gives: against the step with display inversion, snapped and clamped.
std::int16_t SpunValue(const core::LoadedProject& project, const SpinStep& spin,
                       std::int16_t value);

}  // namespace gestalon::ui
