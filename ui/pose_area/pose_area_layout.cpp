#include "pose_area/pose_area_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "pose/pose_operations.h"

namespace gestalon::ui {
namespace {

using core::SliderDef;
namespace SliderFlag1 = core::SliderFlag1;
namespace SliderFlag2 = core::SliderFlag2;

constexpr int kServoChannelCount = 64;

const SliderDef& SliderAt(const core::SliderTable& sliders, int k) {
  return sliders[static_cast<std::size_t>(k)];
}

bool Inverted(const SliderDef& slider) {
  return (slider.flags1 & SliderFlag1::kInverted) != 0;
}

// Distance the knob's left edge travels from one end of the track to the other.
int KnobTravel(const PoseSkinMetrics& metrics) {
  return metrics.trackWidth - 2 * (metrics.knobWidth / 2);
}

bool Within(int value, int low, int high) {
  return value >= low && value <= high;
}

bool Contains(int left, int top, int right, int bottom, QPoint point) {
  return Within(point.x(), left, right) && Within(point.y(), top, bottom);
}

bool ChannelEnabled(const SliderDef& slider, std::uint64_t mask) {
  if (slider.channel < 0 || slider.channel >= kServoChannelCount) {
    return false;
  }
  return (mask & (std::uint64_t{1} << slider.channel)) != 0;
}

bool Held(Qt::KeyboardModifiers modifiers, Qt::KeyboardModifier key) {
  return (modifiers & key) != 0;
}

// One step unit with the modifier rules of the pose area; 0 becomes 1.
std::int32_t ModifiedUnit(std::int32_t step, Qt::KeyboardModifiers modifiers) {
  const bool ctrl = Held(modifiers, Qt::ControlModifier);
  const bool shift = Held(modifiers, Qt::ShiftModifier);
  std::int32_t unit = step;
  if (ctrl && !shift) {
    unit = step / 16;
  } else if (shift && !ctrl) {
    unit = step * 10;
  }
  return unit == 0 ? 1 : unit;
}

}  // namespace

PoseSkinMetrics SkinMetricsOf(const core::SystemSettings& settings) {
  auto size = [&](int index) {
    const auto& bitmap = settings.skins[static_cast<std::size_t>(index)].bitmap;
    return bitmap ? QSize(bitmap->width, bitmap->height) : QSize(0, 0);
  };
  PoseSkinMetrics metrics;
  const QSize track = size(core::SkinIndex::kPoseTrack);
  const QSize knob = size(core::SkinIndex::kPoseKnob);
  const QSize spin = size(core::SkinIndex::kPoseSpin);
  const QSize marker = size(core::SkinIndex::kPoseBaseMarker);
  const QSize check = size(core::SkinIndex::kPoseCheckBox);
  metrics.trackWidth = track.width();
  metrics.trackHeight = track.height();
  metrics.knobWidth = knob.width();
  metrics.knobHeight = knob.height();
  metrics.spinWidth = spin.width();
  metrics.spinHeight = spin.height();
  metrics.markerWidth = marker.width();
  metrics.markerHeight = marker.height();
  metrics.checkWidth = check.width();
  metrics.checkHeight = check.height();
  return metrics;
}

int KnobLeft(const SliderDef& slider, int trackLeft, std::int32_t value,
             const PoseSkinMetrics& metrics) {
  const std::int32_t range = slider.maximum - slider.minimum;
  int offset = 0;
  if (range != 0) {
    const double exact = static_cast<double>(value - slider.minimum) / range * KnobTravel(metrics);
    // Saturated rather than wrapped, so that a far-off robot reading never lands on the track.
    offset = static_cast<int>(std::clamp(exact, -32768.0, 32767.0));
  }
  return Inverted(slider) ? trackLeft + metrics.trackWidth - metrics.knobWidth - offset
                          : trackLeft + offset;
}

SliderLayout LayoutSlider(const core::LoadedProject& project, int k, const PoseSnapshot& snapshot,
                          const PoseSkinMetrics& metrics, QSize bounds) {
  SliderLayout layout;
  if (!core::IsSliderIndex(k)) {
    return layout;
  }
  const SliderDef& slider = SliderAt(project.sliders, k);
  const auto index = static_cast<std::size_t>(k);
  // The whole body stays inside, so that both spin buttons can be reached; the left and top
  // edges win when the bounds are smaller than a slider.
  const int bodyWidth = metrics.spinWidth / 2 + metrics.trackWidth;
  layout.x = std::max(0, std::min(slider.pos[0], bounds.width() - bodyWidth));
  layout.y = std::max(0, std::min(slider.pos[1], bounds.height() - metrics.trackHeight));
  if (!core::SliderEnabled(slider)) {
    return layout;
  }
  layout.shown = true;
  layout.trackLeft = layout.x + metrics.SpinCell();
  const std::int16_t value = snapshot.values[index];
  layout.knobLeft = KnobLeft(slider, layout.trackLeft, value, metrics);
  layout.knobTop = layout.y - metrics.knobHeight / 2;
  if (snapshot.online) {
    layout.ghostLeft = KnobLeft(slider, layout.trackLeft, snapshot.readings[index], metrics);
    layout.ghostTop = layout.y - metrics.knobHeight / 2 + 2;
    layout.ghostShown = Within(layout.ghostLeft, layout.trackLeft,
                               layout.trackLeft + metrics.trackWidth - metrics.knobWidth);
  }
  if (core::CurrentBasePose(project)) {
    const int baseKnob = KnobLeft(slider, layout.trackLeft, core::BaseValue(project, k), metrics);
    layout.markerLeft = baseKnob + metrics.knobWidth / 2 - metrics.markerWidth / 2;
    layout.markerTop = layout.y - metrics.markerHeight / 2;
  }
  if ((slider.flags2 & SliderFlag2::kServoChannel) != 0) {
    layout.checkState = ChannelEnabled(slider, snapshot.servoEnableMask) ? 0 : 1;
    layout.checkLeft =
        layout.trackLeft + metrics.trackWidth + metrics.SpinCell() - metrics.CheckCell();
    layout.checkTop = layout.y + metrics.checkHeight;
  }
  return layout;
}

PoseLayout LayoutSliders(const core::LoadedProject& project, const PoseSnapshot& snapshot,
                         const PoseSkinMetrics& metrics, QSize bounds) {
  PoseLayout layout;
  for (int k = 0; k < core::kSliderCount; ++k) {
    layout[static_cast<std::size_t>(k)] = LayoutSlider(project, k, snapshot, metrics, bounds);
  }
  return layout;
}

QRect SliderBodyRect(const SliderLayout& layout, const PoseSkinMetrics& metrics) {
  const int top = layout.y - metrics.trackHeight / 2;
  return QRect(layout.x, top, metrics.spinWidth / 2 + metrics.trackWidth,
               layout.y + metrics.trackHeight / 2 - top);
}

// The body takes pointer hits on its right and bottom edges too.
bool BodyContains(const SliderLayout& layout, const PoseSkinMetrics& metrics, QPoint point) {
  const QRect body = SliderBodyRect(layout, metrics);
  return Contains(body.x(), body.y(), body.x() + body.width(), body.y() + body.height(), point);
}

SliderHit HitTest(const PoseLayout& layout, const PoseSkinMetrics& metrics, QPoint point) {
  const int cell = metrics.SpinCell();
  // Where sliders overlap, the one drawn last is the one the user sees and aims at.
  for (int k = core::kSliderCount - 1; k >= 0; --k) {
    const SliderLayout& s = layout[static_cast<std::size_t>(k)];
    if (!s.shown) {
      continue;
    }
    const int spinTop = s.y - metrics.spinHeight / 2;
    const int spinBottom = spinTop + metrics.spinHeight;
    const int rightSpin = s.trackLeft + metrics.trackWidth;
    if (Contains(rightSpin, spinTop, rightSpin + cell, spinBottom, point)) {
      return {k, SliderPart::kRightSpin};
    }
    if (Contains(s.x, spinTop, s.x + cell, spinBottom, point)) {
      return {k, SliderPart::kLeftSpin};
    }
    if (Contains(s.knobLeft, s.knobTop, s.knobLeft + metrics.knobWidth,
                 s.knobTop + metrics.knobHeight, point)) {
      return {k, SliderPart::kKnob};
    }
    if (BodyContains(s, metrics, point)) {
      return {k, SliderPart::kBody};
    }
    if (s.checkState >= 0 && Contains(s.checkLeft, s.checkTop, s.checkLeft + metrics.CheckCell(),
                                      s.checkTop + metrics.checkHeight, point)) {
      return {k, SliderPart::kCheckBox};
    }
  }
  return {};
}

int SliderBodyAt(const PoseLayout& layout, const PoseSkinMetrics& metrics, QPoint point) {
  for (int k = core::kSliderCount - 1; k >= 0; --k) {
    const SliderLayout& s = layout[static_cast<std::size_t>(k)];
    if (s.shown && BodyContains(s, metrics, point)) {
      return k;
    }
  }
  return -1;
}

std::int32_t DraggedValue(const core::LoadedProject& project, int k, int trackLeft, int x,
                          int dragOffset, const PoseSkinMetrics& metrics,
                          Qt::KeyboardModifiers modifiers) {
  if (!core::IsSliderIndex(k)) {
    return 0;
  }
  const SliderDef& slider = SliderAt(project.sliders, k);
  const int halfKnob = metrics.knobWidth / 2;
  const int travel = KnobTravel(metrics);
  const int highEnd = metrics.trackWidth - halfKnob;
  const int pos = std::max(halfKnob, std::min(x - trackLeft - dragOffset, highEnd));
  const int p = Inverted(slider) ? highEnd - pos : pos - halfKnob;
  const std::int32_t range = slider.maximum - slider.minimum;
  std::int32_t value = slider.minimum;
  if (travel > 0) {
    value = static_cast<std::int16_t>(
        static_cast<std::int32_t>(slider.minimum + static_cast<double>(p) / travel * range));
  }
  auto atEnd = [&] { return value == slider.minimum || value == slider.maximum; };
  if (!atEnd() && travel > 0) {
    // One pixel moves the knob by this many counts: finer values cannot be aimed at.
    const std::int32_t pixelUnit = std::abs(range) / travel;
    if (pixelUnit >= 1) {
      value = core::SnapValue(project, k, value, pixelUnit);
    }
  }
  if (!atEnd()) {
    value = core::SnapValue(project, k, value, ModifiedUnit(slider.step, modifiers));
  }
  return value;
}

SpinStep SpinStepFor(const core::SliderTable& sliders, int k, bool up,
                     Qt::KeyboardModifiers modifiers) {
  if (!core::IsSliderIndex(k)) {
    return {};
  }
  SpinStep spin{k, SliderAt(sliders, k).step};
  if (Held(modifiers, Qt::ControlModifier) && Held(modifiers, Qt::ShiftModifier)) {
    if (const int companion = core::CompanionSlider(sliders, k); companion >= 0) {
      spin = {companion, SliderAt(sliders, companion).step};
    }
  } else {
    spin.step = ModifiedUnit(spin.step, modifiers);
  }
  if (spin.step == 0) {
    spin.step = 1;
  }
  if (!up) {
    spin.step = -spin.step;
  }
  return spin;
}

std::int16_t SpunValue(const core::LoadedProject& project, const SpinStep& spin,
                       std::int16_t value) {
  if (!core::IsSliderIndex(spin.slider)) {
    return value;
  }
  const SliderDef& slider = SliderAt(project.sliders, spin.slider);
  const std::int32_t step = Inverted(slider) ? -spin.step : spin.step;
  return core::ClampValue(slider, core::SnapValue(project, spin.slider, value + step, spin.step));
}

}  // namespace gestalon::ui
