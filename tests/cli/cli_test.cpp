#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "cli_app.h"
#include "fixture_file.h"
#include "run_tool.h"
#include "temp_dir.h"

namespace gestalon::cli {
namespace {

TEST(Cli, HelpAndBadUsageExitsWithTwo) {
  EXPECT_EQ(RunTool({"--help"}).status, kExitOk);
  EXPECT_EQ(RunTool({}).status, kExitUsage);
  EXPECT_EQ(RunTool({"frobnicate"}).status, kExitUsage);
  EXPECT_NE(RunTool({"compile", "m.KX4"}).err.find("-o"), std::string::npos);
}

TEST(CliProject, PrintsTheSampleRobotWithoutMessagesAndRewritesItAsAProject) {
  const std::string sample = GESTALON_RESOURCES_DIR "/robots/gestaloid/gestaloid.KJZ";
  testing::TempDir out;
  const Result r = RunTool({"project", sample, "--rewrite", (out / "rw").string()});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto json = nlohmann::json::parse(r.out);
  EXPECT_EQ(json["robotName"], "ゲスタロイド");
  EXPECT_TRUE(json["messages"].empty());
  EXPECT_EQ(json["sliders"][2]["axisName"], "右肩ピッチ");
  const Result again = RunTool({"project", (out / "rw" / "gestaloid.KJZ").string()});
  ASSERT_EQ(again.status, kExitOk) << again.err;
  // The rewritten folder is the same project (the files' bytes: ShippedProjects in the core's
  // tests).
  EXPECT_EQ(nlohmann::json::parse(again.out), json);
}

TEST(CliMotion, DumpListsBlocksWithLinksAndRewriteScalesTimes) {
  const std::string folder = GESTALON_RESOURCES_DIR "/robots/gestaloid/";
  const Result dump = RunTool({"dump", folder + "walk.KX4", "--project", folder + "gestaloid.KJZ"});
  ASSERT_EQ(dump.status, kExitOk) << dump.err;
  const auto blocks = nlohmann::json::parse(dump.out);
  ASSERT_GT(blocks.size(), 5u);
  EXPECT_EQ(blocks[0]["type"], 3);
  testing::TempDir out;
  const std::string same = (out / "same.KX4").string();
  ASSERT_EQ(
      RunTool({"rewrite", folder + "walk.KX4", same, "--project", folder + "gestaloid.KJZ"}).status,
      kExitOk);
  EXPECT_EQ(testing::ReadBytes(same), testing::ReadBytes(folder + "walk.KX4"));
  const std::string half = (out / "half.KX4").string();
  ASSERT_EQ(RunTool({"rewrite", folder + "bow.KX4", half, "--override", "50"}).status, kExitOk);
  const auto halfBlocks = nlohmann::json::parse(RunTool({"dump", half}).out);
  const auto fullBlocks = nlohmann::json::parse(RunTool({"dump", folder + "bow.KX4"}).out);
  EXPECT_EQ(halfBlocks[1]["time"], fullBlocks[1]["time"].get<int>() / 2);
  EXPECT_EQ(RunTool({"dump", folder + "missing.KX4"}).status, kExitError);
}

TEST(CliProject, MissingSettingsFileIsReportedAsAnError) {
  testing::TempDir dir;
  testing::WriteBytes(dir / "r.KJZ", "SYSINI:[[none.ini]]\r\n");
  const Result r = RunTool({"project", (dir / "r.KJZ").string()});
  EXPECT_EQ(r.status, kExitError);
  EXPECT_NE(r.err.find("none.ini"), std::string::npos);
}

using testing::FixtureText;

std::string WriteText(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
  return file.string();
}

// The dump fills in what the JSON left out: the pad's word, the maps up to four, the defaults.
TEST(CliControlMap, BuildThenDumpGivesTheMapBack) {
  testing::TempDir dir;
  const std::string map = (dir / "MAP.KX4").string();
  ASSERT_EQ(
      RunTool({"controlmap", "build", GESTALON_FIXTURES_DIR "/cli/control_map.json", "-o", map})
          .status,
      kExitOk);
  const Result dump = RunTool({"controlmap", "dump", map});
  ASSERT_EQ(dump.status, kExitOk) << dump.err;
  const std::string expected = FixtureText("cli/control_map_dump.json");
  EXPECT_EQ(dump.out, expected);
  // The file the editor's writer made reads back to the same JSON as built again from it.
  const std::string again = (dir / "AGAIN.KX4").string();
  ASSERT_EQ(
      RunTool({"controlmap", "build", WriteText(dir / "again.json", dump.out), "-o", again}).status,
      kExitOk);
  EXPECT_EQ(RunTool({"controlmap", "dump", again}).out, dump.out);
}

TEST(CliControlMap, RefusesWhatIsNotAControlMap) {
  testing::TempDir dir;
  const Result motion =
      RunTool({"controlmap", "dump", GESTALON_RESOURCES_DIR "/robots/gestaloid/walk.KX4"});
  EXPECT_EQ(motion.status, kExitError);
  EXPECT_NE(motion.err.find("ファイルの形式が異常です。"), std::string::npos) << motion.err;
  for (const std::string json : {"{", R"({"maps": [{}, {}, {}, {}, {}]})"}) {
    const Result bad = RunTool({"controlmap", "build", WriteText(dir / "bad.json", json), "-o",
                                (dir / "BAD.KX4").string()});
    EXPECT_EQ(bad.status, kExitError) << json;
    EXPECT_FALSE(std::filesystem::exists(dir / "BAD.KX4")) << json;
  }
  EXPECT_EQ(RunTool({"controlmap"}).status, kExitUsage);
}

}  // namespace
}  // namespace gestalon::cli
