#include "project/project_loader.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "pose/servo_channels.h"
#include "project/bitmap_file.h"
#include "project/recent_projects.h"
#include "recording_ports.h"
#include "shown_texts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

using testing::RecordingPrompter;
using testing::TempDir;

// A complete project in a temporary folder, written with the program's own writers; the skins sit
// in the "program folder" beside it.
class ProjectLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    programFolder_ = dir_ / "program";
    projectFolder_ = dir_ / "robot";
    std::filesystem::create_directories(programFolder_ / "me_image");
    std::filesystem::create_directories(projectFolder_);
    Bitmap pixel{.width = 1, .height = 1, .pixels = {0xFF336699}};
    // Folder, then the settings files: system, sliders, CPU, base poses, offsets, variables.
    files_ = {u"",           u"sys.ini",    u"slider.ini", u"STARTUP.XML",
              u"defpos.ini", u"defofs.ini", u"memmap.txt"};
    ASSERT_TRUE(WriteProjectFile(ProjectFile(), files_));
    SystemSettings system;
    SetSystemSettingsDefaults(system);
    system.systemFlags = SystemFlag::kToolbar | SystemFlag::kUnknownAxisAsk;
    for (int i = 0; i < 12; ++i) {
      const std::u16string name = Format(u"me_image\\skin%d.bmp", i);
      ASSERT_TRUE(SaveBitmapFile(programFolder_ / PathFromText(name), pixel));
      system.skins[i].path = name;
    }
    ASSERT_TRUE(WriteSystemSettings(projectFolder_ / "sys.ini", system));
    SliderTable sliders{};
    sliders[0].axisName = u"頭";
    sliders[5].axisName = u"左肩";
    sliders[40].axisName = u"ゲイン";
    ASSERT_TRUE(WriteSliderDefinitions(projectFolder_ / "slider.ini", sliders, WindowLayout{}));
    BasePoseTable poses;
    poses.entries[0].name = u"基本姿勢";
    poses.entries[0].registered = true;
    poses.entries[0].axisEnable[0] = true;
    poses.entries[0].values[0] = 120;
    ASSERT_TRUE(WriteBasePoses(projectFolder_ / "defpos.ini", poses));
    CpuSettings cpu;
    SetRobotName(cpu, u"テストロボ");
    cpu.motors[3].words[MotorWord::kAdr0] = 0x0C00 + 2 * 5;
    cpu.motors[3].words[MotorWord::kAdrEn] = 0x0C00 + 2 * 40;
    ASSERT_TRUE(WriteCpuSettingsFile(projectFolder_ / "STARTUP.XML", cpu));
    ASSERT_TRUE(WriteVariableDefs(projectFolder_ / "memmap.txt",
                                  {{.size = 2, .name = u"PAD", .address = 0x0EE4}}));
    ValueOffsetTable offsets;
    offsets.entries[0].name = u"歩行";
    offsets.entries[0].registered = true;
    offsets.entries[0].offsets[5] = -12;
    ASSERT_TRUE(WriteValueOffsets(projectFolder_ / "defofs.ini", offsets));
  }

  std::filesystem::path ProjectFile() const { return projectFolder_ / "robot.KJZ"; }

  bool Load(bool quiet, LoadedProject& project) {
    ProjectLoadOptions options;
    options.programFolder = programFolder_;
    options.prompter = &prompter_;
    options.afterLoad = [this](LoadedProject&) { ++afterLoadCalls_; };
    return LoadRobotProject(ProjectFile(), quiet, project, options);
  }

  // Options for a start-up whose log lives in AppData().
  std::filesystem::path AppData() const { return dir_ / "appdata"; }
  ProjectLoadOptions StartupOptions() {
    std::filesystem::create_directories(AppData());
    ProjectLoadOptions options;
    options.programFolder = programFolder_;
    options.prompter = &prompter_;
    return options;
  }

  std::vector<std::u16string> Messages() const { return testing::ShownTexts(prompter_); }

  TempDir dir_;
  std::filesystem::path programFolder_, projectFolder_;
  RobotProject files_;
  RecordingPrompter prompter_;
  int afterLoadCalls_ = 0;
};

