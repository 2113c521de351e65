#include "preview/stance.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "preview/forward_kinematics.h"

namespace gestalon::preview {

namespace {

// Half extents of the box around a shape, in the shape's frame.
Eigen::Vector3d HalfExtents(const Shape& shape) {
  switch (shape.kind) {
    case ShapeKind::kBox:
      return shape.size / 2.0;
    case ShapeKind::kCylinder:
      return {shape.size.x(), shape.size.x(), shape.size.z() / 2.0};
    case ShapeKind::kSphere:
      return Eigen::Vector3d::Constant(shape.size.x());
  }
  return Eigen::Vector3d::Zero();
}

}  // namespace

double LowestPoint(const Link& link, const Eigen::Isometry3d& pose) {
  double lowest = std::numeric_limits<double>::infinity();
  for (const Shape& shape : link.visuals) {
    const Eigen::Isometry3d placed = pose * shape.origin;
    if (shape.kind == ShapeKind::kSphere) {
      lowest = std::min(lowest, placed.translation().z() - shape.size.x());
      continue;
    }
    const Eigen::Vector3d half = HalfExtents(shape);
    for (int corner = 0; corner < 8; ++corner) {
      const Eigen::Vector3d local((corner & 1) ? half.x() : -half.x(),
                                  (corner & 2) ? half.y() : -half.y(),
                                  (corner & 4) ? half.z() : -half.z());
      lowest = std::min(lowest, (placed * local).z());
    }
  }
  return lowest;
}

Stance FindStance(const RobotModel& model) {
  Stance stance;
  std::vector<Eigen::Isometry3d> poses;
  ForwardKinematics(model, {}, poses);
  std::vector<double> lowest(model.links.size());
  double floor = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < model.links.size(); ++i) {
    lowest[i] = LowestPoint(model.links[i], poses[i]);
    floor = std::min(floor, lowest[i]);
  }
  if (!std::isfinite(floor)) {
    floor = 0.0;
  }
  stance.rootHome = Eigen::Translation3d(0.0, 0.0, -floor) * Eigen::Isometry3d::Identity();
  if (!model.links.empty() && lowest[0] <= floor + kFootTolerance) {
    return stance;  // the root stands on the floor itself
  }
  for (std::size_t i = 0; i < model.links.size(); ++i) {
    if (lowest[i] <= floor + kFootTolerance) {
      stance.feet.push_back(static_cast<int>(i));
      stance.footHomes.push_back(stance.rootHome * poses[i]);
    }
  }
  return stance;
}

Eigen::Isometry3d PlaceOnFloor(const Stance& stance, const RobotModel& model,
                               const std::vector<Eigen::Isometry3d>& linkPoses) {
  if (stance.feet.empty()) {
    return stance.rootHome;
  }
  std::size_t support = 0;
  double supportLow = std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; k < stance.feet.size(); ++k) {
    const auto foot = static_cast<std::size_t>(stance.feet[k]);
    // Ties go to the first foot, so that a symmetric pose does not flicker between feet.
    const double low = LowestPoint(model.links[foot], linkPoses[foot]);
    if (low < supportLow - 1e-6) {
      supportLow = low;
      support = k;
    }
  }
  const auto foot = static_cast<std::size_t>(stance.feet[support]);
  return stance.footHomes[support] * linkPoses[foot].inverse();
}

}  // namespace gestalon::preview
