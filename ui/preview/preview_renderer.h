#pragma once

#include <Eigen/Geometry>
#include <QPointF>
#include <QSize>
#include <span>
#include <vector>

#include "preview_mesh.h"

class QPainter;

namespace gestalon::ui {

// Where the preview looks from: orbiting `target` at `distance` metres, `yaw` radians about the
// vertical from the robot's front (+x), `pitch` radians above the floor.
struct PreviewCamera {
  double yaw = 0.55;
  double pitch = 0.30;
  double distance = 0.95;
  Eigen::Vector3d target{0.0, 0.0, 0.19};
};

enum class CannedView { kFront, kSide, kTop };

// `camera` turned to look from the front, the robot's right side or above; target and distance
// kept.
PreviewCamera Looking(PreviewCamera camera, CannedView view);

// One robot to draw: its link meshes placed at world poses (z up, the floor at z = 0).
struct RobotFigure {
  const std::vector<LinkMesh>* meshes = nullptr;
  const std::vector<Eigen::Isometry3d>* poses = nullptr;
  const std::vector<bool>* highlighted = nullptr;  // per link; null: none
  const std::vector<bool>* outOfLimits = nullptr;  // per link; null: none
  double opacity = 1.0;                            // below 1: a translucent second robot
};

// Draws robots with flat shading as depth-sorted polygons (back faces culled) over a floor grid,
// with QPainter only, so it runs the same on any platform, on screen or into an image.
// Keeps its scratch buffers between frames. UI thread only.
class PreviewRenderer {
 public:
  void Render(QPainter& painter, QSize size, const PreviewCamera& camera,
              std::span<const RobotFigure> figures);

  static constexpr std::uint32_t kBackground = 0xFF2B2F36u;
  static constexpr double kFieldOfViewDegrees = 35.0;

 private:
  struct DrawnFace {
    float depth;
    std::uint32_t argb;
    int first;  // into points_
    int count;
  };

  void DrawFloor(QPainter& painter);
  bool Project(const Eigen::Vector3d& world, QPointF& point, double& depth) const;

  // The frame's view: camera rotation (rows: right, up, back), eye position and scale.
  Eigen::Matrix3d view_ = Eigen::Matrix3d::Identity();
  Eigen::Vector3d eye_ = Eigen::Vector3d::Zero();
  Eigen::Vector3d light_ = Eigen::Vector3d::UnitZ();
  double focal_ = 1.0;
  QPointF centre_;

  std::vector<Eigen::Vector3d> world_;
  std::vector<QPointF> points_;
  std::vector<DrawnFace> faces_;
  std::vector<int> order_;
};

}  // namespace gestalon::ui
