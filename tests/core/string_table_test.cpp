#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/locale_id.h"
#include "project/language_list.h"
#include "strings/module_check.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

using testing::TempDir;
using testing::WriteBytes;

TEST(StringTable, ParsesEscapesCommentsAndBadLinesAndHoldsTheCoreTexts) {
  const auto table = StringTable::Parse(
      "\xEF\xBB\xBF# comment\r\n40016\tGestalon\r\n\n40241\ta\\r\\nb\\tc\\\\d\\x\n"
      "bad line\n12x\tno\n40009\t%s -title\n");
  EXPECT_EQ(table.Size(), 3u);
  EXPECT_EQ(table.BadLines(), 2);
  EXPECT_EQ(*table.Find(40016), u"Gestalon");
  EXPECT_EQ(*table.Find(40241), u"a\r\nb\tc\\d\\x");
  EXPECT_EQ(table.Find(1), nullptr);
  EXPECT_EQ(EscapeStringTableText(u"a\r\nb\tc\\d"), "a\\r\\nb\\tc\\\\d");
  TextLoader loader;
  EXPECT_EQ(loader.Load(TextId::kCaptionGestalon), u"Gestalon");
  EXPECT_EQ(Format(loader.Load(TextId::kTitleFormat), u"ロボ"), u"ロボ -Gestalon for QT-TB40-");
  EXPECT_EQ(loader.Load(39999), u"");
}

TEST(TextLoader, LanguageModuleReplacesTextsAndFallsBackForMissingOnes) {
  TextLoader loader(StringTable::Parse("1\tone\n2\ttwo\n"));
  loader.SetLanguageModule(StringTable::Parse("1\tuno\n3\t" + std::string(5000, 'x') + "\n"));
  EXPECT_EQ(loader.Load(1), u"uno");
  EXPECT_EQ(loader.Load(2), u"two");
  EXPECT_EQ(loader.Load(3).size(), 4095u) << "texts are cut to 4095 characters";
  loader.ClearLanguageModule();
  EXPECT_EQ(loader.Load(1), u"one");
}

TEST(LanguageList, ChoosesTheLocaleLineElseADefaultAndLoadsItsModule) {
  TempDir dir;
  TextLoader loader(StringTable::Parse("40016\tGestalon\n"));
  EXPECT_FALSE(LoadLanguageResources(dir.Path(), 0x0409, loader)) << "no list";
  EXPECT_FALSE(ReadLanguageList(dir / "vavid_resource.ini"));
  WriteBytes(dir / "vavid_resource.ini",
             "# comment LCID_RESOURCE[0409]-[[commented.tsv]]\r\n"
             "DEFAULT_RESOURCE[[default.tsv]]\r\n"
             "LCID_RESOURCE[0409]-[[en.tsv]]   # English\r\n"
             "LCID_RESOURCE[0407]-[[de.tsv]]\r\n"
             "DEFAULT_RESOURCE[[late_default.tsv]]\r\n");
  const auto lines = ReadLanguageList(dir / "vavid_resource.ini");
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 4u);
  EXPECT_EQ(ChooseLanguageLibraries(*lines, 0x0409),
            (std::vector<std::u16string>{u"en.tsv", u"default.tsv"}));
  EXPECT_EQ(ChooseLanguageLibraries(*lines, 0x0411),
            std::vector<std::u16string>{u"late_default.tsv"});

  WriteBytes(dir / "vavid_resource.ini",
             "DEFAULT_RESOURCE[[fallback.tsv]]\r\nLCID_RESOURCE[0409]-[[missing.tsv]]\r\n");
  WriteBytes(dir / "fallback.tsv", "40016\tFallback\n");
  EXPECT_TRUE(LoadLanguageResources(dir.Path(), 0x0409, loader))
      << "an unloadable locale module falls back to the default seen before it";
  EXPECT_EQ(loader.Load(40016), u"Fallback");
  TextLoader fresh(StringTable::Parse("40016\tGestalon\n"));
  WriteBytes(dir / "vavid_resource.ini", "LCID_RESOURCE[0411]-[[ja.tsv]]\r\n");
  EXPECT_FALSE(LoadLanguageResources(dir.Path(), 0x0409, fresh));
  EXPECT_EQ(fresh.Load(40016), u"Gestalon");
}

// Every language module shipped beside the program's table must be able to stand in for it.
TEST(LanguageModules, MatchTheProgramTable) {
  const std::filesystem::path folder = std::filesystem::path(GESTALON_RESOURCES_DIR) / "strings";
  int modules = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".tsv" || entry.path().filename() == "ja.tsv") {
      continue;
    }
    ++modules;
    SCOPED_TRACE(entry.path().filename().string());
    const auto module = ReadLanguageModule(entry.path());
    ASSERT_TRUE(module);
    EXPECT_EQ(module->BadLines(), 0);
    EXPECT_FALSE(TableLanguage(*module).empty()) << "Qt's translations follow this code";
    for (const ModuleProblem& problem : CheckLanguageModule(TextLoader().BuiltIn(), *module)) {
      ADD_FAILURE() << problem.id << ": " << problem.what;
    }
  }
  EXPECT_GE(modules, 1);
}

