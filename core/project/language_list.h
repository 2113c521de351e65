#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "strings/text_loader.h"

namespace gestalon::core {

inline constexpr char16_t kLanguageListFileName[] = u"vavid_resource.ini";
// In the application data folder: the interface language the user chose by hand.
inline constexpr char16_t kLanguageChoiceFileName[] = u"language.dat";

struct LanguageListLine {
  bool isDefault = false;      // "DEFAULT_RESOURCE" line, else "LCID_RESOURCE"
  std::uint16_t localeId = 0;  // LCID_RESOURCE only
  std::u16string library;
};

// The "DEFAULT_RESOURCE" and "LCID_RESOURCE" lines of a language list, in file order; text from
// the first '#' of a line is a comment. nullopt when the file cannot be opened.
std::optional<std::vector<LanguageListLine>> ReadLanguageList(const std::filesystem::path& file);

// The libraries to try for `localeId`, in order: the one of the first LCID_RESOURCE line with that
// identifier (which ends the search), then the last DEFAULT_RESOURCE seen before the search ended.
std::vector<std::u16string> ChooseLanguageLibraries(const std::vector<LanguageListLine>& lines,
                                                    std::uint16_t localeId);

// Reads a language module (a string table file). nullopt when it cannot be read or holds no text.
std::optional<StringTable> ReadLanguageModule(const std::filesystem::path& file);

// Start-up step: picks the module for `localeId` from the list in `programFolder` and puts it into
// `loader`. When the chosen locale module cannot be loaded, the default seen before it is tried.
// False (the program's own texts stay in use) when no module was loaded.
bool LoadLanguageResources(const std::filesystem::path& programFolder, std::uint16_t localeId,
                           TextLoader& loader);

// The language code a table gives for itself (its kInterfaceLanguage text, trimmed); empty when
// it gives none.
std::u16string TableLanguage(const StringTable& table);

// Puts the texts of language `code` into `loader`: the program's own table when it is in that
// language, else the first module named in the list in `programFolder` that says it is. False
// (loader unchanged) when no table is in that language.
bool LoadLanguageByCode(const std::filesystem::path& programFolder, std::u16string_view code,
                        TextLoader& loader);

// The language chosen by hand, kept in `appDataFolder`; empty when none was chosen.
std::u16string ReadLanguageChoice(const std::filesystem::path& appDataFolder);
bool WriteLanguageChoice(const std::filesystem::path& appDataFolder, std::u16string_view code);

// Start-up step: the language asked for on the command line, else the one chosen by hand, else
// the module for the user's locale (LoadLanguageResources). A code that no table has falls
// through to the locale.
void SelectInterfaceLanguage(const std::filesystem::path& programFolder,
                             const std::filesystem::path& appDataFolder,
                             std::u16string_view commandLineCode, std::uint16_t localeId,
                             TextLoader& loader);

}  // namespace gestalon::core
