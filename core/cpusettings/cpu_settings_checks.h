#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "cpusettings/cpu_settings.h"

namespace gestalon::core {

// The checks and conversions of the CPU settings dialog. The dialog only shows and collects
// texts; what is accepted and what a field stores is decided here. A check returns the message
// to show, empty when the input is accepted.

// The fields of the servo output page that the motor check reads, in the order it checks them.
enum class MotorField {
  kBase,
  kCoefficient0,
  kCoefficient1,
  kCoefficient2,
  kCoefficient3,
  kLowerLimit,
  kUpperLimit
};

// Words of a motor record that the servo output page edits beyond the named ones: term t
// (0..3) of the output value is coefficient * variable A / 256 * variable B / 256.
inline constexpr std::size_t TermCoefficientWord(int t) {
  return 8 + 3 * static_cast<std::size_t>(t);
}
inline constexpr std::size_t TermVariableAWord(int t) {
  return 9 + 3 * static_cast<std::size_t>(t);
}
inline constexpr std::size_t TermVariableBWord(int t) {
  return 10 + 3 * static_cast<std::size_t>(t);
}
inline constexpr std::size_t kSoftStartWord = 21;  // control cycles, 0..255

struct MotorFieldTexts {
  std::u16string_view base;
  std::array<std::u16string_view, 4> coefficients;  // terms 0..3
  std::u16string_view lowerLimit, upperLimit;
};

struct MotorCheck {
  std::u16string message;                // empty: accepted
  MotorField field = MotorField::kBase;  // the refused field (meaningful with a message)
};

// Checks the base value (a decimal number in -32768..32767), the four term coefficients and the
// two limits (digits, '+' and '-' only, then -32768..32767), in that order, and stores them into
// words OFS, K of each term, LIML and LIMH of `motor` only when all pass (warning icon).
MotorCheck CheckAndStoreMotor(const MotorFieldTexts& texts, MotorRecord& motor);

// The basic control cycle: a decimal number in 0..65535 (warning icon). `cycle` is set only when
// accepted.
std::u16string CheckControlCycle(std::u16string_view text, std::int32_t& cycle);

// The coefficient of LED channel `channel` (0..7): an integer in 0..65535, the message naming the
// channel (error icon). `value` is set only when accepted.
std::u16string CheckLedCoefficient(int channel, std::u16string_view text, std::uint16_t& value);

// Servo IDs of one serial port: at most this many per port.
inline constexpr int kServoIdsPerPort = 14;

// Whether another ID may be added to the port (warning icon, the message naming the limit).
std::u16string CheckServoIdAdd(const SerialBus& bus);

// An edited ID of row `row`: an integer in 0..255 that no other row of the same port holds
// (warning icon). `id` is set only when accepted.
std::u16string CheckServoIdEdit(const SerialBus& bus, int row, std::u16string_view text,
                                std::uint8_t& id);

// Makes room for one ID at `row` (at the end when `row` is outside the list): the rows from it
// move down and the count grows by one. The new row keeps the value that was there. False when
// the port is full.
bool InsertServoId(SerialBus& bus, int row);
// Removes the row; the rows below move up and the count shrinks by one.
void RemoveServoId(SerialBus& bus, int row);
// The number of IDs the port lists (SBUS_N, at most kServoIdsPerPort).
int ServoIdCount(const SerialBus& bus);

// The term conditions of a motor record, each 0 (always), 1 (Vb[n]>=0) or 2 (Vb[n]<=0), packed
// two bits per term into byte B of word 20: bit 2t for 1, bit 2t + 1 for 2.
std::uint8_t PackTermConditions(const std::array<int, 4>& conditions);
std::array<int, 4> UnpackTermConditions(std::uint8_t packed);

// The voice volume (0..7) shown for an attenuator and the attenuator stored for a volume.
int VolumeFromAttenuator(std::uint16_t attenuator);
std::uint16_t AttenuatorFromVolume(int volume);

}  // namespace gestalon::core
