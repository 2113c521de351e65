#include "pose/value_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "pose/pose_operations.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

constexpr std::int32_t kStyleHexadecimal = 1;
constexpr std::int32_t kStyleDegrees = 2;
constexpr std::int32_t kStylePercent = 3;
// Digits after the point beyond this add nothing a 14-character box could show.
constexpr std::int32_t kMaxDecimals = 15;

std::uint16_t Raw(std::int32_t value) {
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::int32_t DisplayedDifference(const LoadedProject& project, int slider, std::int16_t value) {
  if (!IsSliderIndex(slider)) {
    return value;
  }
  const SliderDef& def = project.sliders[static_cast<std::size_t>(slider)];
  std::int32_t d = value;
  if ((def.flags2 & SliderFlag2::kAbsolute) == 0 && CurrentBasePose(project)) {
    d -= BaseValue(project, slider);
  }
  return (def.flags2 & SliderFlag2::kSignInverted) != 0 ? -d : d;
}

double DisplayedAmount(const LoadedProject& project, int slider, std::int16_t value) {
  const std::int32_t d = DisplayedDifference(project, slider, value);
  if (!IsSliderIndex(slider)) {
    return d;
  }
  const SliderDef& def = project.sliders[static_cast<std::size_t>(slider)];
  if (def.putStyle == kStyleDegrees) {
    return def.countsPerDegree != 0.0 && std::isfinite(def.countsPerDegree)
               ? d / def.countsPerDegree
               : 0.0;
  }
  if (def.putStyle == kStylePercent) {
    const std::int32_t range = def.maximum - def.minimum;
    if (range == 0) {
      return 0.0;
    }
    const std::int32_t measured =
        (def.flags2 & SliderFlag2::kAbsolute) != 0 ? std::abs(d - def.minimum) : d;
    return static_cast<double>(measured) / range * 100.0;
  }
  return d;
}

std::u16string FormatValueTip(const LoadedProject& project, int slider, std::int16_t value) {
  if (!IsSliderIndex(slider)) {
    return {};
  }
  const SliderDef& def = project.sliders[static_cast<std::size_t>(slider)];
  const std::int32_t d = DisplayedDifference(project, slider, value);
  const std::uint16_t raw = Raw(value);
  std::u16string text;
  switch (def.putStyle) {
    case kStyleHexadecimal:
      text = Format(u"0x%04x (0x%04x)", Raw(d), raw);
      break;
    case kStyleDegrees:
      text = Format(u"%.2fdeg (0x%04x)", DisplayedAmount(project, slider, value), raw);
      break;
    case kStylePercent:
      text = Format(u"%.2f%% (0x%04x)", DisplayedAmount(project, slider, value), raw);
      break;
    default:
      text = Format(u"%+d (0x%04x)", d, raw);
      break;
  }
  return Format(u"%02d:%s %s", slider, def.axisName, text);
}

std::u16string FormatValueField(const LoadedProject& project, int slider, std::int16_t value) {
  if (!IsSliderIndex(slider)) {
    return {};
  }
  const SliderDef& def = project.sliders[static_cast<std::size_t>(slider)];
  const std::int32_t decimals = std::clamp(def.decimals, 0, kMaxDecimals);
  switch (def.putStyle) {
    case kStyleHexadecimal:
      return Format(u" 0x%04x          ", Raw(DisplayedDifference(project, slider, value)));
    case kStyleDegrees:
      return Format(Format(u" %%+7.%dfdeg           ", decimals),
                    DisplayedAmount(project, slider, value));
    case kStylePercent:
      return Format(Format(u" %%7.%df%%%%             ", decimals),
                    DisplayedAmount(project, slider, value));
    default:
      return Format(u" %+6d            ", DisplayedDifference(project, slider, value));
  }
}

std::u16string FormatCompanionValue(std::int16_t value) {
  return Format(u"%5d", value);
}

}  // namespace gestalon::core
