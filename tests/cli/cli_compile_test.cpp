#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "board/image_builder.h"
#include "board/settings_image.h"
#include "cli_app.h"
#include "project/project_loader.h"
#include "run_tool.h"
#include "temp_dir.h"

namespace gestalon::cli {
namespace {

const std::filesystem::path kSample = GESTALON_RESOURCES_DIR "/robots/gestaloid";

core::LoadedProject LoadSample(const std::filesystem::path& file) {
  core::LoadedProject project;
  EXPECT_TRUE(core::LoadRobotProject(file, true, project, {}));
  return project;
}

core::ImageBuildContext Context(const core::LoadedProject& project,
                                const std::filesystem::path& folder) {
  core::ImageBuildContext context;
  context.projectFolder = folder;
  context.sliders = &project.sliders;
  context.cpu = &project.cpu;
  return context;
}

// The playback image as the core builds it, followed by the end byte.
std::string ExpectedPlaybackImage(const std::u16string& motion, std::uint32_t percent) {
  const core::LoadedProject project = LoadSample(kSample / "gestaloid.KJZ");
  core::CopyList copyList;
  const auto image =
      core::BuildMotionImage(Context(project, kSample), motion, u"", percent, 0, copyList);
  EXPECT_TRUE(image.has_value());
  return image ? std::string(image->bytes.begin(), image->bytes.end()) + '\x80' : std::string();
}

TEST(CliCompile, PlaybackImageOfTheSampleWithItsSubroutines) {
  testing::TempDir dir;
  const std::string out = (dir / "TEMP.BIN").string();
  const Result r = RunTool({"compile", (kSample / "greeting.KX4").string(), "-o", out, "--project",
                            (kSample / "gestaloid.KJZ").string()});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_TRUE(r.err.empty());
  const std::string image = testing::ReadBytes(out);
  EXPECT_EQ(image, ExpectedPlaybackImage(u"greeting.KX4", 100));  // CliSimulate runs its calls
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
  const Result r = RunTool({"startup", (kSample / "gestaloid.KJZ").string(), "-o", out});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto settings = core::BuildSettingsImage(LoadSample(kSample / "gestaloid.KJZ").cpu);
  EXPECT_EQ(testing::ReadBytes(out), std::string(settings.begin(), settings.end()));
  EXPECT_EQ(RunTool({"startup", (dir / "none.KJZ").string(), "-o", out}).status, kExitError);
}

}  // namespace
}  // namespace gestalon::cli
