#include "settings/settings_fields.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "project/base_poses.h"
#include "project/recent_projects.h"
#include "project/robot_project.h"
#include "project/slider_defs.h"
#include "project/system_settings.h"
#include "project/value_offsets.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

using testing::TempDir;

TEST(FieldReader, ReadsNumericTextAndGroupFieldsAfterTheKey) {
  FieldReader fields(u"_POSITION:[12]-[-3]-[[a-b:[c] d]]-[0.25]-[255,0,16]-[]\r", u"_POSITION:");
  ASSERT_TRUE(fields.KeyFound());
  EXPECT_EQ(fields.NextInt(), 12);
  EXPECT_EQ(fields.NextInt(), -3);
  EXPECT_EQ(fields.NextText(), u"a-b:[c] d");
  EXPECT_DOUBLE_EQ(fields.NextDouble(), 0.25);
  EXPECT_EQ(fields.NextGroup(), (std::vector<std::u16string_view>{u"255", u"0", u"16"}));
  EXPECT_EQ(fields.NextGroup(), std::vector<std::u16string_view>{u""});
  EXPECT_EQ(fields.NextField(), u"") << "past the last field";
}

TEST(FieldReader, KeyIsFoundCaseSensitivelyOutsideTextFields) {
  EXPECT_TRUE(FieldReader(u"xx SLDINI:[[s.ini]]", u"SLDINI:").KeyFound());
  EXPECT_FALSE(FieldReader(u"sldini:[[s.ini]]", u"SLDINI:").KeyFound());
  FieldReader missing(u"OTHER:[5]", u"KEY:");
  EXPECT_EQ(missing.NextInt(), 0);
  EXPECT_EQ(missing.NextText(), u"");
  FieldReader fields(u"_AXISNAME:[[my _NUMBER:[7] axis]]-_NUMBER:[3]", u"_NUMBER:");
  ASSERT_TRUE(fields.KeyFound());
  EXPECT_EQ(fields.NextInt(), 3);
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
