#include "project/system_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "golden_files.h"
#include "platform/paths.h"
#include "recording_ports.h"
#include "shown_texts.h"
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
using testing::ShownTexts;
using testing::TempDir;
using testing::Texts;
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

// The message for a skin image that did not load, naming it.
std::u16string LoadFailed(const std::filesystem::path& image) {
  return Format(LoadText(TextId::kMsgSkinImageLoadFailed),
                TextFromPath(std::filesystem::absolute(image)));
}

// Every line of the file in the order written, the skins relative to either folder or empty.
TEST(SystemSettingsWrite, GoldenFileReadsAndWritesBackByteForByte) {
  SystemSettingsFiles files;
  const std::string golden =
      Utf16Bytes(FromUtf8(testing::CoreGolden("system_settings_written.txt")));
  WriteBytes(files.file(), golden);
  SystemSettings read;
  read.comPort = 3;
  ASSERT_TRUE(files.Read(read));
  EXPECT_EQ(read.systemFlags, SystemFlag::kToolbar | SystemFlag::kWallpaperSecond |
                                  SystemFlag::kUnknownAxisKeep | SystemFlag::kSpaceServoOff |
                                  SystemFlag::kOldArrows | SystemFlag::kNewWriteMethod);
  EXPECT_EQ(std::tuple(read.statusWindowX, read.statusWindowY, read.gridX, read.gridY,
                       read.motionAreaColors[4], read.motionAreaFont.faceName),
            std::tuple(-40, 300, 8, 12, 0x123456u, u"ＭＳ ゴシック"));
  EXPECT_EQ(read.comPort, 0) << "not in the file";
  EXPECT_EQ(read.skins[9].bitmap->width, 2) << "folder flag 1: the project folder's image";
  EXPECT_EQ(read.skins[3].bitmap->pixels[0], 0xFF000003u);
  EXPECT_FALSE(read.skins[11].bitmap);
  ASSERT_TRUE(WriteSystemSettings(files.file(), read));
  EXPECT_EQ(ReadBytes(files.file()), golden);
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
  // Skin indexes outside the twelve are ignored.
  WriteBytes(files.file(), ToAnsi(text + SystemSettingsFiles::SkinLines() +
                                  u"_SKINDATA_FILEPATH:[12]-[0]-[[x.bmp]]\r\n"
                                  u"_SKINDATA_FILEPATH:[-1]-[0]-[[x.bmp]]\r\n"));
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
  EXPECT_EQ(font.faceName, u"ＭＳ 明朝 with a face name longer t") << "31 characters at most";
  EXPECT_EQ(settings.motionAreaColors[0], 0xFFC8C8u) << "defaults where the file says nothing";
  EXPECT_EQ(settings.boardDrive, u'D');
}

TEST(SystemSettingsRead, ClearsEverythingButTheStatusWindowPosition) {
  SystemSettingsFiles files;
  SystemSettings settings;
  const auto fill = [&] {
    settings.systemFlags = SystemFlag::kToolbar | SystemFlag::kOnline | SystemFlag::kModified;
    settings.toolbarButtons[3] = true;
    settings.motionAreaColors[1] = 5;
    settings.motionAreaFont.height = 9;
    settings.statusWindowX = 333;
    settings.statusWindowY = 444;
    settings.skins[2] = {0, u"x.bmp", Bitmap{1, 1, {0}}};
  };
  fill();
  RecordingPrompter prompter;
  EXPECT_FALSE(files.Read(settings, &prompter)) << "no file: no defaults either";
  EXPECT_TRUE(prompter.Calls().empty());
  EXPECT_EQ(settings.motionAreaColors, (std::array<ColorRef, 10>{}));
  EXPECT_EQ(settings.motionAreaFont, FontSpec{});
  EXPECT_EQ(settings.statusWindowX, 333);

  fill();
  files.WriteText(u"_SKINDATA_FILEPATH:[1]-[0]-[[skin\\s1.bmp]]\r\n");
  ASSERT_TRUE(files.Read(settings));
  EXPECT_EQ(settings.systemFlags, 0u);
  EXPECT_EQ(std::pair(settings.statusWindowX, settings.statusWindowY), std::pair(333, 444));
  EXPECT_EQ(settings.toolbarButtons, (std::array<bool, kToolbarButtonCount>{}));
  EXPECT_TRUE(settings.skins[1].bitmap);
  EXPECT_TRUE(settings.skins[2].path.empty());
  EXPECT_FALSE(settings.skins[2].bitmap);
}

TEST(SystemSettingsSkins, MissingImagesAreReportedAndLaterOnesRecover) {
  SystemSettingsFiles files;
  std::filesystem::remove(files.project() / "skin" / "s4.bmp");
  files.WriteText(SystemSettingsFiles::SkinLines(4));
  SystemSettings settings;
  RecordingPrompter prompter;
  ASSERT_TRUE(files.Read(settings, &prompter));
  std::vector<std::u16string> expected =
      Texts({TextId::kMsgSkinImagesMissing, TextId::kMsgSkinDataProblems});
  expected.insert(expected.begin(), LoadFailed(files.project() / "skin" / "s4.bmp"));
  EXPECT_EQ(ShownTexts(prompter), expected);
  const auto calls = prompter.Calls();
  EXPECT_EQ(calls[0].icon, PromptIcon::kError);
  EXPECT_EQ(calls[1].icon, PromptIcon::kError);
  EXPECT_EQ(calls[2].icon, PromptIcon::kWarning);
  EXPECT_FALSE(settings.skins[4].bitmap);
  EXPECT_EQ(settings.skins[4].path, u"skin\\s4.bmp") << "the name is kept for writing back";
  EXPECT_TRUE(settings.skins[5].bitmap);

  files.WriteText(u"");
  RecordingPrompter empty;
  ASSERT_TRUE(files.Read(settings, &empty));
  EXPECT_EQ(ShownTexts(empty),
            Texts({TextId::kMsgSkinImagesMissing, TextId::kMsgSkinDataProblems}));
  EXPECT_EQ(settings.gridX, 10) << "defaults are set for an empty file";
}

TEST(SystemSettingsWrite, FailedWriteKeepsTheOldFile) {
  testing::ExpectFailedWritesChangeNothing(
      [](const std::filesystem::path& path) { return WriteSystemSettings(path, {}); });
}

}  // namespace
}  // namespace gestalon::core
