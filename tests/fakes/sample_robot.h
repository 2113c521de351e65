#pragma once

#include <filesystem>

#include "project/project_loader.h"
#include "temp_dir.h"

namespace gestalon::testing {

// The shipped sample robot, copied into a temporary folder and loaded, so that a test may let a
// window write its settings back or change the robot's files.
struct SampleRobot {
  TempDir dir;
  core::LoadedProject project;
  SampleRobot() {
    std::filesystem::copy(std::filesystem::path(GESTALON_RESOURCES_DIR) / "robots" / "gestaloid",
                          dir.Path() / "robot", std::filesystem::copy_options::recursive);
    core::ProjectLoadOptions options;
    options.programFolder = std::filesystem::path(GESTALON_RESOURCES_DIR);
    core::LoadRobotProject(dir.Path() / "robot" / "gestaloid.KJZ", true, project, options);
  }
  std::filesystem::path Folder() const { return dir.Path() / "robot"; }
};

}  // namespace gestalon::testing
