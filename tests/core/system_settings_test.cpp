#include "project/system_settings.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <tuple>

#include "platform/paths.h"
#include "recording_ports.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/code_page.h"
#include "text/format.h"
#include "text/utf.h"

namespace gestalon::core {
namespace {

using testing::ReadBytes;
using testing::RecordingPrompter;
using testing::TempDir;
using testing::Utf16Bytes;
using testing::WriteBytes;

// A robot project folder and a program folder holding twelve skin images.
class SystemSettingsFiles {
 public:
  SystemSettingsFiles() {
    std::filesystem::create_directories(project() / "skin");
    std::filesystem::create_directories(program() / "skin");
    for (int i = 0; i < kSkinImageCount; ++i) {
      const auto name = "s" + std::to_string(i) + ".bmp";
      EXPECT_TRUE(SaveBitmapFile(program() / "skin" / name, Bitmap{1, 1, {0xFF000000u + i}}));
      EXPECT_TRUE(
          SaveBitmapFile(project() / "skin" / name, Bitmap{2, 1, {0xFFFFFFFF, 0xFF000000}}));
    }
  }

  std::filesystem::path project() const { return dir_ / "project"; }
  std::filesystem::path program() const { return dir_ / "program"; }
  std::filesystem::path file() const { return project() / "system.ini"; }

  // The twelve skin lines; entry `projectEntry` names the project folder's image.
  static std::u16string SkinLines(int projectEntry = -1) {
    std::u16string lines;
    for (int i = 0; i < kSkinImageCount; ++i) {
      lines += Format(u"_SKINDATA_FILEPATH:[%d]-[%d]-[[skin\\s%d.bmp]]\r\n", i,
                      i == projectEntry ? 1 : 0, i);
    }
    return lines;
  }

  void WriteText(std::u16string_view text) const { WriteBytes(file(), Utf16Bytes(text)); }

  bool Read(SystemSettings& settings, Prompter* prompter = nullptr) const {
    return ReadSystemSettings(file(), project(), program(), settings, prompter);
  }

