#include "cpusettings/cpu_settings_file.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/replacing_file.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/code_page.h"
#include "text/format.h"
#include "text/number_parse.h"
#include "text/truncate.h"
#include "ui_port/prompter.h"

namespace gestalon::core {
namespace {

// Board addresses the script writes.
constexpr std::int64_t kAdrModelName = 0x0020;
constexpr std::int64_t kModelNameBytesRead = 16;
constexpr std::int64_t kAdrControlCycle = 0x0040;
constexpr std::int64_t kAdrVoiceAttenuator = 0x0046;
constexpr std::int64_t kAdrServoPower = 0x0048;
constexpr std::int64_t kAdrSerialBuses = 0x00C0;
constexpr std::int64_t kSerialBusBytes = 16;
constexpr std::int64_t kAdrInterpolation = 0x0B80;
constexpr std::int64_t kAdrInterpolationResets[] = {0x0B44, 0x0B54, 0x0B64};
constexpr std::int64_t kAdrOverrides = 0x0D00;
constexpr int kOverrideCount = 64;
constexpr unsigned kOverrideInitial = 0x8000;
constexpr std::int64_t kAdrLedEnable = 0x0EA0;
constexpr std::int64_t kAdrLedTables = 0x0EB0;  // first, second, third word tables, 16 bytes each
constexpr std::int64_t kLedTableBytes = 16;
constexpr std::int64_t kAdrControllerEnable = 0x0EE0;
constexpr std::int64_t kAdrCancelBits = 0x0EE6;
constexpr std::int64_t kAdrThirdEnable = 0x0EF0;
constexpr std::int64_t kAdrMotors = 0x1000;
constexpr std::int64_t kMotorBytes = 64;

// Newest script format this program understands.
constexpr std::int32_t kNewestFormat = 2;

constexpr char16_t kCommentChar = u'#';
constexpr std::string_view kLineEnd = "\r\n";

// ---- Writing ----

template <typename... Args>
void AppendComment(std::string& out, int textId, const Args&... args) {
  out += ToAnsi(Format(LoadText(textId), kCommentChar, args...));
  out += kLineEnd;
}

template <typename Range>
std::vector<std::string> FormatEach(std::u16string_view format, const Range& values) {
  std::vector<std::string> texts;
  for (const auto& value : values) {
    texts.push_back(ToAnsi(Format(format, value)));
  }
  return texts;
}

// A mem_w element at the top level. With `perLine` 0 the values stand between the tags on one
// line; otherwise they follow in tab-indented lines of `perLine` values.
void AppendMemW(std::string& out, int size, std::int64_t address,
                const std::vector<std::string>& values, std::size_t perLine) {
  out += ToAnsi(Format(u"<mem_w size=\"%d\" adr=\"0x%04x\">", size, address));
  if (perLine == 0) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i > 0) {
        out += ',';
      }
      out += values[i];
    }
  } else {
    out += kLineEnd;
    for (std::size_t i = 0; i < values.size(); ++i) {
      const bool last = i + 1 == values.size();
      if (i % perLine == 0) {
        out += '\t';
      }
      out += values[i];
      if (!last) {
        out += ',';
      }
      if (last || i % perLine == perLine - 1) {
        out += kLineEnd;
      }
    }
  }
  out += "</mem_w>";
  out += kLineEnd;
}

void AppendMemW(std::string& out, int size, std::int64_t address, std::string value) {
  AppendMemW(out, size, address, std::vector<std::string>{std::move(value)}, 0);
}

// A text inside a quoted attribute or a comment line: a double quote would end the value early
// and a line break would end the comment, leaving the rest of the text to be read as elements
// and values, so both are replaced.
std::u16string AttributeText(std::u16string_view text) {
  std::u16string safe(text);
  for (char16_t& c : safe) {
    if (c == u'"') {
      c = u'\'';
    } else if (c < 0x20) {
      c = u' ';
    }
  }
  return safe;
}

