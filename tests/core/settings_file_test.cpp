#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "project/base_poses.h"
#include "project/recent_projects.h"
#include "project/robot_project.h"
#include "project/slider_defs.h"
#include "project/system_settings.h"
#include "project/value_offsets.h"
#include "settings/settings_fields.h"
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

TEST(SettingsFileOpen, ModesAreCheckedCaseInsensitivelyAndFoldersRefused) {
  TempDir dir;
  const auto path = dir / "a.ini";
  WriteBytes(path, "x\r\n");
  for (const char* mode : {"rb", "wb", "a", ""}) {
    EXPECT_EQ(OpenSettingsFile(path, mode), nullptr) << mode;
  }
  EXPECT_NE(OpenSettingsFile(path, "r+"), nullptr);
  EXPECT_EQ(OpenSettingsFile(dir / "missing.ini", "r"), nullptr);
  EXPECT_EQ(OpenSettingsFile(dir / "no_such_folder" / "a.ini", "w"), nullptr);
  // An empty settings file name resolves to the project folder itself.
  std::filesystem::remove(path);
  for (const char* mode : {"r", "r+", "w", "w+"}) {
    EXPECT_EQ(OpenSettingsFile(dir.Path(), mode), nullptr) << mode;
    EXPECT_EQ(OpenSettingsFile(dir / "", mode), nullptr) << mode;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "no temporary file was made";

  // "r+": an empty file gets the mark first; writing starts after it.
  WriteBytes(path, "");
  auto empty = OpenSettingsFile(path, "r+");
  WriteSettingsText(empty.get(), u"A:[1]\n");
  ASSERT_TRUE(CloseSettingsFile(std::move(empty)));
  EXPECT_EQ(ReadBytes(path), Utf16Bytes(u"A:[1]\r\n"));
  auto existing = OpenSettingsFile(path, "r+");
  WriteSettingsText(existing.get(), u"B");
  ASSERT_TRUE(CloseSettingsFile(std::move(existing)));
  EXPECT_EQ(ReadBytes(path), Utf16Bytes(u"B:[1]\r\n"));
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

TEST(SettingsFileWrite, WritesBomAndCrLfAndReplacesOnlyOnClose) {
  TempDir dir;
  const auto path = dir / "out.ini";
  WriteBytes(path, "old");
  {
    auto abandoned = OpenSettingsFile(path, "w");
    WriteSettingsText(abandoned.get(), u"half written");
  }
  EXPECT_EQ(ReadBytes(path), "old") << "an abandoned write keeps the previous file";
  EXPECT_FALSE(CloseSettingsFile(nullptr));
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

TEST(ReadSettingsLine, LinesOfBothEncodingsKeepTheirCrAndAreCutAtTheLimit) {
  const struct {
    const char* what;
    std::string bytes;
    int maxChars;
    std::vector<std::u16string> lines;
  } cases[] = {
      {"UTF-16: the mark is dropped",
       Utf16Bytes(u"SYS:[[s.ini]]\r\n\r\nロボ[[名]]\r\nlast"),
       1024,
       {u"SYS:[[s.ini]]\r", u"\r", u"ロボ[[名]]\r", u"last"}},
      {"ANSI from code page 932",
       ToAnsi(u"ROBOT:[[ロボット表示]]-[[temp\\]]\r\n\r\n２行目\r\n"),
       1024,
       {u"ROBOT:[[ロボット表示]]-[[temp\\]]\r", u"\r", u"２行目\r"}},
      {"UTF-16: a lone LF ends the reading", Utf16Bytes(u"A\r\n\nB\r\n"), 1024, {u"A\r"}},
      {"a long UTF-16 line loses one character at the cut",
       Utf16Bytes(u"ABCDEFGHIJKLMNO\r\nnext\r\n"),
       10,
       {u"ABCDEFGHIJ", u"LMNO\r", u"next\r"}},
      {"an ANSI line longer than one chunk goes on after its LF",
       std::string(9000, 'x') + "\r\nnext\r\n",
       100,
       {std::u16string(100, u'x'), u"next\r"}},
      {"only the mark", "\xFF\xFE", 1024, {}},
      {"UTF-16: a byte left over at the end is no character",
       Utf16Bytes(u"AB") + "C",
       1024,
       {u"AB"}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    WriteBytes(dir / "a.ini", c.bytes);
    EXPECT_EQ(ReadAll(dir / "a.ini", c.maxChars), c.lines) << c.what;
  }
  // UTF-16 without the mark is read as ANSI, which stops at the first zero byte.
  WriteBytes(dir / "a.ini", Utf16Bytes(u"AB\r\n", false));
  auto file = OpenSettingsFile(dir / "a.ini", "r");
  std::u16string line;
  EXPECT_EQ(ReadSettingsLine(file.get(), line, 1024), 1);
  EXPECT_EQ(line, u"A");
  line = u"stale";
  EXPECT_EQ(ReadSettingsLine(nullptr, line, 1024), 0);
  EXPECT_TRUE(line.empty());
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

TEST(FieldReader, ReadsTheFieldsAfterTheKeyOutsideTextFields) {
  FieldReader fields(u"_POSITION:[12]-[-3]-[[a-b:[c] d]]-[0.25]-[255,0,16]-[]\r", u"_POSITION:");
  ASSERT_TRUE(fields.KeyFound());
  EXPECT_EQ(fields.NextInt(), 12);
  EXPECT_EQ(fields.NextInt(), -3);
  EXPECT_EQ(fields.NextText(), u"a-b:[c] d");
  EXPECT_DOUBLE_EQ(fields.NextDouble(), 0.25);
  EXPECT_EQ(fields.NextGroup(), (std::vector<std::u16string_view>{u"255", u"0", u"16"}));
  EXPECT_EQ(fields.NextGroup(), std::vector<std::u16string_view>{u""});
  EXPECT_EQ(fields.NextField(), u"") << "past the last field";

  // The key is found case-sensitively, outside text fields.
  EXPECT_TRUE(FieldReader(u"xx SLDINI:[[s.ini]]", u"SLDINI:").KeyFound());
  EXPECT_FALSE(FieldReader(u"sldini:[[s.ini]]", u"SLDINI:").KeyFound());
  FieldReader missing(u"OTHER:[5]", u"KEY:");
  EXPECT_EQ(missing.NextInt(), 0);
  EXPECT_EQ(missing.NextText(), u"");
  FieldReader number(u"_AXISNAME:[[my _NUMBER:[7] axis]]-_NUMBER:[3]", u"_NUMBER:");
  EXPECT_EQ(number.NextInt(), 3);
  EXPECT_FALSE(FieldReader(u"DEFPOS:[[AXISENABLE:[1]]]", u"AXISENABLE:").KeyFound());
  EXPECT_TRUE(FieldReader(u"X:[[unclosed AXISENABLE:[1]", u"AXISENABLE:").KeyFound());

  // Missing brackets give empty fields.
  EXPECT_EQ(FieldReader(u"SYSINI:\r", u"SYSINI:").NextText(), u"");
  EXPECT_EQ(FieldReader(u"KEY:[12-[3]", u"KEY:").NextField(), u"12-[3");
  FieldReader openOnly(u"KEY:[[name]-[2]", u"KEY:");
  EXPECT_EQ(openOnly.NextText(), u"");
  EXPECT_EQ(openOnly.NextInt(), 0) << "a field without its brackets ends the line";
}

// Every writer of a text field, read back by its reader: a name that IsSettingsFieldText accepts
// comes back unchanged, any other comes back as SettingsFieldText made it, and so does every
// later round trip.
TEST(TextFieldRoundTrip, EveryWriterGivesBackWhatItWrote) {
  struct Case {
    std::u16string name;
    bool valid;
    std::u16string readBack;
  };
  const Case cases[] = {
      {u"]", true, u"]"},          {u"腕[右]-a:b", true, u"腕[右]-a:b"}, {u"x]]y", false, u"x]y"},
      {u"[[a]]]", false, u"[[a]"}, {u"a\r\tb", false, u"a  b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
    EXPECT_EQ(IsSettingsFieldText(c.name), c.valid);
    EXPECT_EQ(SettingsFieldText(c.name), c.readBack);
    TempDir dir;

    SliderTable sliders{};
    sliders[3].axisName = sliders[3].lowerText = sliders[3].font.faceName = c.name;
    ASSERT_TRUE(WriteSliderDefinitions(dir / "slider.ini", sliders, WindowLayout{}));
    WindowLayout layout;
    ASSERT_TRUE(ReadSliderDefinitions(dir / "slider.ini", sliders, layout));
    EXPECT_EQ(sliders[3].axisName, c.readBack);
    EXPECT_EQ(sliders[3].lowerText, c.readBack);
    EXPECT_EQ(sliders[3].font.faceName, c.readBack);

    SystemSettings system;
    system.motionAreaFont.faceName = c.name;
    system.skins[11].path = c.name;
    ASSERT_TRUE(WriteSystemSettings(dir / "sys.ini", system));
    ASSERT_TRUE(ReadSystemSettings(dir / "sys.ini", dir.Path(), dir.Path(), system, nullptr));
    EXPECT_EQ(system.motionAreaFont.faceName, c.readBack);
    EXPECT_EQ(system.skins[11].path, c.readBack);

    // Base poses and offsets: the name of entry 0.
    const auto entryName = [&](auto table, auto write, auto read, const char* file) {
      table.entries[0].name = c.name;
      table.entries[0].registered = true;
      EXPECT_TRUE(write(dir / file, table));
      EXPECT_TRUE(read(dir / file, table));
      return table.entries[0].name;
    };
    EXPECT_EQ(entryName(BasePoseTable{}, WriteBasePoses, ReadBasePoses, "defpos.ini"), c.readBack);
    EXPECT_EQ(entryName(ValueOffsetTable{}, WriteValueOffsets, ReadValueOffsets, "defofs.ini"),
              c.readBack);

    RobotProject project;
    project.SYSINI = project.MEMMAPINI = c.name;
    ASSERT_TRUE(WriteProjectFile(dir / "p.KJZ", project));
    ASSERT_TRUE(ReadProjectFile(dir / "p.KJZ", project));
    EXPECT_EQ(project.SYSINI, c.readBack);
    EXPECT_EQ(project.MEMMAPINI, c.readBack);

    RecentProjects log;
    const std::u16string projectPath = TextFromPath(dir / "p.KJZ");
    ASSERT_TRUE(WriteRecentProjects(dir / "log.dat", log, &projectPath, c.name));
    ASSERT_TRUE(ReadRecentProjects(dir / "log.dat", log, nullptr));
    EXPECT_EQ(log.entries[0].robotName, c.readBack);
  }
}

}  // namespace
}  // namespace gestalon::core
