#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "board/copy_list.h"
#include "board/image_builder.h"
#include "board/settings_image.h"
#include "board_commands.h"
#include "cli_app.h"
#include "cpusettings/cpu_settings_file.h"
#include "fixture_file.h"
#include "project/project_loader.h"
#include "run_tool.h"
#include "temp_dir.h"
#include "virtual_board.h"

namespace gestalon::cli {
namespace {

namespace fs = std::filesystem;
using testing::FixtureText;

const fs::path kSample = GESTALON_RESOURCES_DIR "/robots/gestaloid";
const std::string kProject = (kSample / "gestaloid.KJZ").string();
constexpr std::uint32_t kSettingsProgramSize = 2795;

// The sample robot in a folder of the test's own, so writes never reach the source tree.
fs::path CopySample(const testing::TempDir& dir) {
  const fs::path folder = dir / "robot";
  fs::copy(kSample, folder, fs::copy_options::recursive);
  return folder;
}

// Changes the project's CPU settings file as the settings dialog would.
void EditSettings(const fs::path& folder, const std::function<void(core::CpuSettings&)>& edit) {
  core::CpuSettings settings{};
  ASSERT_TRUE(core::ReadCpuSettingsFile(folder / "STARTUP.XML", settings, nullptr));
  edit(settings);
  ASSERT_TRUE(core::WriteCpuSettingsFile(folder / "STARTUP.XML", settings));
}

// An empty folder standing for the robot's memory card.
fs::path MakeCard(const testing::TempDir& dir) {
  fs::create_directory(dir / "card");
  return dir / "card";
}

Result WriteToCard(const fs::path& robot, const fs::path& card) {
  return RunTool({"write", (robot / "gestaloid.KJZ").string(), "--drive", card.string()});
}

std::vector<std::uint8_t> BoardBytes(const sim::VirtualBoard& board, std::uint32_t address,
                                     std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  board.ReadMemory(address, bytes);
  return bytes;
}

core::LoadedProject LoadSample() {
  core::LoadedProject project;
  EXPECT_TRUE(core::LoadRobotProject(kProject, true, project, {}));
  return project;
}

// The playback image is the core's, followed by the end byte (CliSimulate runs its calls).
TEST(CliCompile, PlaybackImageOfTheSampleWithItsSubroutines) {
  testing::TempDir dir;
  const std::string out = (dir / "TEMP.BIN").string();
  const Result r =
      RunTool({"compile", (kSample / "greeting.KX4").string(), "-o", out, "--project", kProject});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_TRUE(r.err.empty());
  const core::LoadedProject project = LoadSample();
  core::ImageBuildContext context;
  context.projectFolder = kSample;
  context.sliders = &project.sliders;
  context.cpu = &project.cpu;
  core::CopyList copyList;
  const auto image = core::BuildMotionImage(context, u"greeting.KX4", u"", 100, 0, copyList);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(testing::ReadBytes(out),
            std::string(image->bytes.begin(), image->bytes.end()) + '\x80');
}

TEST(CliCompile, ReportsMissingFilesAndBadUsage) {
  testing::TempDir dir;
  std::filesystem::copy_file(kSample / "greeting.KX4", dir / "greeting.KX4");
  const std::string out = (dir / "out.BIN").string();
  const Result missingSub = RunTool({"compile", (dir / "greeting.KX4").string(), "-o", out});
  EXPECT_EQ(missingSub.status, kExitError);
  EXPECT_NE(missingSub.err.find("ファイルが開けませんでした。"), std::string::npos);
  EXPECT_NE(missingSub.err.find("wave.KX4"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(out));  // the image as the program would play it
  EXPECT_EQ(RunTool({"compile", (dir / "none.KX4").string(), "-o", out + "2"}).status, kExitError);
  EXPECT_EQ(
      RunTool({"compile", (kSample / "bow.KX4").string(), "-o", out, "--override", "0"}).status,
      kExitUsage);
  EXPECT_EQ(RunTool({"compile", (kSample / "bow.KX4").string(), "-o", out, "--project",
                     (dir / "none.KJZ").string()})
                .status,
            kExitError);
}

// The settings program alone (with a start-up motion the card's image is run by CliWrite).
TEST(CliStartup, WritesTheCoresStartupImage) {
  testing::TempDir dir;
  const std::string out = (dir / "STARTUP.BIN").string();
  const Result r = RunTool({"startup", kProject, "-o", out});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto settings = core::BuildSettingsImage(LoadSample().cpu);
  EXPECT_EQ(testing::ReadBytes(out), std::string(settings.begin(), settings.end()));
  EXPECT_EQ(RunTool({"startup", (dir / "none.KJZ").string(), "-o", out}).status, kExitError);
}

TEST(CliWrite, SampleRobotStartsItsMotionFromTheCard) {
  testing::TempDir dir;
  const fs::path robot = CopySample(dir);
  EditSettings(robot, [](core::CpuSettings& s) {
    s.startupMotion = u"greeting.KX4";
    s.basicControlCycle = 8000;  // not the board's default, so the settings program is seen
  });
  const fs::path card = MakeCard(dir);
  const Result r = WriteToCard(robot, card);
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_NE(r.out.find("copied: STARTUP.BIN STARTUP.XML\n"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("CPUボードにデータを書き込みました。"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("no DEVMEM"), std::string::npos) << r.err;
  // Motions are compiled into the image, not copied.
  EXPECT_FALSE(fs::exists(card / "greeting.KX4"));
  EXPECT_EQ(testing::ReadBytes(card / "STARTUP.BIN"), testing::ReadBytes(robot / "STARTUP.BIN"));
  // The card's image runs on the board: the settings (whose contents the core's tests check) and
  // then the start-up motion.
  sim::VirtualBoard board(card);
  ASSERT_TRUE(board.Running());
  board.Advance(sim::VirtualBoard::kDefaultControlCycle);  // the settings program's time unit
  EXPECT_EQ(board.Word32(0x0040), 8000u);
  // The settings program called the start-up motion, which now drives the servos.
  EXPECT_GE(board.CodeAddress(), kSettingsProgramSize);
  const auto before = BoardBytes(board, 0x0C00, 256);
  board.Advance(500000);
  EXPECT_NE(BoardBytes(board, 0x0C00, 256), before);
}

TEST(CliWrite, SecondWriteOfUnchangedSettingsCopiesNothing) {
  testing::TempDir dir;
  const fs::path robot = CopySample(dir);
  EditSettings(robot, [](core::CpuSettings& s) { s.startupMotion = u"wave.KX4"; });
  const fs::path card = MakeCard(dir);
  ASSERT_EQ(WriteToCard(robot, card).status, kExitOk);
  // Both files as if written an hour ago, on the card as well: a file rewritten now would be
  // newer and copied again.
  const auto past = core::CardFileTime(fs::file_time_type::clock::now() - std::chrono::hours(1));
  for (const char* name : {"STARTUP.XML", "STARTUP.BIN"}) {
    fs::last_write_time(robot / name, past);
    fs::last_write_time(card / name, past);
  }
  const Result again = WriteToCard(robot, card);
  ASSERT_EQ(again.status, kExitOk) << again.err;
  EXPECT_NE(again.out.find("copied: nothing\n"), std::string::npos) << again.out;
  EXPECT_EQ(fs::last_write_time(card / "STARTUP.BIN"), past);
}

TEST(CliWrite, LoadsTheSettingsThroughTheDrivesDevmem) {
  testing::TempDir dir;
  const fs::path robot = CopySample(dir);
  const fs::path card = MakeCard(dir);
  testing::WriteBytes(card / "DEVMEM", "");
  const Result r = WriteToCard(robot, card);
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_NE(r.out.find("board memory: settings loaded\n"), std::string::npos) << r.out;
  // Records go to DEVMEM one at a time, each a 512-byte write record.
  const std::string devmem = testing::ReadBytes(card / "DEVMEM");
  ASSERT_EQ(devmem.size(), 512u);
  EXPECT_EQ(devmem[0], 'W');
}

TEST(CliWrite, AMissingDriveProjectOrStartupMotionFailsWithoutWriting) {
  testing::TempDir dir;
  const fs::path robot = CopySample(dir);
  const fs::path missing = dir / "no-board";
  const Result r = WriteToCard(robot, missing);
  EXPECT_EQ(r.status, kExitError);
  EXPECT_NE(r.err.find("ロボットがPCに接続されていません。"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_FALSE(fs::exists(robot / "STARTUP.BIN"));
  EXPECT_EQ(WriteToCard(dir / "none", dir.Path()).status, kExitError);
  EditSettings(robot, [](core::CpuSettings& s) { s.startupMotion = u"missing.KX4"; });
  const fs::path card = MakeCard(dir);
  const Result noMotion = WriteToCard(robot, card);
  EXPECT_EQ(noMotion.status, kExitError);
  EXPECT_NE(noMotion.err.find("missing.KX4"), std::string::npos) << noMotion.err;
  EXPECT_TRUE(fs::is_empty(card));
}

// The events of the sample's greeting, played in full and at half its times, as golden texts:
// its two called motions each announce their block before their first pose.
TEST(CliSimulate, PrintsThePosesOfTheMotionInOrderScaledByTheOverride) {
  testing::TempDir dir;
  for (const std::string percent : {"100", "50"}) {
    SCOPED_TRACE(percent);
    const std::string image = (dir / (percent + ".BIN")).string();
    ASSERT_EQ(RunTool({"compile", (kSample / "greeting.KX4").string(), "-o", image, "--project",
                       kProject, "--override", percent})
                  .status,
              kExitOk);
    const Result r = RunTool({"simulate", kProject, image, "--ms", "20000"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const std::string expected = FixtureText("cli/simulate_greeting_" + percent + ".jsonl");
    EXPECT_EQ(r.out, expected);
  }
}

// pad_move.bin, made by hand: a move of time 7 when the controller word at 0x0EE4 is 0x0010,
// then the end.
TEST(CliSimulate, ThePadWordReachesTheProgram) {
  const std::string image = GESTALON_FIXTURES_DIR "/cli/pad_move.bin";
  const Result pressed = RunTool({"simulate", kProject, image, "--pad", "0x0010"});
  ASSERT_EQ(pressed.status, kExitOk) << pressed.err;
  // Keys keep the order of the event's description.
  EXPECT_EQ(pressed.out, FixtureText("cli/simulate_pad_pressed.jsonl"));
  const Result released = RunTool({"simulate", kProject, image, "--pad", "11"});
  ASSERT_EQ(released.status, kExitOk) << released.err;
  EXPECT_EQ(released.out, "{\"t_ms\":0,\"event\":\"end\"}\n");
}

TEST(CliSimulate, RunsForTheGivenTimeAndReportsAFailingProgram) {
  testing::TempDir dir;
  // Waits 255 units (2.55 s at the sample's 10 ms cycle), then ends.
  const fs::path waiting = dir / "wait.BIN";
  testing::WriteBytes(waiting, "\x88\xFF\x83");
  const Result cut = RunTool({"simulate", kProject, waiting.string(), "--ms", "1000"});
  EXPECT_EQ(cut.status, kExitOk) << cut.err;
  EXPECT_EQ(cut.out, "");
  const Result whole = RunTool({"simulate", kProject, waiting.string(), "--ms", "3000"});
  EXPECT_EQ(whole.status, kExitOk) << whole.err;
  EXPECT_EQ(whole.out, "{\"t_ms\":2550,\"event\":\"end\"}\n");
  const fs::path bad = dir / "bad.BIN";
  testing::WriteBytes(bad, "\x88\x02\x7F");
  const Result failed = RunTool({"simulate", kProject, bad.string()});
  EXPECT_EQ(failed.status, kExitError);
  EXPECT_EQ(failed.out, "{\"t_ms\":20,\"event\":\"end\"}\n");
  EXPECT_NE(failed.err.find("unknown opcode"), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("code address 2"), std::string::npos) << failed.err;
}

TEST(CliSimulate, RejectsBadOptionsAndMissingFiles) {
  testing::TempDir dir;
  const fs::path image = dir / "end.BIN";
  testing::WriteBytes(image, "\x83");
  EXPECT_EQ(RunTool({"simulate", kProject, image.string(), "--pad", "12345"}).status, kExitUsage);
  EXPECT_EQ(RunTool({"simulate", kProject, image.string(), "--ms", "-1"}).status, kExitUsage);
  EXPECT_EQ(RunTool({"simulate", kProject, (dir / "none.BIN").string()}).status, kExitError);
  EXPECT_EQ(RunTool({"simulate", (dir / "none.KJZ").string(), image.string()}).status, kExitError);
  EXPECT_EQ(ParsePadWord("0XffFF"), 0xFFFF);
  for (const char* text : {"", "0x", "1 ", "-1", "10000"}) {
    EXPECT_FALSE(ParsePadWord(text)) << text;
  }
}

}  // namespace
}  // namespace gestalon::cli