void AppendModelName(std::string& out, const CpuSettings& settings) {
  // The name itself goes into the mem_w values byte for byte; the comment only shows it.
  AppendComment(out, TextId::kCpuFileCmtRobotName, AttributeText(RobotName(settings)));
  std::vector<std::string> values;
  for (char byte : settings.modelName) {
    if (byte == '\0') {
      break;
    }
    values.push_back(ToAnsi(Format(u"0x%02x", static_cast<unsigned char>(byte))));
  }
  AppendMemW(out, 1, kAdrModelName, values, 0);
  out += kLineEnd;
}

void AppendSerialBuses(std::string& out, const CpuSettings& settings) {
  AppendComment(out, TextId::kCpuFileCmtServoIds, kSerialBusCount);
  AppendComment(out, TextId::kCpuFileCmtServoIdCols1);
  AppendComment(out, TextId::kCpuFileCmtServoIdCols2);
  for (int k = 0; k < kSerialBusCount; ++k) {
    const SerialBus& bus = settings.serialBuses[static_cast<std::size_t>(k)];
    AppendComment(out, TextId::kCpuFileCmtServoPort, k + 1);
    std::vector<std::uint32_t> bytes = {bus.SBUS_PROTOCOL, bus.SBUS_N};
    bytes.insert(bytes.end(), bus.SBUS_ID.begin(), bus.SBUS_ID.end());
    AppendMemW(out, 1, kAdrSerialBuses + kSerialBusBytes * k, FormatEach(u"0x%02x", bytes), 8);
    out += kLineEnd;
  }
}

void AppendMotors(std::string& out, const CpuSettings& settings) {
  AppendComment(out, TextId::kCpuFileCmtMotors, kMotorCount);
  AppendComment(out, TextId::kCpuFileCmtMotorCols1);
  AppendComment(out, TextId::kCpuFileCmtMotorCols2);
  AppendComment(out, TextId::kCpuFileCmtMotorCols3);
  for (int k = 0; k < kMotorCount; ++k) {
    const MotorRecord& motor = settings.motors[static_cast<std::size_t>(k)];
    const std::u16string name = AttributeText(motor.name);
    std::size_t nameUnits = 0;
    const std::string nameBytes = ToAnsiCut(name, kMotorNameChars, &nameUnits);
    AppendComment(out, TextId::kCpuFileCmtMotor, k, std::u16string_view(name).substr(0, nameUnits));
    out += "<vavid>";
    out += kLineEnd;
    out += "\t<motor name=\"" + nameBytes + "\" data=\"" + std::to_string(k) + "\"/>";
    out += kLineEnd;
    out += "</vavid>";
    out += kLineEnd;
    std::vector<std::uint16_t> words(MotorWord::kBoardWords, 0);
    std::copy(motor.words.begin(), motor.words.end() - 1, words.begin());  // word 22 stays 0
    words[MotorWord::kBytesAB] = Word20FileValue(motor);
    AppendMemW(out, 2, kAdrMotors + kMotorBytes * k, FormatEach(u"0x%04x", words), 8);
    out += kLineEnd;
  }
}

