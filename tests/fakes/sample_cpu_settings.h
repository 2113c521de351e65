#pragma once

#include "cpusettings/cpu_settings.h"

namespace gestalon::testing {

// Board settings whose every field the board keeps differs from its neighbours: motor k's word n
// is k * 0x100 + n + 1 (word 20 is 0: bytes A and B are 0xA0 + k and 0xB0 + k), serial bus b has
// protocol 0x100 + b, b + 10 ids and ids b * 16 + i, LED i has 0x1100 + i, 0x2200 + i, 0x3300 + i.
inline core::CpuSettings SampleCpuSettings() {
  core::CpuSettings s;
  s.basicControlCycle = 0x00012345;
  s.voiceAttenuator = 0x0203;
  for (std::size_t i = 0; i < s.interpolationMethods.size(); ++i) {
    s.interpolationMethods[i] = static_cast<std::uint8_t>(i % 5);
  }
  core::SetRobotName(s, u"TESTBOT");
  for (std::size_t k = 0; k < s.motors.size(); ++k) {
    for (std::size_t n = 0; n < s.motors[k].words.size(); ++n) {
      s.motors[k].words[n] = static_cast<std::uint16_t>(k * 0x100 + n + 1);
    }
    s.motors[k].words[core::MotorWord::kBytesAB] = 0;
    s.motors[k].word20A = static_cast<std::uint8_t>(0xA0 + k);
    s.motors[k].word20B = static_cast<std::uint8_t>(0xB0 + k);
  }
  for (std::size_t b = 0; b < s.serialBuses.size(); ++b) {
    s.serialBuses[b].SBUS_PROTOCOL = static_cast<std::uint32_t>(0x100 + b);  // low byte sent
    s.serialBuses[b].SBUS_N = static_cast<std::uint32_t>(10 + b);
    for (std::size_t i = 0; i < 14; ++i) {
      s.serialBuses[b].SBUS_ID[i] = static_cast<std::uint8_t>(b * 16 + i);
    }
  }
  for (std::size_t i = 0; i < s.leds.size(); ++i) {
    s.leds[i] = {static_cast<std::uint16_t>(0x1100 + i), static_cast<std::uint16_t>(0x2200 + i),
                 static_cast<std::uint16_t>(0x3300 + i)};
  }
  s.controllerCancelBits = 0x0030;  // not sent: the program clears the cancel word
  s.ledEnable = 0x101;
  s.controllerEnable = 1;
  s.thirdEnable = 2;
  s.startupMotion = u"walk.KX4";
  return s;
}

}  // namespace gestalon::testing
