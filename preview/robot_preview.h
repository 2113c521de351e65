#pragma once

#include <filesystem>
#include <vector>

#include "preview/file_error.h"
#include "preview/joint_mapping.h"
#include "preview/robot_model.h"

namespace gestalon::preview {

// A robot project's preview: its robot description and how the pose sliders drive its joints.
struct RobotPreview {
  RobotModel model;
  std::vector<JointDrive> drives;
};

enum class PreviewLoad { kLoaded, kNoPreview, kFailed };

// Loads the preview of the robot project in `projectFolder` from the mapping file there and the
// description it names. kNoPreview when the folder has no mapping file; kFailed with `error` set
// when a file is missing or wrong. `preview` changes only on kLoaded.
PreviewLoad LoadRobotPreview(const std::filesystem::path& projectFolder,
                             const core::SliderTable& sliders, RobotPreview& preview,
                             FileError& error);

}  // namespace gestalon::preview