std::string CpuSettingsText(const CpuSettings& settings) {
  std::string out;
  AppendModelName(out, settings);

  AppendComment(out, TextId::kCpuFileCmtBasicCycle);
  AppendMemW(out, 4, kAdrControlCycle, ToAnsi(Format(u"%d", settings.basicControlCycle)));
  out += kLineEnd;

  AppendComment(out, TextId::kCpuFileCmtVoiceAttenuator);
  AppendMemW(out, 2, kAdrVoiceAttenuator, ToAnsi(Format(u"0x%04x", settings.voiceAttenuator)));
  out += kLineEnd;

  AppendComment(out, TextId::kCpuFileCmtInterpMethods, kInterpolationCount);
  AppendMemW(out, 1, kAdrInterpolation, FormatEach(u"%d", settings.interpolationMethods), 8);
  out += kLineEnd;

  AppendSerialBuses(out, settings);
  AppendMotors(out, settings);

  AppendComment(out, TextId::kCpuFileCmtInterpBufferReset);
  for (std::int64_t address : kAdrInterpolationResets) {
    AppendMemW(out, 1, address, "1");
  }
  out += kLineEnd;

  AppendComment(out, TextId::kCpuFileCmtServoOverride);
  AppendMemW(out, 2, kAdrOverrides,
             std::vector<std::string>(kOverrideCount, ToAnsi(Format(u"0x%04x", kOverrideInitial))),
             6);
  out += kLineEnd;

  AppendComment(out, TextId::kCpuFileCmtPadLedEnable);
  AppendMemW(out, 1, kAdrControllerEnable, ToAnsi(Format(u"%d", settings.controllerEnable)));
  AppendMemW(out, 1, kAdrLedEnable, ToAnsi(Format(u"%d", settings.ledEnable)));
  AppendMemW(out, 1, kAdrThirdEnable, ToAnsi(Format(u"%d", settings.thirdEnable)));
  out += kLineEnd;

  AppendComment(out, TextId::kCpuFileCmtPadCancelBits);
  AppendMemW(out, 2, kAdrCancelBits, ToAnsi(Format(u"%d", settings.controllerCancelBits)));
  out += kLineEnd;

  AppendComment(out, TextId::kCpuFileCmtLedStruct);
  std::vector<std::uint16_t> ledWords;
  for (const LedEntry& led : settings.leds) {
    ledWords.push_back(led.first);
  }
  for (const LedEntry& led : settings.leds) {
    ledWords.push_back(led.second);
  }
  for (const LedEntry& led : settings.leds) {
    ledWords.push_back(led.third);
  }
  AppendMemW(out, 2, kAdrLedTables, FormatEach(u"0x%04x", ledWords), 8);
  out += kLineEnd;

  AppendComment(out, TextId::kCpuFileCmtServoOn);
  AppendMemW(out, 2, kAdrServoPower, "0x0001");
  out += kLineEnd;

  AppendComment(out, TextId::kCpuFileCmtStartupMotion);
  out += "<jump filename=\"" + ToAnsi(AttributeText(settings.startupMotion)) + "\"/>";
  out += kLineEnd;
  out += kLineEnd;
  return out;
}

// ---- Reading ----

// Longest pieces the reader keeps; longer ones are read past and cut.
constexpr std::size_t kMaxTagName = 64;
constexpr std::size_t kMaxAttributeText = 4096;
constexpr std::size_t kMaxValueText = 64;
// The current address never leaves this range, however many values a file holds.
constexpr std::int64_t kAddressLimit = std::int64_t{1} << 40;

bool IsSeparator(char c) {
  return c == ',' || c == '=' || c == ' ' || c == '"' || c == '\t' || c == '\r' || c == '\n';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Bytes of a number as UTF-16 for ParseNumberText; only ASCII matters to it.
std::int32_t ParseNumberBytes(std::string_view bytes) {
  std::u16string text;
  for (char c : bytes) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  }
  return ParseNumberText(text);
}

// The value of attribute `wanted` in a tag's attribute text (`name="value"`, blanks allowed
// around '='; an unquoted value ends at a blank or '/'). The first occurrence counts.
std::optional<std::string_view> FindAttribute(std::string_view attributes,
                                              std::string_view wanted) {
  std::size_t pos = 0;
  const std::size_t n = attributes.size();
  auto skipBlanks = [&] {
    while (pos < n && IsBlank(attributes[pos])) {
      ++pos;
    }
  };
  while (pos < n) {
    skipBlanks();
    const std::size_t keyStart = pos;
    while (pos < n && !IsBlank(attributes[pos]) && attributes[pos] != '=' &&
           attributes[pos] != '/' && attributes[pos] != '"') {
      ++pos;
    }
    const std::string_view key = attributes.substr(keyStart, pos - keyStart);
    skipBlanks();
    if (pos < n && attributes[pos] == '=') {
      ++pos;
      skipBlanks();
      std::string_view value;
      if (pos < n && attributes[pos] == '"') {
        const std::size_t start = pos + 1;
        const std::size_t close = std::min(attributes.find('"', start), n);
        value = attributes.substr(start, close - start);
        pos = close + 1;
      } else {
        const std::size_t start = pos;
        while (pos < n && !IsBlank(attributes[pos]) && attributes[pos] != '/') {
          ++pos;
        }
        value = attributes.substr(start, pos - start);
      }
      if (key == wanted) {
        return value;
      }
    } else if (key.empty() && pos < n) {
      ++pos;  // a stray '/', '"' or '='-less character
    }
  }
  return std::nullopt;
}

