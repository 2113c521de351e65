#include "cpusettings/cpu_settings.h"

#include <algorithm>

#include "text/code_page.h"

namespace gestalon::core {

std::uint16_t Word20FileValue(const MotorRecord& motor) {
  return static_cast<std::uint16_t>(motor.word20A << 8 | motor.word20B);
}

void SetWord20FromFileValue(MotorRecord& motor, std::uint32_t value) {
  motor.word20A = static_cast<std::uint8_t>(value >> 8);
  motor.word20B = static_cast<std::uint8_t>(value);
}

std::u16string RobotName(const CpuSettings& settings) {
  const auto& bytes = settings.modelName;
  const auto end = std::find(bytes.begin(), bytes.end(), '\0');
  return FromAnsi(std::string_view(bytes.data(), static_cast<std::size_t>(end - bytes.begin())));
}

void SetRobotName(CpuSettings& settings, std::u16string_view name) {
  const std::string bytes = ToAnsiCut(name, settings.modelName.size() - 1);
  settings.modelName.fill('\0');
  std::copy(bytes.begin(), bytes.end(), settings.modelName.begin());
}

std::string ToAnsiCut(std::u16string_view text, std::size_t maxBytes, std::size_t* consumed) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    // A surrogate pair converts as one character.
    std::size_t units = 1;
    if (text[pos] >= 0xD800 && text[pos] <= 0xDBFF && pos + 1 < text.size() &&
        text[pos + 1] >= 0xDC00 && text[pos + 1] <= 0xDFFF) {
      units = 2;
    }
    const std::string bytes = ToAnsi(text.substr(pos, units));
    if (out.size() + bytes.size() > maxBytes) {
      break;
    }
    out += bytes;
    pos += units;
  }
  if (consumed) {
    *consumed = pos;
  }
  return out;
}

}  // namespace gestalon::core
