#include <gtest/gtest.h>

#include <numbers>

#include "preview/forward_kinematics.h"
#include "preview/stance.h"
#include "sample_preview.h"

namespace gestalon::preview {
namespace {

using testing::SamplePreview;

constexpr double kDeg = std::numbers::pi / 180.0;

// Two links of 1 m along x, both joints turning about z; a third, sliding joint along x.
RobotModel TwoLinkArm(JointType second = JointType::kRevolute) {
  RobotModel model;
  model.links = {{"base", {}}, {"upper", {}}, {"fore", {}}, {"tip", {}}};
  Joint shoulder;
  shoulder.type = JointType::kRevolute;
  shoulder.parent = 0;
  shoulder.child = 1;
  shoulder.axis = Eigen::Vector3d::UnitZ();
  Joint elbow = shoulder;
  elbow.type = second;
  if (second == JointType::kPrismatic) {
    elbow.axis = Eigen::Vector3d::UnitX();  // slides along the upper link
  }
  elbow.parent = 1;
  elbow.child = 2;
  elbow.origin = Eigen::Translation3d(1.0, 0.0, 0.0) * Eigen::Isometry3d::Identity();
  Joint tip = elbow;
  tip.type = JointType::kFixed;
  tip.parent = 2;
  tip.child = 3;
  model.joints = {shoulder, elbow, tip};
  return model;
}

struct ArmCase {
  double shoulder;  // radians
  double elbow;     // radians, or metres for the sliding joint
  JointType elbowType;
  Eigen::Vector3d tip;
};

TEST(ForwardKinematics, TwoLinkArmTipFollowsTheJoints) {
  const ArmCase cases[] = {
      {0.0, 0.0, JointType::kRevolute, {2.0, 0.0, 0.0}},
      {90 * kDeg, 0.0, JointType::kRevolute, {0.0, 2.0, 0.0}},
      {90 * kDeg, -90 * kDeg, JointType::kRevolute, {1.0, 1.0, 0.0}},
      {-45 * kDeg,
       135 * kDeg,
       JointType::kContinuous,
       {std::sqrt(0.5), -std::sqrt(0.5) + 1.0, 0.0}},
      {90 * kDeg, 0.5, JointType::kPrismatic, {0.0, 2.5, 0.0}},
  };
  for (const ArmCase& c : cases) {
    const RobotModel model = TwoLinkArm(c.elbowType);
    std::vector<Eigen::Isometry3d> poses;
    const double positions[] = {c.shoulder, c.elbow};
    ForwardKinematics(model, positions, poses);
    ASSERT_EQ(poses.size(), 4u);
    EXPECT_TRUE(poses[3].translation().isApprox(c.tip, 1e-9))
        << c.shoulder << " " << c.elbow << ": " << poses[3].translation().transpose();
  }
}

// The sample's right forearm, from slider values through the mapping, checked by hand against
// the description: shoulder at (0, -0.084, 0.105) from the pelvis, upper arm 0.065 long.
TEST(ForwardKinematics, SampleRightArmAtKnownAngles) {
  const SamplePreview sample;
  const RobotModel& model = sample.robot.model;
  const int forearm = LinkIndex(model, "r_forearm");
  ASSERT_GE(forearm, 0);
  struct Case {
    int slider;
    std::int16_t value;
    Eigen::Vector3d elbow;
  };
  const Case cases[] = {
      {4, 0, {0.0, -0.084, 0.040}},        // hanging
      {4, 9000, {0.0, -0.149, 0.105}},     // roll 90 degrees: straight out to the side
      {2, -9000, {0.065, -0.084, 0.105}},  // pitch -90 degrees: straight forward
      {2, 9000, {-0.065, -0.084, 0.105}},  // pitch +90 degrees: straight back
  };
  for (const Case& c : cases) {
    std::array<std::int16_t, core::kPoseSlotCount> values{};
    values[static_cast<std::size_t>(c.slider)] = c.value;
    std::vector<double> positions;
    JointPositions(model, sample.robot.drives, values, positions);
    std::vector<Eigen::Isometry3d> poses;
    ForwardKinematics(model, positions, poses);
    EXPECT_TRUE(poses[static_cast<std::size_t>(forearm)].translation().isApprox(c.elbow, 1e-9))
        << "slider " << c.slider << " = " << c.value << ": "
        << poses[static_cast<std::size_t>(forearm)].translation().transpose();
  }
}

TEST(ForwardKinematics, OneSliderMovesOnlyTheLinksBelowItsJoint) {
  const SamplePreview sample;
  const RobotModel& model = sample.robot.model;
  struct Case {
    int slider;
    std::vector<std::string> moved;
  };
  const Case cases[] = {
      {6, {"r_forearm"}},
      {7, {"l_forearm"}},
      {0, {"head"}},
      {12, {"r_thigh", "r_shin", "r_ankle", "r_foot"}},
      {17, {"l_ankle", "l_foot"}},
      {1,
       {"torso", "head", "r_shoulder", "r_upper_arm", "r_forearm", "l_shoulder", "l_upper_arm",
        "l_forearm"}},
  };
  std::vector<Eigen::Isometry3d> rest;
  ForwardKinematics(model, {}, rest);
  for (const Case& c : cases) {
    std::array<std::int16_t, core::kPoseSlotCount> values{};
    values[static_cast<std::size_t>(c.slider)] = 3000;
    std::vector<double> positions;
    JointPositions(model, sample.robot.drives, values, positions);
    std::vector<Eigen::Isometry3d> poses;
    ForwardKinematics(model, positions, poses);
    for (std::size_t i = 0; i < model.links.size(); ++i) {
      const bool expected =
          std::find(c.moved.begin(), c.moved.end(), model.links[i].name) != c.moved.end();
      EXPECT_EQ(!poses[i].isApprox(rest[i], 1e-12), expected)
          << "slider " << c.slider << ", link " << model.links[i].name;
    }
  }
}

// Bending both hips forward keeps the feet where they stand and brings the head forward and
// down: a bow, not legs kicking up.
TEST(Stance, SampleBowsOverItsFeet) {
  const SamplePreview sample;
  const RobotModel& model = sample.robot.model;
  const Stance stance = FindStance(model);
  ASSERT_EQ(stance.feet.size(), 2u);
  const auto place = [&](std::int16_t rightHip, std::int16_t leftHip) {
    std::array<std::int16_t, core::kPoseSlotCount> values{};
    values[12] = rightHip;
    values[13] = leftHip;
    std::vector<double> positions;
    JointPositions(model, sample.robot.drives, values, positions);
    std::vector<Eigen::Isometry3d> poses;
    ForwardKinematics(model, positions, poses);
    const Eigen::Isometry3d root = PlaceOnFloor(stance, model, poses);
    for (Eigen::Isometry3d& pose : poses) {
      pose = root * pose;
    }
    return poses;
  };
  const auto upright = place(0, 0);
  const auto bowed = place(-4500, 4500);  // the sample's bow
  const auto head = static_cast<std::size_t>(LinkIndex(model, "head"));
  const auto foot = static_cast<std::size_t>(LinkIndex(model, "r_foot"));
  EXPECT_NEAR(LowestPoint(model.links[foot], upright[foot]), 0.0, 1e-9);
  EXPECT_TRUE(bowed[foot].isApprox(upright[foot], 1e-9));
  EXPECT_GT(bowed[head].translation().x(), upright[head].translation().x() + 0.1);
  EXPECT_LT(bowed[head].translation().z(), upright[head].translation().z() - 0.03);
  // About 40 cm tall.
  EXPECT_NEAR(upright[head].translation().z() + 0.065, 0.40, 0.03);
}

}  // namespace
}  // namespace gestalon::preview
