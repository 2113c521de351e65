#include "variables/variable_defs.h"

#include <algorithm>
#include <string_view>

#include "settings/settings_file.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/number_parse.h"
#include "text/truncate.h"

namespace gestalon::core {
namespace {

constexpr int kLineChars = 1024;

// The next field of a definition line; `pos` moves past the comma, CR or LF that ends it.
std::u16string_view NextField(std::u16string_view line, std::size_t& pos) {
  if (pos >= line.size()) {
    return {};
  }
  const std::size_t end = std::min(line.find_first_of(u",\r\n", pos), line.size());
  const std::u16string_view field = line.substr(pos, end - pos);
  pos = end + 1;
  return field;
}

VariableDef ParseDefinition(std::u16string_view line) {
  std::size_t pos = 0;
  VariableDef def;
  def.address = static_cast<std::uint16_t>(ParseNumberText(NextField(line, pos)));
  def.size = ParseNumberText(NextField(line, pos));
  def.name = TruncateText(NextField(line, pos), kVariableNameChars);
  return def;
}

}  // namespace

std::optional<std::vector<VariableDef>> LoadVariableDefs(const std::filesystem::path& path) {
  SettingsFileHandle file = OpenSettingsFile(path, "r");
  if (!file) {
    return std::nullopt;
  }
  std::vector<VariableDef> defs;
  std::u16string line;
  while (ReadSettingsLine(file.get(), line, kLineChars) > 0) {
    defs.push_back(ParseDefinition(line));
  }
  if (!CloseSettingsFile(std::move(file))) {
    return std::nullopt;
  }
  return defs;
}

bool WriteVariableDefs(const std::filesystem::path& path, const std::vector<VariableDef>& defs) {
  SettingsFileHandle file = OpenSettingsFile(path, "w");
  if (!file) {
    return false;
  }
  for (const VariableDef& def : defs) {
    WriteSettingsText(file.get(), Format(u"0x%04x,%d,%s\n", def.address, def.size, def.name));
  }
  return CloseSettingsFile(std::move(file));
}

std::u16string VariableLabel(const std::vector<VariableDef>& defs, std::uint16_t address,
                             std::int32_t size, bool hexadecimal) {
  const auto found = std::find_if(defs.begin(), defs.end(), [&](const VariableDef& def) {
    return def.address == address && (size == 0 || def.size == size);
  });
  if (found == defs.end()) {
    return Format(LoadText(TextId::kVarLabelUnknownFmt), address);
  }
  return Format(LoadText(hexadecimal ? TextId::kVarLabelHexFmt : TextId::kIndexNameFmt), address,
                found->name);
}

std::u16string VariableAddressText(std::uint16_t address, bool hexadecimal) {
  return Format(hexadecimal ? u"0x%04x" : u"%d", address);
}

bool VariableMatchesSearch(const VariableDef& def, std::u16string_view search) {
  return def.name.find(search) != std::u16string::npos;
}

}  // namespace gestalon::core