 private:
  TempDir dir_;
};

std::vector<int> TextIds(const RecordingPrompter& prompter) {
  std::vector<int> ids;
  for (const auto& call : prompter.Calls()) {
    int id = 0;
    for (int candidate : {TextId::kMsgSkinImagesMissing, TextId::kMsgSkinDataProblems}) {
      if (call.text == LoadText(candidate)) {
        id = candidate;
      }
    }
    if (call.text.starts_with(LoadText(TextId::kMsgSkinImageLoadFailed).substr(0, 10))) {
      id = TextId::kMsgSkinImageLoadFailed;
    }
    ids.push_back(id);
  }
  return ids;
}

SystemSettings SampleSettings() {
  SystemSettings s;
  SetSystemSettingsDefaults(s);
  s.systemFlags = SystemFlag::kToolbar | SystemFlag::kWallpaperSecond |
                  SystemFlag::kUnknownAxisKeep | SystemFlag::kSpaceServoOff |
                  SystemFlag::kOldArrows | SystemFlag::kNewWriteMethod;
  s.toolbarButtons[0] = s.toolbarButtons[5] = s.toolbarButtons[27] = true;
  s.statusWindowX = -40;
  s.statusWindowY = 300;
  s.motionAreaColors[4] = 0x123456;
  s.gridX = 8;
  s.gridY = 12;
  s.motionAreaFont.height = -16;
  s.motionAreaFont.orientation = s.motionAreaFont.escapement = 900;
  s.motionAreaFont.SetStyleBits(5);
  s.motionAreaFont.faceName = u"ＭＳ ゴシック";
  s.comPort = 3;
  for (int i = 0; i < kSkinImageCount; ++i) {
    s.skins[i].path = Format(u"skin\\s%d.bmp", i);
  }
  s.skins[9].folderFlag = 1;
  s.skins[11].path.clear();
  return s;
}

TEST(SystemSettingsWrite, WritesTheExactLayoutAndReadsItBack) {
  SystemSettingsFiles files;
  const SystemSettings original = SampleSettings();
  ASSERT_TRUE(WriteSystemSettings(files.file(), original));
  std::u16string expected =
      u"_TOOLBAR_ENABLE:[1]-[0,5,27]\r\n"
      u"_STATUSWINDOW_ENABLE:[0]-[-40]-[300]\r\n"
      u"_UNKNOWNAXIS_PARAMLOAD:[1]\r\n"
      u"_DOUBLECLK_LINEMOV:[0]\r\n"
      u"_SPACE_GAINOFF_FLAG:[1]\r\n"
      u"_INIPOSSEL:[0]\r\n"
      u"_VOICE_ERRORMES_FLG:[0]\r\n"
      u"_OLDARROWFLAG:[1]\r\n"
      u"_ARROWMARKFLAG:[0]\r\n"
      u"NEWWRITEMETHOD:[1]\r\n"
      u"MOTAREA_COLOR:[16763080]-[16777139]-[0]-[8388608]-[1193046]-[16711680]-[255]-"
      u"[11796479]-[16757759]\r\n"
      u"MOTAREA_FONT:[-16]-[0]-[900]-[1]-[49]-[128]-[3]-[2]-[700]-[5]-[[ＭＳ ゴシック]]\r\n"
      u"\r\n"
      u"MOTAREA_GRID:[8]-[12]_WALLPAPER_ENABLE:[0]-[1]\r\n"
      u"\r\n";
  for (int i = 0; i < kSkinImageCount; ++i) {
    expected += Format(u"_SKINDATA_FILEPATH:[%d]-[%d]-[[%s]]\r\n", i, i == 9 ? 1 : 0,
                       i == 11 ? std::u16string() : Format(u"skin\\s%d.bmp", i));
  }
  const std::string first = ReadBytes(files.file());
  EXPECT_EQ(first, Utf16Bytes(expected));
  SystemSettings read;
  ASSERT_TRUE(files.Read(read));
  EXPECT_EQ(read.systemFlags, original.systemFlags);
  EXPECT_EQ(read.toolbarButtons, original.toolbarButtons);
  EXPECT_EQ(read.motionAreaColors, original.motionAreaColors);
  EXPECT_EQ(read.motionAreaFont, original.motionAreaFont);
  EXPECT_EQ(read.comPort, 0) << "not written, so not read back";
  EXPECT_EQ(read.skins[9].bitmap->width, 2) << "folder flag 1: the project folder's image";
  EXPECT_EQ(read.skins[3].bitmap->pixels[0], 0xFF000003u);
  EXPECT_FALSE(read.skins[11].bitmap);
  ASSERT_TRUE(WriteSystemSettings(files.file(), read));
  EXPECT_EQ(ReadBytes(files.file()), first);
}

TEST(SystemSettingsWrite, UnknownAxisChoiceRoundTrips) {
  SystemSettingsFiles files;
  const std::pair<const char16_t*, std::uint32_t> cases[] = {
      {u"_UNKNOWNAXIS_PARAMLOAD:[0]\r\n", SystemFlag::kUnknownAxisAsk},
      {u"_UNKNOWNAXIS_PARAMLOAD:[1]\r\n", SystemFlag::kUnknownAxisKeep},
      {u"_UNKNOWNAXIS_PARAMLOAD:[2]\r\n",
       SystemFlag::kUnknownAxisAsk | SystemFlag::kUnknownAxisKeep},
      {u"_UNKNOWNAXIS_PARAMLOAD:[7]\r\n", SystemFlag::kUnknownAxisAsk},
      {u"_TOOLBAR_ENABLE:[0]-[]\r\n", 0},
  };
  const char16_t* written[] = {u"[0]", u"[1]", u"[2]", u"[0]", u"[2]"};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    files.WriteText(cases[i].first);
    SystemSettings settings;
    ASSERT_TRUE(files.Read(settings));
    EXPECT_EQ(settings.systemFlags, cases[i].second) << i;
    ASSERT_TRUE(WriteSystemSettings(files.file(), settings));
    const std::string bytes = ReadBytes(files.file());
    EXPECT_NE(
        bytes.find(Utf16Bytes(std::u16string(u"_UNKNOWNAXIS_PARAMLOAD:") + written[i], false)),
        std::string::npos)
        << i;
  }
}

TEST(SystemSettingsRead, SharedLinesOddToolbarButtonsAndMissingBrackets) {
  SystemSettingsFiles files;
  SystemSettings settings;
  files.WriteText(u"MOTAREA_GRID:[16]-[24]_WALLPAPER_ENABLE:[1]-[0]\r\n");
  ASSERT_TRUE(files.Read(settings));
  EXPECT_EQ(std::tuple(settings.gridX, settings.gridY, settings.systemFlags),
            std::tuple(16, 24, SystemFlag::kWallpaper));

  files.WriteText(u"_TOOLBAR_ENABLE:[1]-[0,3,28]\r\n");
  ASSERT_TRUE(files.Read(settings));
  EXPECT_EQ(settings.systemFlags, SystemFlag::kToolbar);
  std::array<bool, kToolbarButtonCount> expected{};
  expected[0] = expected[3] = true;
  EXPECT_EQ(settings.toolbarButtons, expected) << "buttons outside the toolbar are ignored";
  files.WriteText(u"_TOOLBAR_ENABLE:[0]-[-1,,27,100000000000]\r\n");
  ASSERT_TRUE(files.Read(settings));
  expected = {};
  expected[27] = true;
  EXPECT_EQ(settings.toolbarButtons, expected) << "negative, empty and huge numbers are ignored";
  EXPECT_EQ(settings.systemFlags, 0u);

  files.WriteText(u"_STATUSWINDOW_ENABLE:1-2-3\r\nMOTAREA_COLOR:[1]-[2]\r\nMOTAREA_GRID:\r\n");
  ASSERT_TRUE(files.Read(settings));
  EXPECT_EQ(std::tuple(settings.systemFlags, settings.statusWindowX, settings.statusWindowY,
                       settings.gridX, settings.gridY),
            std::tuple(0u, 0, 0, 0, 0))
      << "missing brackets give zeros";
  EXPECT_EQ(settings.motionAreaColors,
            (std::array<ColorRef, 10>{1, 2, 0, 0, 0, 0, 0, 0, 0, 0xB3FFB3}));
}

TEST(SystemSettingsRead, OldFilesGetTheCheckBoxImageFromTheProgramFolder) {
  SystemSettingsFiles files;
  std::filesystem::create_directories(files.program() / "me_image");
  ASSERT_TRUE(
      SaveBitmapFile(files.program() / "me_image" / "checkbtn_.bmp", Bitmap{3, 1, {1, 2, 3}}));
  files.WriteText(SystemSettingsFiles::SkinLines(6) + u"MOTAREA_GRID:[5]-[5]\r\n");
  SystemSettings settings;
  ASSERT_TRUE(files.Read(settings));
  EXPECT_EQ(settings.skins[6].path, kCheckBoxSkinPath);
  EXPECT_EQ(settings.skins[6].folderFlag, 0);
  ASSERT_TRUE(settings.skins[6].bitmap);
  EXPECT_EQ(settings.skins[6].bitmap->width, 3);

  files.WriteText(u"MOTAREA_FONT:[-12]\r\n" + SystemSettingsFiles::SkinLines(6));
  ASSERT_TRUE(files.Read(settings));
  EXPECT_EQ(settings.skins[6].path, u"skin\\s6.bmp") << "a newer file keeps its own image";
  EXPECT_EQ(settings.skins[6].folderFlag, 1);
  EXPECT_EQ(settings.skins[6].bitmap->width, 2);

  std::filesystem::remove(files.program() / "me_image" / "checkbtn_.bmp");
  files.WriteText(SystemSettingsFiles::SkinLines(6));
  ASSERT_TRUE(files.Read(settings));
  EXPECT_EQ(settings.skins[6].path, u"skin\\s6.bmp");
}

TEST(SystemSettingsRead, HandWrittenAnsiFileWithDefaults) {
  SystemSettingsFiles files;
  std::u16string text =
      u"; 手書きの設定\r\n"
      u"  _STATUSWINDOW_ENABLE:[1]-[10]-[20] COMPORT:[4] COMTIMEOUT:[250]\r\n"
      u"MOTAREA_FONT:[-20]-[1]-[450]-[0]-[0]-[1]-[0]-[0]-[400]-[2]-"
      u"[[ＭＳ 明朝 with a face name longer than thirty-one]]\r\n"
      u"\r\n"
      u"_INIPOSSEL:[5]_ARROWMARKFLAG:[1]_VOICE_ERRORMES_FLG:[0]\r\n";
  WriteBytes(files.file(), ToAnsi(text + SystemSettingsFiles::SkinLines()));
  SystemSettings settings;
  RecordingPrompter prompter;
  ASSERT_TRUE(files.Read(settings, &prompter));
  EXPECT_TRUE(prompter.Calls().empty());
  EXPECT_EQ(settings.systemFlags, SystemFlag::kStatusWindow | SystemFlag::kBasePoseSelectedOnly |
                                      SystemFlag::kArrowMarks);
  EXPECT_EQ(std::tuple(settings.statusWindowX, settings.statusWindowY, settings.comPort,
                       settings.comTimeout),
            std::tuple(10, 20, 4, 250));
  const FontSpec& font = settings.motionAreaFont;
  EXPECT_EQ(std::tuple(font.height, font.escapement, font.orientation, font.weight, font.charSet,
                       font.underline, font.italic),
            std::tuple(-20, 450, 450, 400, 1, true, false));
  EXPECT_EQ(font.faceName, u"ＭＳ 明朝 with a face name longer t") << "31 characters at most";
  EXPECT_EQ(settings.motionAreaColors[0], 0xFFC8C8u) << "defaults where the file says nothing";
  EXPECT_EQ(settings.motionAreaColors[9], 0xB3FFB3u);
  EXPECT_EQ(settings.gridX, 10);
  EXPECT_EQ(settings.boardDrive, u'D');
  EXPECT_EQ(settings.skins[11].bitmap->pixels[0], 0xFF00000Bu);
}

TEST(SystemSettingsRead, ClearsEverythingButTheStatusWindowPosition) {
  SystemSettingsFiles files;
  SystemSettings settings = SampleSettings();
  settings.statusWindowX = 7;
  RecordingPrompter prompter;
  EXPECT_FALSE(files.Read(settings, &prompter)) << "no file: no defaults either";
  EXPECT_TRUE(prompter.Calls().empty());
  EXPECT_EQ(settings.systemFlags, 0u);
  EXPECT_EQ(settings.motionAreaColors, (std::array<ColorRef, 10>{}));
  EXPECT_EQ(settings.gridX, 0);
  EXPECT_EQ(settings.motionAreaFont, FontSpec{});
  EXPECT_TRUE(settings.skins[0].path.empty());
  EXPECT_EQ(settings.statusWindowX, 7);

  settings = SampleSettings();
  settings.systemFlags |= SystemFlag::kOnline | SystemFlag::kModified;
  settings.statusWindowX = 333;
  settings.statusWindowY = 444;
  settings.skins[2].bitmap = Bitmap{1, 1, {0}};
  files.WriteText(u"_SKINDATA_FILEPATH:[1]-[0]-[[skin\\s1.bmp]]\r\n");
  ASSERT_TRUE(files.Read(settings));
  EXPECT_EQ(settings.systemFlags, 0u);
  EXPECT_EQ(settings.statusWindowX, 333);
  EXPECT_EQ(settings.statusWindowY, 444);
  EXPECT_EQ(settings.toolbarButtons, (std::array<bool, kToolbarButtonCount>{}));
  EXPECT_EQ(settings.comPort, 0);
  EXPECT_TRUE(settings.skins[1].bitmap);
  EXPECT_TRUE(settings.skins[2].path.empty());
  EXPECT_FALSE(settings.skins[2].bitmap);
}

TEST(SystemSettingsSkins, AllTwelveLoadedShowsNothingAndOutOfRangeIndexesAreIgnored) {
  SystemSettingsFiles files;
  files.WriteText(
      SystemSettingsFiles::SkinLines() +
      u"_SKINDATA_FILEPATH:[12]-[0]-[[x.bmp]]\r\n_SKINDATA_FILEPATH:[-1]-[0]-[[x.bmp]]\r\n");
  SystemSettings settings;
  RecordingPrompter prompter;
  ASSERT_TRUE(files.Read(settings, &prompter));
  EXPECT_TRUE(prompter.Calls().empty());
  for (const SkinImage& skin : settings.skins) {
    EXPECT_TRUE(skin.bitmap);
  }
}

TEST(SystemSettingsSkins, MissingImageIsReportedWithItsFullPath) {
  SystemSettingsFiles files;
  std::filesystem::remove(files.project() / "skin" / "s4.bmp");
  files.WriteText(SystemSettingsFiles::SkinLines(4));
  SystemSettings settings;
  RecordingPrompter prompter;
  ASSERT_TRUE(files.Read(settings, &prompter));
  const auto calls = prompter.Calls();
  ASSERT_EQ(TextIds(prompter),
            (std::vector<int>{TextId::kMsgSkinImageLoadFailed, TextId::kMsgSkinImagesMissing,
                              TextId::kMsgSkinDataProblems}));
  const auto full = std::filesystem::absolute(files.project() / "skin" / "s4.bmp");
  EXPECT_EQ(calls[0].text, Format(LoadText(TextId::kMsgSkinImageLoadFailed), TextFromPath(full)));
  EXPECT_EQ(calls[0].icon, PromptIcon::kError);
  EXPECT_EQ(calls[1].icon, PromptIcon::kError);
  EXPECT_EQ(calls[2].icon, PromptIcon::kWarning);
  EXPECT_FALSE(settings.skins[4].bitmap);
  EXPECT_EQ(settings.skins[4].path, u"skin\\s4.bmp") << "the name is kept for writing back";
  EXPECT_TRUE(settings.skins[5].bitmap);

  SystemSettings quiet;
  ASSERT_TRUE(files.Read(quiet, nullptr));
  EXPECT_FALSE(quiet.skins[4].bitmap);
  EXPECT_TRUE(quiet.skins[5].bitmap);
}

TEST(SystemSettingsSkins, EmptyFileAndLaterRecoveryMessages) {
  SystemSettingsFiles files;
  files.WriteText(u"");
  SystemSettings settings;
  RecordingPrompter empty;
  ASSERT_TRUE(files.Read(settings, &empty));
  EXPECT_EQ(TextIds(empty),
            (std::vector<int>{TextId::kMsgSkinImagesMissing, TextId::kMsgSkinDataProblems}));
  EXPECT_EQ(settings.gridX, 10) << "defaults are set for an empty file";

  files.WriteText(u"_SKINDATA_FILEPATH:[0]-[0]-[[nothing.bmp]]\r\n" +
                  SystemSettingsFiles::SkinLines());
  RecordingPrompter recovered;
  ASSERT_TRUE(files.Read(settings, &recovered));
  EXPECT_EQ(TextIds(recovered),
            (std::vector<int>{TextId::kMsgSkinImageLoadFailed, TextId::kMsgSkinDataProblems}));

  std::u16string elevenAndARepeat = SystemSettingsFiles::SkinLines();
  elevenAndARepeat.replace(elevenAndARepeat.find(u"[[skin\\s7.bmp]]"), 15, u"[[]]");
  files.WriteText(u"_SKINDATA_FILEPATH:[0]-[0]-[[skin\\s0.bmp]]\r\n" + elevenAndARepeat);
  RecordingPrompter repeated;
  ASSERT_TRUE(files.Read(settings, &repeated));
  EXPECT_EQ(TextIds(repeated),
            (std::vector<int>{TextId::kMsgSkinImagesMissing, TextId::kMsgSkinDataProblems}))
      << "a repeated entry does not make up for an empty one";
}

TEST(SystemSettingsWrite, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  EXPECT_FALSE(WriteSystemSettings(dir / "missing" / "s.ini", SampleSettings()));
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

  // A target that cannot be replaced: a folder with something in it.
  std::filesystem::create_directories(dir / "s.ini");
  WriteBytes(dir / "s.ini" / "keep", "old");
  EXPECT_FALSE(WriteSystemSettings(dir / "s.ini", SampleSettings()));
  EXPECT_EQ(ReadBytes(dir / "s.ini" / "keep"), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1)
      << "no temporary file is left behind";
}

}  // namespace
}  // namespace gestalon::core
