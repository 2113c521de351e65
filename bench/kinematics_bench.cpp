// Forward kinematics of a 32-joint chain: what the preview computes for every robot it draws,
// once per frame.
#include <benchmark/benchmark.h>

#include <cmath>

#include "preview/forward_kinematics.h"

namespace {

using namespace gestalon::preview;

// A chain of 32 revolute joints, 3 cm apart, their axes turning through x, y and z.
RobotModel Chain32() {
  RobotModel model;
  model.links.push_back({"base", {}});
  for (int i = 0; i < 32; ++i) {
    model.links.push_back({"link" + std::to_string(i), {}});
    Joint joint;
    joint.name = "joint" + std::to_string(i);
    joint.type = JointType::kRevolute;
    joint.parent = i;
    joint.child = i + 1;
    joint.origin = Eigen::Translation3d(0.0, 0.0, 0.03) * Eigen::Isometry3d::Identity();
    joint.axis = Eigen::Vector3d::Unit(i % 3);
    model.joints.push_back(joint);
  }
  return model;
}

void BM_ForwardKinematics32(benchmark::State& state) {
  const RobotModel model = Chain32();
  std::vector<double> positions(32);
  for (std::size_t i = 0; i < positions.size(); ++i) {
    positions[i] = 0.1 * std::sin(static_cast<double>(i));
  }
  std::vector<Eigen::Isometry3d> poses;
  for (auto _ : state) {
    positions[0] += 1e-6;
    ForwardKinematics(model, positions, poses);
    benchmark::DoNotOptimize(poses.data());
  }
}
BENCHMARK(BM_ForwardKinematics32)->Unit(benchmark::kMicrosecond);

}  // namespace
