#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "board_commands.h"
#include "cli_app.h"
#include "cpusettings/cpu_settings_file.h"
#include "fixture_file.h"
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

TEST(CliCompile, ReportsMissingFilesAndBadUsage) {
  testing::TempDir dir;
  std::filesystem::copy_file(kSample / "greeting.KX4", dir / "greeting.KX4");
  const std::string out = (dir / "out.BIN").string();
  const Result missingSub = RunTool({"compile", (dir / "greeting.KX4").string(), "-o", out});
  EXPECT_EQ(missingSub.status, kExitError);
  EXPECT_NE(missingSub.err.find("ファイルが開けませんでした。"), std::string::npos);
  EXPECT_NE(missingSub.err.find("wave.KX4"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(out));  // the image as the program would play it
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
