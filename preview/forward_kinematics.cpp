#include "preview/forward_kinematics.h"

namespace gestalon::preview {

void ForwardKinematics(const RobotModel& model, std::span<const double> positions,
                       std::vector<Eigen::Isometry3d>& linkPoses) {
  linkPoses.assign(model.links.size(), Eigen::Isometry3d::Identity());
  for (std::size_t i = 0; i < model.joints.size(); ++i) {
    const Joint& joint = model.joints[i];
    const double q = i < positions.size() ? positions[i] : 0.0;
    Eigen::Isometry3d pose = linkPoses[static_cast<std::size_t>(joint.parent)] * joint.origin;
    switch (joint.type) {
      case JointType::kRevolute:
      case JointType::kContinuous:
        pose.rotate(Eigen::AngleAxisd(q, joint.axis));
        break;
      case JointType::kPrismatic:
        pose.translate(joint.axis * q);
        break;
      case JointType::kFixed:
        break;
    }
    linkPoses[static_cast<std::size_t>(joint.child)] = pose;
  }
}

}  // namespace gestalon::preview
