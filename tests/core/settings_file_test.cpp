#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "temp_dir.h"
#include "text/code_page.h"

namespace gestalon::core {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::Utf16Bytes;
using testing::WriteBytes;

// Every line ReadSettingsLine returns until it returns 0.
std::vector<std::u16string> ReadAll(const std::filesystem::path& path, int maxChars = 1024) {
  auto file = OpenSettingsFile(path, "r");
  std::vector<std::u16string> lines;
  std::u16string line;
  while (ReadSettingsLine(file.get(), line, maxChars) > 0) {
    lines.push_back(line);
  }
  return lines;
}

TEST(SettingsFileOpen, ModesAreCheckedCaseInsensitively) {
  TempDir dir;
  const auto path = dir / "a.ini";
  WriteBytes(path, "x\r\n");
  EXPECT_EQ(OpenSettingsFile(path, "rb"), nullptr);
  EXPECT_EQ(OpenSettingsFile(path, "wb"), nullptr);
  EXPECT_EQ(OpenSettingsFile(path, "a"), nullptr);
  EXPECT_EQ(OpenSettingsFile(path, ""), nullptr);
  EXPECT_NE(OpenSettingsFile(path, "R"), nullptr);
  EXPECT_NE(OpenSettingsFile(path, "r+"), nullptr);
  EXPECT_EQ(OpenSettingsFile(dir / "missing.ini", "r"), nullptr);
  EXPECT_EQ(OpenSettingsFile(dir / "no_such_folder" / "a.ini", "w"), nullptr);
}

TEST(SettingsFileOpen, FolderOrEmptyNameIsRefusedInEveryMode) {
  // An empty settings file name resolves to the project folder itself.
  TempDir dir;
  for (const char* mode : {"r", "r+", "w", "w+"}) {
    EXPECT_EQ(OpenSettingsFile(dir.Path(), mode), nullptr) << mode;
    EXPECT_EQ(OpenSettingsFile(dir / "", mode), nullptr) << mode;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "no temporary file was made";
}

#ifdef __linux__
TEST(SettingsFileOpen, ReadErrorIsReportedOnCloseNotTakenForTheEnd) {
  auto file = OpenSettingsFile("/proc/self/mem", "r");  // opens, but reading offset 0 fails
  ASSERT_NE(file, nullptr);
  std::u16string line;
  EXPECT_EQ(ReadSettingsLine(file.get(), line, 1024), 0);
  EXPECT_FALSE(CloseSettingsFile(std::move(file)));
}
#endif

TEST(SettingsFileOpen, ReadWriteKeepsTheFirstBytesAndWritesAfterTheMark) {
  TempDir dir;
  const auto path = dir / "a.ini";
  WriteBytes(path, "KEY:[1]\r\n");
  CloseSettingsFile(OpenSettingsFile(path, "r+"));
  EXPECT_EQ(ReadBytes(path), "KEY:[1]\r\n");
  WriteBytes(path, "");
  auto empty = OpenSettingsFile(path, "r+");
  WriteSettingsText(empty.get(), u"A:[1]\n");
  ASSERT_TRUE(CloseSettingsFile(std::move(empty)));
  EXPECT_EQ(ReadBytes(path), Utf16Bytes(u"A:[1]\r\n")) << "the mark comes first";
  auto existing = OpenSettingsFile(path, "r+");
  WriteSettingsText(existing.get(), u"B");
  ASSERT_TRUE(CloseSettingsFile(std::move(existing)));
  EXPECT_EQ(ReadBytes(path), Utf16Bytes(u"B:[1]\r\n"));
}

TEST(SettingsFileWrite, WritesBomAndCrLfAndReplacesOnlyOnClose) {
  TempDir dir;
  const auto path = dir / "out.ini";
  WriteBytes(path, "old");
  auto file = OpenSettingsFile(path, "W");
  ASSERT_NE(file, nullptr);
  WriteSettingsText(file.get(), u"A:[1]\n\n");
  WriteSettingsText(file.get(), u"");
  WriteSettingsText(file.get(), u"名[[x]]\n");
  EXPECT_EQ(ReadBytes(path), "old") << "the old file stays until the write completes";
  ASSERT_TRUE(CloseSettingsFile(std::move(file)));
  EXPECT_EQ(ReadBytes(path), Utf16Bytes(u"A:[1]\r\n\r\n名[[x]]\r\n"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
      << "no temporary file is left behind";
  EXPECT_EQ(ReadAll(path), (std::vector<std::u16string>{u"A:[1]\r", u"\r", u"名[[x]]\r"}));
}

TEST(SettingsFileWrite, AbandonedWriteKeepsThePreviousFile) {
  TempDir dir;
  const auto path = dir / "out.ini";
  WriteBytes(path, "previous");
  {
    auto file = OpenSettingsFile(path, "w");
    WriteSettingsText(file.get(), u"half written");
  }
  EXPECT_EQ(ReadBytes(path), "previous");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  EXPECT_FALSE(CloseSettingsFile(nullptr));
}

TEST(ReadSettingsLine, Utf16FileGivesLinesWithTheirCrAndWithoutTheBom) {
  TempDir dir;
  const auto path = dir / "u.ini";
  WriteBytes(path, Utf16Bytes(u"SYSINI:[[sys.ini]]\r\n\r\nロボット[[名前]]\r\nlast"));
  EXPECT_EQ(ReadAll(path), (std::vector<std::u16string>{u"SYSINI:[[sys.ini]]\r", u"\r",
                                                        u"ロボット[[名前]]\r", u"last"}));
}

TEST(ReadSettingsLine, AnsiFileIsConvertedFromCodePage932) {
  TempDir dir;
  const auto path = dir / "a.ini";
  WriteBytes(path, ToAnsi(u"ROBOT:[[ロボット表示]]-[[temp\\]]\r\n\r\n２行目\r\n"));
  EXPECT_EQ(ReadAll(path), (std::vector<std::u16string>{u"ROBOT:[[ロボット表示]]-[[temp\\]]\r",
                                                        u"\r", u"２行目\r"}));
}

TEST(ReadSettingsLine, LfOnlyLineEndsTheReadingInBothEncodings) {
  TempDir dir;
  WriteBytes(dir / "u.ini", Utf16Bytes(u"A\r\n\nB\r\n"));
  WriteBytes(dir / "a.ini", "A\r\n\nB\r\n");
  EXPECT_EQ(ReadAll(dir / "u.ini"), std::vector<std::u16string>{u"A\r"});
  EXPECT_EQ(ReadAll(dir / "a.ini"), std::vector<std::u16string>{u"A\r"});
}

TEST(ReadSettingsLine, Utf16WithoutBomIsReadAsAnsi) {
  TempDir dir;
  const auto path = dir / "nobom.ini";
  WriteBytes(path, Utf16Bytes(u"AB\r\n", false));
  auto file = OpenSettingsFile(path, "r");
  std::u16string line;
  // The ANSI reading stops at the first zero byte: only "A" comes out.
  EXPECT_EQ(ReadSettingsLine(file.get(), line, 1024), 1);
  EXPECT_EQ(line, u"A");
}

TEST(ReadSettingsLine, LongUtf16LineLosesOneCharacterAtTheCut) {
  TempDir dir;
  const auto path = dir / "u.ini";
  WriteBytes(path, Utf16Bytes(u"ABCDEFGHIJKLMNO\r\nnext\r\n"));
  EXPECT_EQ(ReadAll(path, 10), (std::vector<std::u16string>{u"ABCDEFGHIJ", u"LMNO\r", u"next\r"}));
}

TEST(ReadSettingsLine, LongAnsiLineLosesItsRest) {
  TempDir dir;
  const auto path = dir / "a.ini";
  WriteBytes(path, ToAnsi(u"あいうえおかきくけこさしす\r\nnext\r\n"));
  EXPECT_EQ(ReadAll(path, 10), (std::vector<std::u16string>{u"あいうえおかきくけこ", u"next\r"}));
}

TEST(ReadSettingsLine, AnsiLineLongerThanOneChunkContinuesAfterItsLf) {
  TempDir dir;
  const auto path = dir / "a.ini";
  WriteBytes(path, std::string(9000, 'x') + "\r\nnext\r\n");
  const auto lines = ReadAll(path, 100);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::u16string(100, u'x'));
  EXPECT_EQ(lines[1], u"next\r");
}

// Lines of varying length so that many of them straddle the 8190-byte read boundary.
std::vector<std::u16string> BoundaryLines(char16_t wide) {
  std::vector<std::u16string> lines;
  for (int i = 0; i < 700; ++i) {
    std::u16string line = u"KEY" + std::u16string(static_cast<std::size_t>(i % 37), wide) + u":[" +
                          std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u"]";
    lines.push_back(line);
  }
  return lines;
}

TEST(ReadSettingsLine, ReadsAcrossTheChunkBoundaryInBothEncodings) {
  TempDir dir;
  for (const char16_t wide : {u'w', u'漢'}) {
    const auto lines = BoundaryLines(wide);
    std::u16string text;
    for (const auto& line : lines) {
      text += line + u"\r\n";
    }
    WriteBytes(dir / "u.ini", Utf16Bytes(text));
    WriteBytes(dir / "a.ini", ToAnsi(text));
    ASSERT_GT(ToAnsi(text).size(), 2u * 8190);
    std::vector<std::u16string> expected;
    for (const auto& line : lines) {
      expected.push_back(line + u"\r");
    }
    EXPECT_EQ(ReadAll(dir / "u.ini"), expected);
    EXPECT_EQ(ReadAll(dir / "a.ini"), expected);
  }
}

TEST(ReadSettingsLine, NullHandleAndEmptyFileGiveZero) {
  TempDir dir;
  std::u16string line = u"stale";
  EXPECT_EQ(ReadSettingsLine(nullptr, line, 1024), 0);
  EXPECT_TRUE(line.empty());
  WriteBytes(dir / "bom_only.ini", "\xFF\xFE");
  EXPECT_TRUE(ReadAll(dir / "bom_only.ini").empty());
}

}  // namespace
}  // namespace gestalon::core