TEST_F(ProjectLoadTest, CompleteProjectLoadsEverythingWithoutMessages) {
  LoadedProject project;
  ASSERT_TRUE(Load(false, project));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(afterLoadCalls_, 1);
  // Each file in its place (each file's whole content: ShippedProjects rewrites them).
  EXPECT_EQ(ProjectRobotName(project), u"テストロボ");
  EXPECT_EQ(project.system.systemFlags, SystemFlag::kToolbar | SystemFlag::kUnknownAxisAsk);
  EXPECT_EQ(project.sliders[5].axisName, u"左肩");
  EXPECT_EQ(project.basePoses.entries[0].values[0], 120);
  EXPECT_EQ(project.offsets.entries[0].offsets[5], -12);
  EXPECT_EQ(project.variables.size(), 1u);
  // Motor record 3 ties slider 5 (channel) and slider 40 (companion) together.
  EXPECT_EQ(project.sliders[40].flags2 & 0xC0u, SliderFlag2::kServoCompanion);
  EXPECT_EQ(project.sliders[40].channel, 3);
  EXPECT_EQ(project.sliders[5].companion, 40);

  // Variable labels follow the shared number style.
  EXPECT_EQ(VariableLabel(project, 0x0EE4, 0), u"3812:PAD");
  project.hexadecimalDisplay = true;
  ASSERT_TRUE(Load(false, project));
  EXPECT_EQ(VariableLabel(project, 0x0EE4, 2), u"0x0ee4:PAD") << "the style survives a reload";
  EXPECT_EQ(VariableLabel(project, 0x0EE4, 1), u"3812:Unkown");
}

TEST_F(ProjectLoadTest, AnUnreadableProjectOrFatalFileStopsTheLoadWithItsMessage) {
  const std::u16string fatal = LoadText(TextId::kMsgSettingsFileFailedFatal);
  for (const std::u16string* name : {&files_.SYSINI, &files_.SLDINI}) {
    TempDir backup;
    const auto path = projectFolder_ / PathFromText(*name);
    std::filesystem::rename(path, backup / "f");
    LoadedProject project;
    project.project.SYSINI = u"before";
    prompter_.Clear();
    EXPECT_FALSE(Load(false, project));
    ASSERT_EQ(Messages(), std::vector<std::u16string>{Format(fatal, *name)});
    EXPECT_EQ(prompter_.Calls()[0].icon, PromptIcon::kError);
    EXPECT_EQ(project.project.SYSINI, u"before") << "a failed load leaves the project as it was";
    prompter_.Clear();
    EXPECT_FALSE(Load(true, project));
    EXPECT_TRUE(Messages().empty()) << "quiet";
    std::filesystem::rename(backup / "f", path);
  }
  LoadedProject project;
  prompter_.Clear();
  EXPECT_FALSE(LoadRobotProject(dir_ / "none.KJZ", true, project, StartupOptions()));
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(LoadRobotProject(dir_ / "none.KJZ", false, project, StartupOptions()));
  EXPECT_EQ(Messages(), testing::Texts({TextId::kMsgProjectFileUnreadable}));
  EXPECT_EQ(afterLoadCalls_, 0);
}

TEST_F(ProjectLoadTest, MissingBasePosesAndCpuSettingsWarnAndTheLoadGoesOn) {
  for (const char* name : {"defpos.ini", "STARTUP.XML", "memmap.txt", "defofs.ini"}) {
    std::filesystem::remove(projectFolder_ / name);
  }
  LoadedProject project;
  ASSERT_TRUE(Load(false, project));
  const std::u16string warn = LoadText(TextId::kMsgSettingsFileFailedWarn);
  EXPECT_EQ(Messages(), (std::vector<std::u16string>{Format(warn, u"defpos.ini"),
                                                     Format(warn, u"STARTUP.XML")}));
  EXPECT_EQ(prompter_.Calls()[1].icon, PromptIcon::kWarning);
  EXPECT_FALSE(project.basePoses.entries[0].registered);
  EXPECT_EQ(project.sliders[5].flags2 & 0xC0u, 0u);
  EXPECT_EQ(afterLoadCalls_, 1);
  prompter_.Clear();
  ASSERT_TRUE(Load(true, project));
  EXPECT_TRUE(Messages().empty()) << "quiet";
}

