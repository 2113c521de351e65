#include <gtest/gtest.h>

#include <fstream>

#include "cli_app.h"
#include "fixture_file.h"
#include "run_tool.h"
#include "temp_dir.h"

namespace gestalon::cli {
namespace {

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
  ASSERT_FALSE(expected.empty());
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
