#pragma once

#include <Eigen/Geometry>
#include <vector>

#include "preview/robot_model.h"

namespace gestalon::preview {

// How the robot stands on the floor (the plane z = 0 of the world). The links lowest in the zero
// pose are its feet; in any pose the robot rests on whichever foot is lowest in the root's frame,
// that foot kept where it stands in the zero pose, so that bending the hips bows the body rather
// than lifting the legs. A robot whose root is among its lowest links stays on its root.
struct Stance {
  std::vector<int> feet;                     // link indexes; empty: rest on the root
  std::vector<Eigen::Isometry3d> footHomes;  // each foot's world pose in the zero pose
  Eigen::Isometry3d rootHome = Eigen::Isometry3d::Identity();  // the root's, floor at 0
};

// Feet count as level within this height of the lowest point (metres).
inline constexpr double kFootTolerance = 0.005;

Stance FindStance(const RobotModel& model);

// The world pose of the root for the link poses `linkPoses` (in the root's frame).
Eigen::Isometry3d PlaceOnFloor(const Stance& stance, const RobotModel& model,
                               const std::vector<Eigen::Isometry3d>& linkPoses);

// The lowest z of link `link`'s visuals with the link at `pose`; +infinity without visuals.
double LowestPoint(const Link& link, const Eigen::Isometry3d& pose);

}  // namespace gestalon::preview