TEST_F(ProjectLoadTest, StartupTakesTheCommandLineThenTheLogAndRecordsTheProject) {
  const auto appData = AppData();
  const ProjectLoadOptions options = StartupOptions();
  LoadedProject project;
  std::u16string loaded;
  const std::u16string quoted = u"\"" + TextFromPath(ProjectFile()) + u"\"";
  ASSERT_TRUE(LoadStartupProject(quoted, appData, project, options, &loaded));
  EXPECT_EQ(loaded, TextFromPath(ProjectFile()));
  RecentProjects log;
  ASSERT_TRUE(ReadRecentProjects(appData / "kjplog.dat", log, nullptr));
  EXPECT_EQ(log.entries[0].robotName, u"テストロボ");

  LoadedProject again;
  loaded.clear();
  ASSERT_TRUE(LoadStartupProject(u"", appData, again, options, &loaded)) << "from the log";
  EXPECT_EQ(loaded, TextFromPath(ProjectFile()));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ProjectLoadTest, ProjectsInASharedProgramFolderOpenFromTheUsersCopy) {
  const auto shipped = programFolder_ / "robots" / "r";
  std::filesystem::create_directories(shipped.parent_path());
  std::filesystem::copy(projectFolder_, shipped, std::filesystem::copy_options::recursive);
  const auto copy = AppData() / "robots" / "r" / "robot.KJZ";
  struct Case {
    std::filesystem::path opened;
    bool shared;
    std::filesystem::path expected;
  };
  const Case cases[] = {
      {shipped / "robot.KJZ", false, shipped / "robot.KJZ"},
      {ProjectFile(), true, ProjectFile()},
      {shipped / "robot.KJZ", true, copy},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(AppData());
    ProjectLoadOptions options = StartupOptions();
    options.programFolderShared = c.shared;
    LoadedProject project;
    std::u16string loaded;
    ASSERT_TRUE(LoadStartupProject(TextFromPath(c.opened), AppData(), project, options, &loaded));
    EXPECT_EQ(PathFromText(loaded), c.expected) << c.opened << c.shared;
  }
  // The copy (of the last case) is made once: what the user changed in it stays.
  testing::WriteBytes(copy.parent_path() / "memmap.txt", "mine");
  ProjectLoadOptions options = StartupOptions();
  options.programFolderShared = true;
  LoadedProject project;
  ASSERT_TRUE(LoadStartupProject(TextFromPath(shipped / "robot.KJZ"), AppData(), project, options));
  EXPECT_EQ(testing::ReadBytes(copy.parent_path() / "memmap.txt"), "mine");
}

TEST_F(ProjectLoadTest, DamagedProjectFileFailsTheStartupAndStaysOutOfTheLog) {
  const auto appData = AppData();
  const ProjectLoadOptions options = StartupOptions();
  LoadedProject project;
  ASSERT_TRUE(LoadStartupProject(TextFromPath(ProjectFile()), appData, project, options));
  const std::string log = testing::ReadBytes(appData / "kjplog.dat");
  // Each leaves a settings file name empty, which names the project folder itself.
  for (const std::string bytes : {"", "SYSINI:[[sys.ini]]\r\nSLDINI:\r\n"}) {
    const auto path = projectFolder_ / "damaged.KJZ";
    testing::WriteBytes(path, bytes);
    prompter_.Clear();
    EXPECT_FALSE(LoadStartupProject(TextFromPath(path), appData, project, options)) << bytes;
    EXPECT_EQ(Messages(), std::vector<std::u16string>{Format(
                              LoadText(TextId::kMsgSettingsFileFailedFatal), u"")})
        << bytes;
    EXPECT_EQ(testing::ReadBytes(appData / "kjplog.dat"), log) << bytes;
    EXPECT_EQ(ProjectRobotName(project), u"テストロボ") << "the loaded project stays";
  }
}

// Loading from the command line and from the log is checked above.
TEST(StartupProject, WithoutBothTheDefaultProjectIsLoadedQuietlyAndLogged) {
  const std::filesystem::path program = "/opt/g";
  EXPECT_FALSE(ChooseStartupProject(u"\"/a/r.KJZ\"", u"/log.KJZ", program).quiet);
  EXPECT_FALSE(ChooseStartupProject(u"", u"/log.KJZ", program).writeToLog);
  auto fallback = ChooseStartupProject(u"", u"", program);
  EXPECT_EQ(PathFromText(fallback.path), program / "temp" / "temp.KJZ");
  EXPECT_TRUE(fallback.quiet);
  EXPECT_TRUE(fallback.writeToLog);
}

TEST(ServoChannels, OnlySlidersBelow96TakePartAndOldFlagsAreCleared) {
  SliderTable sliders{};
  sliders[7].flags2 = SliderFlag2::kServoChannel | SliderFlag2::kShowName;
  sliders[100].flags2 = SliderFlag2::kServoCompanion;
  CpuSettings cpu;
  cpu.motors[0].words[MotorWord::kAdr0] = 0x0C00 + 2 * 95;
  cpu.motors[0].words[MotorWord::kAdrEn] = 0x0C00 + 2 * 96;  // beyond the channel sliders
  cpu.motors[1].words[MotorWord::kAdr0] = 0x0A00;            // not a current-value address
  DeriveServoChannels(sliders, cpu);
  EXPECT_EQ(sliders[7].flags2, SliderFlag2::kShowName);
  EXPECT_EQ(sliders[100].flags2, SliderFlag2::kServoCompanion) << "sliders 96.. never change";
  EXPECT_EQ(sliders[95].flags2, SliderFlag2::kServoChannel);
  EXPECT_EQ(sliders[95].channel, 0);
  EXPECT_EQ(sliders[96].flags2, 0u);
}

}  // namespace
}  // namespace gestalon::core
