// The robot projects the program ships must load cleanly and be exactly what the program writes.
#include <gtest/gtest.h>

#include "project/project_loader.h"
#include "recording_ports.h"
#include "temp_dir.h"

namespace gestalon::core {
namespace {

const std::filesystem::path kResources = GESTALON_RESOURCES_DIR;

LoadedProject LoadShipped(const std::filesystem::path& projectFile,
                          testing::RecordingPrompter& prompter) {
  LoadedProject project;
  ProjectLoadOptions options;
  options.programFolder = kResources;
  options.prompter = &prompter;
  EXPECT_TRUE(LoadRobotProject(projectFile, false, project, options)) << projectFile;
  return project;
}

TEST(ShippedProjects, LoadWithoutAnyMessageAndRewriteToTheSameBytes) {
  const std::filesystem::path projects[] = {
      kResources / "robots" / "gestaloid" / "gestaloid.KJZ",
      kResources / "temp" / "temp.KJZ",
      kResources / "templates" / "humanoid" / "humanoid.KJZ",
      kResources / "templates" / "original" / "original.KJZ",
  };
  for (const auto& file : projects) {
    testing::RecordingPrompter prompter;
    const LoadedProject project = LoadShipped(file, prompter);
    EXPECT_TRUE(prompter.Calls().empty()) << file;
    EXPECT_FALSE(ProjectRobotName(project).empty()) << file;
    for (const auto& skin : project.system.skins) {
      EXPECT_TRUE(skin.bitmap.has_value())
          << file << " " << std::string(skin.path.begin(), skin.path.end());
    }
    testing::TempDir out;
    const RobotProject& f = project.project;
    ASSERT_TRUE(WriteSystemSettings(out / "a", project.system));
    ASSERT_TRUE(WriteSliderDefinitions(out / "b", project.sliders, project.layout));
    ASSERT_TRUE(WriteBasePoses(out / "c", project.basePoses));
    ASSERT_TRUE(WriteValueOffsets(out / "d", project.offsets));
    ASSERT_TRUE(WriteCpuSettingsFile(out / "e", project.cpu));
    const std::pair<const char*, const std::u16string*> pairs[] = {{"a", &f.SYSINI},
                                                                   {"b", &f.SLDINI},
                                                                   {"c", &f.DEFPOSINI},
                                                                   {"d", &f.DEFOFSINI},
                                                                   {"e", &f.ROMINI}};
    for (const auto& [written, name] : pairs) {
      EXPECT_EQ(testing::ReadBytes(out / written), testing::ReadBytes(ProjectFilePath(f, *name)))
          << file;
    }
  }
}

}  // namespace
}  // namespace gestalon::core
