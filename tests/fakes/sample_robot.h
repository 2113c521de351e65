#pragma once

#include <filesystem>
#include <stdexcept>

#include "project/project_loader.h"
#include "temp_dir.h"

namespace gestalon::testing {

inline const std::filesystem::path kSampleRobotFolder =
    std::filesystem::path(GESTALON_RESOURCES_DIR) / "robots" / "gestaloid";

// The shipped sample robot loaded where it lies, for tests that write nothing back.
inline core::LoadedProject ShippedSampleRobot() {
  core::LoadedProject project;
  core::ProjectLoadOptions options;
  options.programFolder = std::filesystem::path(GESTALON_RESOURCES_DIR);
  if (!core::LoadRobotProject(kSampleRobotFolder / "gestaloid.KJZ", true, project, options)) {
    throw std::runtime_error("the sample robot does not load");
  }
  return project;
}

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
