#pragma once

#include <Eigen/Geometry>
#include <span>
#include <vector>

#include "preview/robot_model.h"

namespace gestalon::preview {

// Where every link is in the root link's frame for the joint positions `positions` (one per
// joint of the model, radians or metres; missing ones count as 0). `linkPoses` is resized to the
// number of links; the root stays at the identity. Limits are not applied.
void ForwardKinematics(const RobotModel& model, std::span<const double> positions,
                       std::vector<Eigen::Isometry3d>& linkPoses);

}  // namespace gestalon::preview
