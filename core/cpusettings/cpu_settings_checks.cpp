#include "cpusettings/cpu_settings_checks.h"

#include <algorithm>

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/number_parse.h"

namespace gestalon::core {
namespace {

constexpr std::int32_t kWordMin = -32768, kWordMax = 32767;

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
  return value >= low && value <= high;
}

// The motor fields take digits and signs only; what the C conversion makes of them is the value
// (an empty field is 0).
bool IsMotorNumberText(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char16_t c) { return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-'; });
}

// An integer as the ID and LED fields want it: an optional sign and at least one digit.
bool IsIntegerText(std::u16string_view text) {
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    text.remove_prefix(1);
  }
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::uint16_t Word(std::int32_t value) {
  return static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
}

}  // namespace

MotorCheck CheckAndStoreMotor(const MotorFieldTexts& texts, MotorRecord& motor) {
  const std::int32_t base = ParseDecimal(texts.base);
  if (!InRange(base, kWordMin, kWordMax)) {
    return {LoadText(TextId::kMsgMotorBaseRange), MotorField::kBase};
  }
  std::array<std::int32_t, 4> coefficients{};
  for (std::size_t t = 0; t < coefficients.size(); ++t) {
    const auto field =
        static_cast<MotorField>(static_cast<int>(MotorField::kCoefficient0) + static_cast<int>(t));
    if (!IsMotorNumberText(texts.coefficients[t])) {
      return {LoadText(TextId::kMsgMotorParamNotNumber), field};
    }
    coefficients[t] = ParseDecimal(texts.coefficients[t]);
    if (!InRange(coefficients[t], kWordMin, kWordMax)) {
      return {LoadText(TextId::kMsgMotorCoefRange), field};
    }
  }
  std::array<std::int32_t, 2> limits{};
  const std::array<std::u16string_view, 2> limitTexts = {texts.lowerLimit, texts.upperLimit};
  for (std::size_t i = 0; i < limits.size(); ++i) {
    const MotorField field = i == 0 ? MotorField::kLowerLimit : MotorField::kUpperLimit;
    if (!IsMotorNumberText(limitTexts[i])) {
      return {LoadText(TextId::kMsgMotorParamNotNumber), field};
    }
    limits[i] = ParseDecimal(limitTexts[i]);
    if (!InRange(limits[i], kWordMin, kWordMax)) {
      return {LoadText(TextId::kMsgMotorLimitRange), field};
    }
  }
  motor.words[MotorWord::kOfs] = Word(base);
  for (std::size_t t = 0; t < coefficients.size(); ++t) {
    motor.words[TermCoefficientWord(static_cast<int>(t))] = Word(coefficients[t]);
  }
  motor.words[MotorWord::kLimL] = Word(limits[0]);
  motor.words[MotorWord::kLimH] = Word(limits[1]);
  return {};
}

std::u16string CheckControlCycle(std::u16string_view text, std::int32_t& cycle) {
  const std::int32_t value = ParseDecimal(text);
  if (!InRange(value, 0, 65535)) {
    return LoadText(TextId::kMsgBasicCycleRange);
  }
  cycle = value;
  return {};
}

std::u16string CheckLedCoefficient(int channel, std::u16string_view text, std::uint16_t& value) {
  const std::int32_t number = ParseDecimal(text);
  if (!IsIntegerText(text) || !InRange(number, 0, 65535)) {
    return Format(LoadText(TextId::kFmtMsgLedCoefInvalid), channel);
  }
  value = static_cast<std::uint16_t>(number);
  return {};
}

int ServoIdCount(const SerialBus& bus) {
  return std::min(static_cast<int>(bus.SBUS_N & 0xFFu), kServoIdsPerPort);
}

std::u16string CheckServoIdAdd(const SerialBus& bus) {
  if (ServoIdCount(bus) >= kServoIdsPerPort) {
    return Format(LoadText(TextId::kFmtMsgTooManyIdsPerPort), kServoIdsPerPort);
  }
  return {};
}

std::u16string CheckServoIdEdit(const SerialBus& bus, int row, std::u16string_view text,
                                std::uint8_t& id) {
  const std::int32_t value = ParseDecimal(text);
  if (!IsIntegerText(text) || !InRange(value, 0, 255)) {
    return LoadText(TextId::kMsgServoIdRange);
  }
  for (int other = 0; other < ServoIdCount(bus); ++other) {
    if (other != row && bus.SBUS_ID[static_cast<std::size_t>(other)] == value) {
      return LoadText(TextId::kMsgServoIdDuplicate);
    }
  }
  id = static_cast<std::uint8_t>(value);
  return {};
}

bool InsertServoId(SerialBus& bus, int row) {
  const int count = ServoIdCount(bus);
  if (count >= kServoIdsPerPort) {
    return false;
  }
  if (row < 0 || row > count) {
    row = count;
  }
  auto ids = bus.SBUS_ID.begin();
  std::copy_backward(ids + row, ids + count, ids + count + 1);
  bus.SBUS_N = static_cast<std::uint32_t>(count + 1);
  return true;
}

void RemoveServoId(SerialBus& bus, int row) {
  const int count = ServoIdCount(bus);
  if (row < 0 || row >= count) {
    return;
  }
  auto ids = bus.SBUS_ID.begin();
  std::copy(ids + row + 1, ids + count, ids + row);
  bus.SBUS_ID[static_cast<std::size_t>(count - 1)] = 0;
  bus.SBUS_N = static_cast<std::uint32_t>(count - 1);
}

std::uint8_t PackTermConditions(const std::array<int, 4>& conditions) {
  unsigned packed = 0;
  for (unsigned t = 0; t < conditions.size(); ++t) {
    if (conditions[t] == 1) {
      packed |= 1u << (2 * t);
    } else if (conditions[t] == 2) {
      packed |= 1u << (2 * t + 1);
    }
  }
  return static_cast<std::uint8_t>(packed);
}

std::array<int, 4> UnpackTermConditions(std::uint8_t packed) {
  std::array<int, 4> conditions{};
  for (unsigned t = 0; t < conditions.size(); ++t) {
    if ((packed >> (2 * t)) & 1u) {
      conditions[t] = 1;
    } else if ((packed >> (2 * t + 1)) & 1u) {
      conditions[t] = 2;
    }
  }
  return conditions;
}

int VolumeFromAttenuator(std::uint16_t attenuator) {
  return 7 - std::min<int>(attenuator, 7);
}

std::uint16_t AttenuatorFromVolume(int volume) {
  return static_cast<std::uint16_t>(7 - std::clamp(volume, 0, 7));
}

}  // namespace gestalon::core
