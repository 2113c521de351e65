#include "project/language_list.h"

#include <fstream>
#include <iterator>

#include "settings/settings_fields.h"
#include "settings/settings_file.h"
#include "strings/text_id.h"
#include "text/format.h"
#include "text/number_parse.h"

namespace gestalon::core {
namespace {

constexpr int kLineChars = 1024;
constexpr char16_t kChoiceKey[] = u"LANGUAGE";

std::u16string Trimmed(std::u16string_view text) {
  const auto first = text.find_first_not_of(u" \t\r\n");
  if (first == std::u16string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(u" \t\r\n");
  return std::u16string(text.substr(first, last - first + 1));
}

}  // namespace

std::optional<std::vector<LanguageListLine>> ReadLanguageList(const std::filesystem::path& file) {
  auto handle = OpenSettingsFile(file, "r");
  if (!handle) {
    return std::nullopt;
  }
  std::vector<LanguageListLine> lines;
  std::u16string line;
  while (ReadSettingsLine(handle.get(), line, kLineChars) > 0) {
    const std::u16string_view content = std::u16string_view(line).substr(0, line.find(u'#'));
    if (FieldReader fields(content, u"LCID_RESOURCE"); fields.KeyFound()) {
      LanguageListLine entry;
      entry.localeId = ParseHex4(fields.NextField());
      entry.library = std::u16string(fields.NextText());
      lines.push_back(std::move(entry));
    }
    if (FieldReader fields(content, u"DEFAULT_RESOURCE"); fields.KeyFound()) {
      lines.push_back(
          {.isDefault = true, .localeId = 0, .library = std::u16string(fields.NextText())});
    }
  }
  if (!CloseSettingsFile(std::move(handle))) {
    return std::nullopt;
  }
  return lines;
}

std::vector<std::u16string> ChooseLanguageLibraries(const std::vector<LanguageListLine>& lines,
                                                    std::uint16_t localeId) {
  std::vector<std::u16string> candidates;
  std::u16string fallback;
  for (const auto& line : lines) {
    if (line.isDefault) {
      fallback = line.library;
    } else if (line.localeId == localeId) {
      candidates.push_back(line.library);
      break;
    }
  }
  if (!fallback.empty()) {
    candidates.push_back(fallback);
  }
  return candidates;
}

std::optional<StringTable> ReadLanguageModule(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  StringTable table = StringTable::Parse(bytes);
  if (table.Size() == 0) {
    return std::nullopt;
  }
  return table;
}

bool LoadLanguageResources(const std::filesystem::path& programFolder, std::uint16_t localeId,
                           TextLoader& loader) {
  const auto lines = ReadLanguageList(programFolder / kLanguageListFileName);
  if (!lines) {
    return false;
  }
  for (const std::u16string& library : ChooseLanguageLibraries(*lines, localeId)) {
    if (auto module = ReadLanguageModule(programFolder / std::filesystem::path(library))) {
      loader.SetLanguageModule(std::move(*module));
      return true;
    }
  }
  return false;
}

std::u16string TableLanguage(const StringTable& table) {
  const std::u16string* code = table.Find(TextId::kInterfaceLanguage);
  return code ? Trimmed(*code) : std::u16string();
}

bool LoadLanguageByCode(const std::filesystem::path& programFolder, std::u16string_view code,
                        TextLoader& loader) {
  if (code.empty()) {
    return false;
  }
  if (TableLanguage(loader.BuiltIn()) == code) {
    loader.ClearLanguageModule();
    return true;
  }
  const auto lines = ReadLanguageList(programFolder / kLanguageListFileName);
  if (!lines) {
    return false;
  }
  for (const auto& line : *lines) {
    auto module = ReadLanguageModule(programFolder / std::filesystem::path(line.library));
    if (module && TableLanguage(*module) == code) {
      loader.SetLanguageModule(std::move(*module));
      return true;
    }
  }
  return false;
}

std::u16string ReadLanguageChoice(const std::filesystem::path& appDataFolder) {
  auto handle = OpenSettingsFile(appDataFolder / kLanguageChoiceFileName, "r");
  if (!handle) {
    return {};
  }
  std::u16string code;
  std::u16string line;
  while (ReadSettingsLine(handle.get(), line, kLineChars) > 0) {
    if (FieldReader fields(line, kChoiceKey); fields.KeyFound()) {
      code = Trimmed(fields.NextText());
    }
  }
  CloseSettingsFile(std::move(handle));
  return code;
}

bool WriteLanguageChoice(const std::filesystem::path& appDataFolder, std::u16string_view code) {
  auto handle = OpenSettingsFile(appDataFolder / kLanguageChoiceFileName, "w");
  if (!handle) {
    return false;
  }
  WriteSettingsText(handle.get(), Format(u"%s[[%s]]\n", kChoiceKey, code));
  return CloseSettingsFile(std::move(handle));
}

void SelectInterfaceLanguage(const std::filesystem::path& programFolder,
                             const std::filesystem::path& appDataFolder,
                             std::u16string_view commandLineCode, std::uint16_t localeId,
                             TextLoader& loader) {
  const std::u16string code =
      commandLineCode.empty() ? ReadLanguageChoice(appDataFolder) : std::u16string(commandLineCode);
  if (!LoadLanguageByCode(programFolder, code, loader)) {
    LoadLanguageResources(programFolder, localeId, loader);
  }
}

}  // namespace gestalon::core
