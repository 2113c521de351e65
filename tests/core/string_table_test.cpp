#include <gtest/gtest.h>

#include "platform/locale_id.h"
#include "project/language_list.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

using testing::TempDir;
using testing::WriteBytes;

TEST(StringTable, ParsesEscapesCommentsAndBadLines) {
  const auto table = StringTable::Parse(
      "\xEF\xBB\xBF# comment\r\n40016\tGestalon\r\n\n40241\ta\\r\\nb\\tc\\\\d\\x\n"
      "bad line\n12x\tno\n40009\t%s -title\n");
  EXPECT_EQ(table.Size(), 3u);
  EXPECT_EQ(table.BadLines(), 2);
  EXPECT_EQ(*table.Find(40016), u"Gestalon");
  EXPECT_EQ(*table.Find(40241), u"a\r\nb\tc\\d\\x");
  EXPECT_EQ(table.Find(1), nullptr);
  EXPECT_EQ(EscapeStringTableText(u"a\r\nb\tc\\d"), "a\\r\\nb\\tc\\\\d");
}

TEST(StringTable, ProgramTableHoldsTheCoreTexts) {
  TextLoader loader;
  EXPECT_EQ(loader.Load(TextId::kCaptionGestalon), u"Gestalon");
  EXPECT_EQ(Format(loader.Load(TextId::kTitleFormat), u"ロボ"), u"ロボ -Gestalon for QT-TB40-");
  EXPECT_EQ(loader.Load(TextId::kMsgSettingsFileFailedFatal).substr(0, 23),
            u"以下の設定ファイルの読み込みに失敗しました\r\n");
  EXPECT_EQ(loader.Load(TextId::kDefaultProjectPathFmt), u"%stemp\\temp.KJZ");
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

TEST(LanguageList, ChoosesLocaleLineElseDefault) {
  TempDir dir;
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
  EXPECT_FALSE(ReadLanguageList(dir / "missing.ini"));
}

TEST(LanguageList, LoadsTheModuleOrKeepsTheProgramTexts) {
  TempDir dir;
  TextLoader loader(StringTable::Parse("40016\tGestalon\n"));
  EXPECT_FALSE(LoadLanguageResources(dir.Path(), 0x0409, loader)) << "no list";

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

TEST(LocaleId, MapsPosixNamesToWindowsIdentifiers) {
  EXPECT_EQ(LocaleIdFromPosixName("ja_JP.UTF-8"), 0x0411);
  EXPECT_EQ(LocaleIdFromPosixName("en_US"), 0x0409);
  EXPECT_EQ(LocaleIdFromPosixName("en_GB.utf8"), 0x0809);
  EXPECT_EQ(LocaleIdFromPosixName("pt_BR.UTF-8@euro"), 0x0416);
  EXPECT_EQ(LocaleIdFromPosixName("de"), 0x0407);
  EXPECT_EQ(LocaleIdFromPosixName("de_LU"), 0x0407) << "unknown country: the language's main one";
  EXPECT_EQ(LocaleIdFromPosixName("C"), 0x0409);
  EXPECT_EQ(LocaleIdFromPosixName(""), 0x0409);
}

}  // namespace
}  // namespace gestalon::core
