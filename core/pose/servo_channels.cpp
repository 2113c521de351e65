#include "pose/servo_channels.h"

#include <optional>

namespace gestalon::core {
namespace {

constexpr int kChannelSliders = 96;
constexpr int kCurrentValueBase = 0x0C00;

// The slider whose current value lives at board address `address`, if any.
std::optional<int> SliderAt(std::uint16_t address) {
  const int offset = static_cast<int>(address) - kCurrentValueBase;
  if (offset < 0) {
    return std::nullopt;
  }
  const int slider = offset / 2;
  return slider < kChannelSliders ? std::optional<int>(slider) : std::nullopt;
}

}  // namespace

void DeriveServoChannels(SliderTable& sliders, const CpuSettings& cpu) {
  for (int i = 0; i < kChannelSliders; ++i) {
    sliders[i].flags2 &= ~(SliderFlag2::kServoChannel | SliderFlag2::kServoCompanion);
  }
  for (int channel = 0; channel < static_cast<int>(cpu.motors.size()); ++channel) {
    const MotorRecord& motor = cpu.motors[channel];
    const auto driver = SliderAt(motor.words[MotorWord::kAdr0]);
    const auto companion = SliderAt(motor.words[MotorWord::kAdrEn]);
    if (driver) {
      sliders[*driver].flags2 |= SliderFlag2::kServoChannel;
      sliders[*driver].channel = channel;
    }
    if (companion) {
      sliders[*companion].flags2 |= SliderFlag2::kServoCompanion;
      sliders[*companion].channel = channel;
    }
    if (driver && companion) {
      sliders[*driver].companion = *companion;
      sliders[*companion].companion = *driver;
    }
  }
}

}  // namespace gestalon::core
