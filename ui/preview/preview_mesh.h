#pragma once

#include <Eigen/Geometry>
#include <cstdint>
#include <vector>

#include "preview/robot_model.h"

namespace gestalon::ui {

// The faces of one link's visuals, in the link's frame: convex polygons with an outward normal
// and the visual's colour (ARGB).
struct LinkMesh {
  struct Face {
    int first = 0;  // into `corners`
    int count = 0;
    Eigen::Vector3d normal = Eigen::Vector3d::UnitZ();
    std::uint32_t argb = 0xFFC0C0C0u;
  };
  std::vector<Eigen::Vector3d> corners;
  std::vector<Face> faces;
};

// Segments around a cylinder and a sphere, and rings of a sphere: enough to read as round at
// the sizes a small robot is shown, few enough to draw hundreds of them per frame.
inline constexpr int kRoundSegments = 16;
inline constexpr int kSphereRings = 8;

// One mesh per link of `model`.
std::vector<LinkMesh> BuildMeshes(const preview::RobotModel& model);

}  // namespace gestalon::ui
