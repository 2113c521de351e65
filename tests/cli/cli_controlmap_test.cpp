#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_app.h"
#include "run_tool.h"
#include "temp_dir.h"

namespace gestalon::cli {
namespace {

std::string WriteText(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
  return file.string();
}

TEST(CliControlMap, BuildThenDumpGivesTheMapBack) {
  testing::TempDir dir;
  const std::string json = R"({
    "bootMotion": "boot.KX4",
    "maps": [
      {"name": "歩行", "entries": [
        {"motion": "wave.KX4", "kind": "pad", "constValue": 4096, "targetMap": 1},
        {"motion": "bow.KX4", "kind": "variable", "varAddr": 3968, "op": 2, "constValue": 3,
         "varSize": 2}]},
      {"name": "MAP2", "used": false, "idlingMotion": "idle.KX4"}]})";
  const std::string map = (dir / "MAP.KX4").string();
  ASSERT_EQ(RunTool({"controlmap", "build", WriteText(dir / "map.json", json), "-o", map}).status,
            kExitOk);
  const Result dump = RunTool({"controlmap", "dump", map});
  ASSERT_EQ(dump.status, kExitOk) << dump.err;
  const auto read = nlohmann::json::parse(dump.out);
  EXPECT_EQ(read["bootMotion"], "boot.KX4");
  ASSERT_EQ(read["maps"].size(), 4u);
  EXPECT_EQ(read["maps"][0]["name"], "歩行");
  EXPECT_EQ(read["maps"][1]["used"], false);
  EXPECT_EQ(read["maps"][1]["idlingMotion"], "idle.KX4");
  EXPECT_EQ(read["maps"][2]["name"], "MAP3");
  const auto& entries = read["maps"][0]["entries"];
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0]["motion"], "wave.KX4");
  EXPECT_EQ(entries[0]["kind"], "pad");
  EXPECT_EQ(entries[0]["varAddr"], 0x0EE4);
  EXPECT_EQ(entries[0]["constValue"], 4096);
  EXPECT_EQ(entries[0]["targetMap"], 1);
  EXPECT_EQ(entries[1]["kind"], "variable");
  EXPECT_EQ(entries[1]["varAddr"], 3968);
  EXPECT_EQ(entries[1]["op"], 2);
  EXPECT_EQ(entries[1]["targetMap"], 0);
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
  for (const std::string json :
       {"{", R"({"maps": [{"entries": [{"targetMap": 4}]}]})",
        R"({"maps": [{"entries": [{"kind": "button"}]}]})",
        R"({"maps": [{"entries": [{"varAddr": 70000}]}]})", R"({"maps": [{}, {}, {}, {}, {}]})"}) {
    const Result bad = RunTool({"controlmap", "build", WriteText(dir / "bad.json", json), "-o",
                                (dir / "BAD.KX4").string()});
    EXPECT_EQ(bad.status, kExitError) << json;
    EXPECT_FALSE(std::filesystem::exists(dir / "BAD.KX4")) << json;
  }
  EXPECT_EQ(RunTool({"controlmap"}).status, kExitUsage);
}

}  // namespace
}  // namespace gestalon::cli
