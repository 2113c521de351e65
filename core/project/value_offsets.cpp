#include "project/value_offsets.h"

#include <algorithm>
#include <limits>

#include "settings/settings_fields.h"
#include "settings/settings_file.h"
#include "text/format.h"
#include "text/number_parse.h"
#include "text/truncate.h"

namespace gestalon::core {
namespace {

constexpr int kLineChars = 1024;

std::int16_t ClampToInt16(std::int32_t value) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(
      value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

void ReadOffsets(FieldReader& fields, ValueOffsetSet& set) {
  const auto pieces = fields.NextGroup();
  const std::size_t count = std::min(pieces.size(), set.offsets.size());
  for (std::size_t k = 0; k < count; ++k) {
    set.offsets[k] = ClampToInt16(ParseDecimal(pieces[k]));
  }
}

std::u16string EntryText(const ValueOffsetSet& set) {
  std::u16string offsets;
  for (std::size_t k = 0; k < set.offsets.size(); ++k) {
    if (k > 0) {
      offsets += u',';
    }
    offsets += Format(u"%+d", set.offsets[k]);
  }
  std::u16string text =
      Format(u"DEFOFS:[[%s]]\n", SettingsFieldName(set.name, kOffsetSetNameMaxChars));
  text += Format(u"DEFOFS_VALUE:[%s]\n", offsets);
  text += u"\n";
  return text;
}

}  // namespace

bool ReadValueOffsets(const std::filesystem::path& file, ValueOffsetTable& table) {
  table.entries.fill(ValueOffsetSet{});
  table.current = -1;
  auto handle = OpenSettingsFile(file, "r");
  if (!handle) {
    handle = OpenSettingsFile(file, "r");
  }
  if (!handle) {
    return false;
  }
  int entry = -1;
  std::u16string line;
  while (ReadSettingsLine(handle.get(), line, kLineChars) > 0) {
    if (auto fields = FieldReader(line, u"DEFOFS:"); fields.KeyFound()) {
      entry = std::min(entry + 1, kOffsetSetCount);
      if (entry < kOffsetSetCount) {
        ValueOffsetSet& set = table.entries[static_cast<std::size_t>(entry)];
        set.name = fields.NextName(kOffsetSetNameMaxChars);
        set.registered = true;
      }
    }
    if (entry < 0 || entry >= kOffsetSetCount) {
      continue;
    }
    if (auto fields = FieldReader(line, u"DEFOFS_VALUE:"); fields.KeyFound()) {
      ReadOffsets(fields, table.entries[static_cast<std::size_t>(entry)]);
    }
  }
  if (!CloseSettingsFile(std::move(handle))) {
    table.entries.fill(ValueOffsetSet{});
    return false;
  }
  return true;
}

bool WriteValueOffsets(const std::filesystem::path& file, const ValueOffsetTable& table) {
  auto handle = OpenSettingsFile(file, "w");
  if (!handle) {
    return false;
  }
  for (const ValueOffsetSet& set : table.entries) {
    if (!set.registered) {
      break;
    }
    WriteSettingsText(handle.get(), EntryText(set));
  }
  return CloseSettingsFile(std::move(handle));
}

}  // namespace gestalon::core