std::int32_t NumberAttribute(std::string_view attributes, std::string_view name) {
  const auto value = FindAttribute(attributes, name);
  return value ? ParseNumberBytes(*value) : 0;
}

// The attribute converted from the ANSI code page, cut to `maxUnits`.
std::u16string TextAttribute(std::string_view attributes, std::string_view name,
                             std::size_t maxUnits) {
  const auto value = FindAttribute(attributes, name);
  return value ? TruncateText(FromAnsi(*value), maxUnits) : std::u16string();
}

// Stores one mem_w value by its board address; addresses the record does not hold are skipped.
void StoreValue(CpuSettings& settings, std::int64_t address, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  const auto byte = static_cast<std::uint8_t>(bits);
  const auto word = static_cast<std::uint16_t>(bits);
  if (address >= kAdrModelName && address < kAdrModelName + kModelNameBytesRead) {
    settings.modelName[static_cast<std::size_t>(address - kAdrModelName)] = static_cast<char>(byte);
  } else if (address == kAdrControlCycle) {
    settings.basicControlCycle = value;
  } else if (address == kAdrVoiceAttenuator) {
    settings.voiceAttenuator = word;
  } else if (address >= kAdrSerialBuses &&
             address < kAdrSerialBuses + kSerialBusBytes * kSerialBusCount) {
    SerialBus& bus =
        settings
            .serialBuses[static_cast<std::size_t>((address - kAdrSerialBuses) / kSerialBusBytes)];
    const auto offset = static_cast<std::size_t>((address - kAdrSerialBuses) % kSerialBusBytes);
    if (offset == 0) {
      bus.SBUS_PROTOCOL = bits;
    } else if (offset == 1) {
      bus.SBUS_N = bits;
    } else {
      bus.SBUS_ID[offset - 2] = byte;
    }
  } else if (address >= kAdrInterpolation && address < kAdrInterpolation + kInterpolationCount) {
    settings.interpolationMethods[static_cast<std::size_t>(address - kAdrInterpolation)] = byte;
  } else if (address == kAdrLedEnable) {
    settings.ledEnable = bits;
  } else if (address == kAdrControllerEnable) {
    settings.controllerEnable = bits;
  } else if (address == kAdrThirdEnable) {
    settings.thirdEnable = bits;
  } else if (address == kAdrCancelBits) {
    settings.controllerCancelBits = word;
  } else if (address >= kAdrLedTables && address < kAdrLedTables + 3 * kLedTableBytes) {
    const std::int64_t offset = address - kAdrLedTables;
    LedEntry& led = settings.leds[static_cast<std::size_t>(offset % kLedTableBytes / 2)];
    const std::int64_t table = offset / kLedTableBytes;
    (table == 0 ? led.first : table == 1 ? led.second : led.third) = word;
  } else if (address >= kAdrMotors && address < kAdrMotors + kMotorBytes * kMotorCount) {
    MotorRecord& motor =
        settings.motors[static_cast<std::size_t>((address - kAdrMotors) / kMotorBytes)];
    const std::int64_t offset = (address - kAdrMotors) % kMotorBytes;
    const std::int64_t index = offset / 2;
    if (offset % 2 != 0 || index >= MotorWord::kKept) {
      return;
    }
    if (index == MotorWord::kBytesAB) {
      SetWord20FromFileValue(motor, bits);
    } else {
      motor.words[static_cast<std::size_t>(index)] = word;
    }
  }
}

class ScriptReader {
 public:
  ScriptReader(std::string_view text, CpuSettings& settings, Prompter* prompter)
      : text_(text), settings_(settings), prompter_(prompter) {}

