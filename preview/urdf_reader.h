#pragma once

#include <filesystem>

#include "preview/file_error.h"
#include "preview/robot_model.h"

namespace gestalon::preview {

// Reads a URDF robot description. Box, cylinder and sphere visuals are kept as they are; a mesh
// becomes a box of its scale times kMeshBoxEdge, since mesh files are not read. Floating and
// planar joints are taken as fixed. False with `error` set (the file, the line when the parser
// or a named element tells it, and the parser's words) when the file cannot be read or is not a
// valid description; `model` is then unchanged.
bool ReadUrdfFile(const std::filesystem::path& file, RobotModel& model, FileError& error);

inline constexpr double kMeshBoxEdge = 0.03;  // metres

}  // namespace gestalon::preview
