#pragma once

#include <Eigen/Geometry>
#include <array>
#include <string>
#include <vector>

namespace gestalon::preview {

enum class ShapeKind { kBox, kCylinder, kSphere };

// One visual of a link, placed by `origin` in the link's frame; metres. Box: `size` holds the
// edge lengths along x, y, z. Cylinder: size.x() the radius, size.z() the length along the
// shape's own z axis. Sphere: size.x() the radius.
struct Shape {
  ShapeKind kind = ShapeKind::kBox;
  Eigen::Vector3d size = Eigen::Vector3d::Zero();
  Eigen::Isometry3d origin = Eigen::Isometry3d::Identity();
  std::array<float, 4> rgba{0.75f, 0.75f, 0.78f, 1.0f};
};

struct Link {
  std::string name;
  std::vector<Shape> visuals;
};

enum class JointType { kFixed, kRevolute, kContinuous, kPrismatic };

// A joint places its child link at `origin` in its parent link's frame, then turns it about
// `axis` (revolute, continuous; radians) or moves it along `axis` (prismatic; metres).
struct Joint {
  std::string name;
  JointType type = JointType::kFixed;
  int parent = 0;  // link index
  int child = 0;   // link index
  Eigen::Isometry3d origin = Eigen::Isometry3d::Identity();
  Eigen::Vector3d axis = Eigen::Vector3d::UnitX();  // unit length
  bool limited = false;  // revolute and prismatic joints; the limits are shown, never enforced
  double lower = 0.0;
  double upper = 0.0;
};

// A robot as a tree: links[0] is the root; every other link is the child of exactly one joint.
// Joints are ordered parents first: a joint's parent link is the root or the child of an earlier
// joint, so one pass in order places every link.
struct RobotModel {
  std::string name;
  std::vector<Link> links;
  std::vector<Joint> joints;
};

// Index of the joint or link called `name`; -1 when there is none.
int JointIndex(const RobotModel& model, std::string_view name);
int LinkIndex(const RobotModel& model, std::string_view name);

// For each link, whether joint `joint` moves it: its child link and everything below.
std::vector<bool> LinksBelowJoint(const RobotModel& model, int joint);

}  // namespace gestalon::preview
