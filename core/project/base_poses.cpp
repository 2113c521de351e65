#include "project/base_poses.h"

#include <algorithm>
#include <string_view>

#include "settings/settings_fields.h"
#include "settings/settings_file.h"
#include "text/format.h"
#include "text/number_parse.h"
#include "text/truncate.h"

namespace gestalon::core {
namespace {

constexpr int kLineChars = 1024;
constexpr std::size_t kServoEnableChars = 32;

bool HasDigit(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

void ReadAxisEnable(FieldReader& fields, BasePose& pose) {
  for (std::u16string_view piece : fields.NextGroup()) {
    // A pose without enabled sliders is written with an empty list; a piece that holds no
    // number must not enable slider 0.
    if (!HasDigit(piece)) {
      continue;
    }
    const std::int32_t slider = ParseDecimal(piece);
    if (slider >= 0 && slider < kSliderCount) {
      pose.axisEnable[static_cast<std::size_t>(slider)] = true;
    }
  }
}

void ReadServoEnable(FieldReader& fields, BasePose& pose) {
  const std::u16string_view field = fields.NextField();
  for (std::size_t c = 0; c < field.size() && c < kServoEnableChars; ++c) {
    if (field[c] == u'\r' || field[c] == u'\n') {
      break;
    }
    const std::uint64_t bit = std::uint64_t{1} << c;
    if (field[c] == u'1') {
      pose.servoEnableMask |= bit;
    } else {
      pose.servoEnableMask &= ~bit;
    }
  }
}

void ReadValues(FieldReader& fields, BasePose& pose) {
  const auto pieces = fields.NextGroup();
  std::size_t next = 0;
  for (std::size_t k = 0; k < pose.values.size() && next < pieces.size(); ++k) {
    if (!pose.axisEnable[k]) {
      continue;
    }
    // Items are "0x" followed by four hexadecimal digits.
    const std::u16string_view piece = pieces[next++];
    pose.values[k] =
        static_cast<std::int16_t>(ParseHex4(piece.substr(std::min<std::size_t>(2, piece.size()))));
  }
}

std::u16string EntryText(const BasePose& pose) {
  std::u16string axes;
  std::u16string values;
  for (std::size_t k = 0; k < pose.axisEnable.size(); ++k) {
    if (!pose.axisEnable[k]) {
      continue;
    }
    if (!axes.empty()) {
      axes += u',';
      values += u',';
    }
    axes += Format(u"%d", static_cast<int>(k));
    values += Format(u"0x%04x", static_cast<std::uint16_t>(pose.values[k]));
  }
  std::u16string servos(kServoEnableChars, u'0');
  for (std::size_t c = 0; c < kServoEnableChars; ++c) {
    if (pose.servoEnableMask & (std::uint64_t{1} << c)) {
      servos[c] = u'1';
    }
  }
  std::u16string text =
      Format(u"DEFPOS:[[%s]]\n", SettingsFieldName(pose.name, kBasePoseNameMaxChars));
  text += Format(u"AXISENABLE:[%s]\n", axes);
  text += Format(u"SERVOENABLE:[%s]\n", servos);
  text += Format(u"DEFPOS_VALUE:[%s]\n", values);
  text += u"\n";
  return text;
}

}  // namespace

bool ReadBasePoses(const std::filesystem::path& file, BasePoseTable& table) {
  auto handle = OpenSettingsFile(file, "r");
  table.entries.fill(BasePose{});
  if (!handle) {
    return false;
  }
  int entry = -1;
  std::u16string line;
  while (ReadSettingsLine(handle.get(), line, kLineChars) > 0) {
    if (auto fields = FieldReader(line, u"MAINDEFPOS_NUM:"); fields.KeyFound()) {
      const std::int32_t number = fields.NextInt();
      table.current = number >= 0 && number < kBasePoseCount ? number : 0;
    }
    if (auto fields = FieldReader(line, u"DEFPOS:"); fields.KeyFound()) {
      entry = std::min(entry + 1, kBasePoseCount);
      if (entry < kBasePoseCount) {
        BasePose& pose = table.entries[static_cast<std::size_t>(entry)];
        pose.name = fields.NextName(kBasePoseNameMaxChars);
        pose.registered = true;
      }
    }
    if (entry < 0 || entry >= kBasePoseCount) {
      continue;
    }
    BasePose& pose = table.entries[static_cast<std::size_t>(entry)];
    if (auto fields = FieldReader(line, u"AXISENABLE:"); fields.KeyFound()) {
      ReadAxisEnable(fields, pose);
    }
    if (auto fields = FieldReader(line, u"SERVOENABLE:"); fields.KeyFound()) {
      ReadServoEnable(fields, pose);
    }
    if (auto fields = FieldReader(line, u"DEFPOS_VALUE:"); fields.KeyFound()) {
      ReadValues(fields, pose);
    }
  }
  if (!CloseSettingsFile(std::move(handle))) {
    table.entries.fill(BasePose{});
    return false;
  }
  return true;
}

bool WriteBasePoses(const std::filesystem::path& file, const BasePoseTable& table) {
  auto handle = OpenSettingsFile(file, "w");
  if (!handle) {
    return false;
  }
  WriteSettingsText(handle.get(), Format(u"MAINDEFPOS_NUM:[%d]\n\n", table.current));
  for (const BasePose& pose : table.entries) {
    if (!pose.registered) {
      break;
    }
    WriteSettingsText(handle.get(), EntryText(pose));
  }
  return CloseSettingsFile(std::move(handle));
}

}  // namespace gestalon::core
