#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_app.h"
#include "run_tool.h"
#include "temp_dir.h"

namespace gestalon::cli {
namespace {

TEST(Cli, HelpListsEverySubcommandAndBadUsageExitsWithTwo) {
  const Result r = RunTool({"--help"});
  EXPECT_EQ(r.status, kExitOk);
  for (const char* name :
       {"dump", "rewrite", "compile", "startup", "write", "simulate", "project", "controlmap"}) {
    EXPECT_NE(r.out.find(name), std::string::npos) << name;
  }
  EXPECT_EQ(RunTool({}).status, kExitUsage);
  EXPECT_EQ(RunTool({"frobnicate"}).status, kExitUsage);
  const Result missing = RunTool({"compile", "m.KX4"});
  EXPECT_EQ(missing.status, kExitUsage);
  EXPECT_NE(missing.err.find("-o"), std::string::npos);
}

TEST(CliProject, PrintsTheSampleRobotWithoutMessagesAndRewritesItAsAProject) {
  const std::string sample = GESTALON_RESOURCES_DIR "/robots/gestaloid/gestaloid.KJZ";
  testing::TempDir out;
  const Result r = RunTool({"project", sample, "--rewrite", (out / "rw").string()});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto json = nlohmann::json::parse(r.out);
  EXPECT_EQ(json["robotName"], "ゲスタロイド");
  EXPECT_EQ(json["files"]["SLDINI"], "slider.ini");
  EXPECT_TRUE(json["messages"].empty());
  EXPECT_EQ(json["sliders"][2]["axisName"], "右肩ピッチ");
  EXPECT_EQ(json["sliders"][2]["index"], 2);
  EXPECT_EQ(json["basePoses"][0]["name"], "基本姿勢");
  EXPECT_EQ(json["variables"][0]["address"], 0x0EE4);
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
  EXPECT_TRUE(blocks[0]["next"].is_number());
  EXPECT_EQ(blocks[0]["slots"].size(), 128u);
  bool branchFound = false;
  for (const auto& block : blocks) {
    branchFound = branchFound || block["branch"].is_number();
    EXPECT_TRUE(block.contains("servoEnableMask") && block.contains("fileStart"));
  }
  EXPECT_TRUE(branchFound);

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
  EXPECT_EQ(RunTool({"rewrite", folder + "bow.KX4", half, "--override", "0"}).status, kExitUsage);
  EXPECT_EQ(RunTool({"dump", folder + "missing.KX4"}).status, kExitError);
}

TEST(CliProject, MissingSettingsFileIsReportedAsAnError) {
  testing::TempDir dir;
  testing::WriteBytes(dir / "r.KJZ", "SYSINI:[[none.ini]]\r\n");
  const Result r = RunTool({"project", (dir / "r.KJZ").string()});
  EXPECT_EQ(r.status, kExitError);
  EXPECT_NE(r.err.find("none.ini"), std::string::npos);
  EXPECT_EQ(RunTool({"project", (dir / "missing.KJZ").string()}).status, kExitError);
}

}  // namespace
}  // namespace gestalon::cli