  void Run() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (IsSeparator(c)) {
        ++pos_;
      } else if (c == '#') {
        SkipLine();
      } else if (c == '<') {
        if (!ReadTag()) {
          return;  // a tag cut off by the end of the file
        }
      } else {
        ReadValue();
      }
    }
  }

 private:
  void SkipLine() {
    const std::size_t end = text_.find('\n', pos_);
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
  }

  // One data token up to the next separator, '#' or '<'; stored while a mem_w is innermost.
  void ReadValue() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsSeparator(text_[pos_]) && text_[pos_] != '#' &&
           text_[pos_] != '<') {
      ++pos_;
    }
    if (open_.empty() || !open_.back()) {
      return;
    }
    const std::string_view token = text_.substr(start, std::min(pos_ - start, kMaxValueText));
    StoreValue(settings_, address_, ParseNumberBytes(token));
    address_ = std::clamp(address_ + size_, -kAddressLimit, kAddressLimit);
  }

  bool ReadTag() {
    ++pos_;  // '<'
    const bool closing = pos_ < text_.size() && text_[pos_] == '/';
    if (closing) {
      ++pos_;
    }
    const std::size_t nameStart = pos_;
    while (pos_ < text_.size() && !IsSeparator(text_[pos_]) && text_[pos_] != '>' &&
           text_[pos_] != '/') {
      ++pos_;
    }
    const std::string_view name = text_.substr(nameStart, std::min(pos_ - nameStart, kMaxTagName));
    const std::size_t attributesStart = pos_;
    bool quoted = false;
    char lastNonBlank = '\0';
    while (pos_ < text_.size() && (quoted || text_[pos_] != '>')) {
      const char c = text_[pos_];
      if (c == '"') {
        quoted = !quoted;
      }
      if (!IsBlank(c)) {
        lastNonBlank = c;
      }
      ++pos_;
    }
    if (pos_ >= text_.size()) {
      return false;
    }
    const std::string_view attributes =
        text_.substr(attributesStart, std::min(pos_ - attributesStart, kMaxAttributeText));
    ++pos_;  // '>'

    if (closing) {
      Leave();
      return true;
    }
    Act(name, attributes);
    // Declarations such as <?xml ...?> enclose nothing.
    const bool empty = lastNonBlank == '/' || name.starts_with('?') || name.starts_with('!');
    if (!empty) {
      Enter(name);
    }
    return true;
  }

  void Act(std::string_view name, std::string_view attributes) {
    if (name == "format") {
      if (NumberAttribute(attributes, "data") > kNewestFormat && prompter_) {
        prompter_->Show(PromptIcon::kError, LoadText(TextId::kMsgFormatMismatch));
      }
    } else if (name == "maxgain") {
      size_ = 1;
      address_ = 0;
    } else if (name == "mem_w") {
      size_ = NumberAttribute(attributes, "size");
      address_ = NumberAttribute(attributes, "adr");
    } else if (name == "motor") {
      const std::int32_t index = NumberAttribute(attributes, "data");
      if (index >= 0 && index < kMotorCount) {
        settings_.motors[static_cast<std::size_t>(index)].name =
            TextAttribute(attributes, "name", kMotorNameChars);
      }
    } else if (name == "jump") {
      settings_.startupMotion = TextAttribute(attributes, "filename", kFileNameChars);
    }
  }

  void Enter(std::string_view name) { open_.push_back(name == "mem_w"); }

  void Leave() {
    if (!open_.empty()) {
      open_.pop_back();
    }
  }

  std::string_view text_;
  CpuSettings& settings_;
  Prompter* prompter_;
  std::size_t pos_ = 0;
  // The open elements, innermost last; only whether each is a mem_w matters, so even a file
  // of endless opening tags costs one bit per tag.
  std::vector<bool> open_;
  std::int64_t size_ = 0;
  std::int64_t address_ = 0;
};

}  // namespace

bool WriteCpuSettingsFile(const std::filesystem::path& path, const CpuSettings& settings) {
  const std::string text = CpuSettingsText(settings);
  ReplacingFile file(path);
  if (!file.Valid()) {
    return false;
  }
  if (std::fwrite(text.data(), 1, text.size(), file.Stream()) != text.size()) {
    return false;
  }
  return file.Commit();
}

bool ReadCpuSettingsFile(const std::filesystem::path& path, CpuSettings& settings,
                         Prompter* prompter) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  std::string text;
  char chunk[65536];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    text.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) {
    return false;  // e.g. a folder, which opens but cannot be read
  }
  ScriptReader(text, settings, prompter).Run();
  return true;
}

}  // namespace gestalon::core
