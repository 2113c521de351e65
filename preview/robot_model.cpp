#include "preview/robot_model.h"

namespace gestalon::preview {

int JointIndex(const RobotModel& model, std::string_view name) {
  for (std::size_t i = 0; i < model.joints.size(); ++i) {
    if (model.joints[i].name == name) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int LinkIndex(const RobotModel& model, std::string_view name) {
  for (std::size_t i = 0; i < model.links.size(); ++i) {
    if (model.links[i].name == name) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::vector<bool> LinksBelowJoint(const RobotModel& model, int joint) {
  std::vector<bool> below(model.links.size(), false);
  if (joint < 0 || joint >= static_cast<int>(model.joints.size())) {
    return below;
  }
  below[static_cast<std::size_t>(model.joints[static_cast<std::size_t>(joint)].child)] = true;
  // Parents come first, so one pass from the joint on reaches every descendant.
  for (std::size_t i = static_cast<std::size_t>(joint) + 1; i < model.joints.size(); ++i) {
    if (below[static_cast<std::size_t>(model.joints[i].parent)]) {
      below[static_cast<std::size_t>(model.joints[i].child)] = true;
    }
  }
  return below;
}

}  // namespace gestalon::preview