// Widths, flags and other words may change; conversions, line breaks and the ids may not.
TEST(LanguageModules, CheckFindsWhatWouldBreakTheProgram) {
  const auto program =
      StringTable::Parse("1\t%d of %s\n2\ta\\r\\nb\n3\t%.2f%% (0x%04x)\n4\t%%+7.%dfdeg\n5\tfive\n");
  const auto problemIds = [&](const std::string& module) {
    std::vector<int> ids;
    for (const ModuleProblem& problem : CheckLanguageModule(program, StringTable::Parse(module))) {
      ids.push_back(problem.id);
    }
    return ids;
  };
  const std::string good = "1\tof %-4d/%8s\n2\tA\\r\\nB\n3\t%5.1f%% (0x%x)\n4\t%%+7.%dfdeg\n";
  EXPECT_EQ(problemIds(good + "5\tV\n"), std::vector<int>{});
  EXPECT_EQ(problemIds("1\t%s of %d\n2\tA B\n3\t%.2f% (0x%04x)\n4\t+7.%dfdeg\n5\tV\n"),
            (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(problemIds("1\t%*d/%s\n2\tA\\r\\nB\n3\t%.2f%% (0x%04x)\n4\t%%+7.%dfdeg\n5\tV\n"),
            std::vector<int>{1});
  EXPECT_EQ(problemIds(good), std::vector<int>{5}) << "missing";
  EXPECT_EQ(problemIds(good + "5\tV\n6\tsix\n"), std::vector<int>{6}) << "not the program's";
}

TEST(LanguageChoice, CommandLineThenRememberedChoiceThenLocale) {
  TempDir program;
  TempDir appData;
  WriteBytes(program / "vavid_resource.ini",
             "LCID_RESOURCE[0409]-[[mods/en.tsv]]\nLCID_RESOURCE[0407]-[[mods/de.tsv]]\n");
  std::filesystem::create_directory(program / "mods");
  WriteBytes(program / "mods/en.tsv", "40016\tHello\n54040\ten\n");
  WriteBytes(program / "mods/de.tsv", "40016\tHallo\n54040\t de \n");
  const auto loaded = [&](std::u16string_view commandLine, std::uint16_t locale) {
    TextLoader loader(StringTable::Parse("40016\tKonnichiwa\n54040\tja\n"));
    SelectInterfaceLanguage(program.Path(), appData.Path(), commandLine, locale, loader);
    return loader.Load(40016);
  };
  EXPECT_EQ(ReadLanguageChoice(appData.Path()), u"");
  EXPECT_EQ(loaded(u"", 0x0409), u"Hello") << "the locale without a choice";
  EXPECT_EQ(loaded(u"ja", 0x0409), u"Konnichiwa") << "the program's own language needs no module";
  ASSERT_TRUE(WriteLanguageChoice(appData.Path(), u"de"));
  EXPECT_EQ(ReadLanguageChoice(appData.Path()), u"de");
  EXPECT_EQ(loaded(u"", 0x0409), u"Hallo") << "a module found by its own code, not its locale";
}

#ifndef _WIN32
// Puts the named environment variables back as they were when the test is done.
class ScopedEnvironment {
 public:
  explicit ScopedEnvironment(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
  }

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(AppDataFolder, FollowsXdgDataHomeElseHomeAndIsMade) {
  const ScopedEnvironment environment({"XDG_DATA_HOME", "HOME"});
  TempDir dir;
  setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  EXPECT_EQ(AppDataFolder(), dir / "data" / "GestalonZ");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "data" / "GestalonZ"));
  setenv("XDG_DATA_HOME", "", 1);
  setenv("HOME", dir.Path().c_str(), 1);
  EXPECT_EQ(AppDataFolder(), dir / ".local" / "share" / "GestalonZ") << "an empty XDG_DATA_HOME";
  setenv("HOME", "", 1);
  EXPECT_EQ(AppDataFolder(), std::filesystem::path()) << "an empty HOME";
}

TEST(LocaleId, UserDefaultComesFromTheFirstSetVariableAsAWindowsIdentifier) {
  const ScopedEnvironment environment({"LC_ALL", "LC_MESSAGES", "LANG"});
  setenv("LC_ALL", "", 1);
  setenv("LC_MESSAGES", "de_DE.UTF-8", 1);
  setenv("LANG", "ja_JP.UTF-8", 1);
  EXPECT_EQ(UserDefaultLocaleId(), 0x0407) << "an empty LC_ALL is not set";
  unsetenv("LC_MESSAGES");
  EXPECT_EQ(UserDefaultLocaleId(), 0x0411);
  unsetenv("LC_ALL");
  unsetenv("LANG");
  EXPECT_EQ(UserDefaultLocaleId(), 0x0409);
  EXPECT_EQ(LocaleIdFromPosixName("en_GB.utf8"), 0x0809);
  EXPECT_EQ(LocaleIdFromPosixName("pt_BR.UTF-8@euro"), 0x0416);
  EXPECT_EQ(LocaleIdFromPosixName("de_LU"), 0x0407) << "unknown country: the language's main one";
  EXPECT_EQ(LocaleIdFromPosixName(""), 0x0409);
}
#endif

}  // namespace
}  // namespace gestalon::core
