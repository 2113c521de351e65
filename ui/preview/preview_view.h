#pragma once

#include <QPoint>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "motion/motion_block.h"
#include "preview/robot_preview.h"
#include "preview/stance.h"
#include "preview_renderer.h"

namespace gestalon::ui {

using SlotValues = std::array<std::int16_t, core::kPoseSlotCount>;

// What the preview shows: the robot at `values`; with `ghost` a translucent second robot there
// (the robot's readings); the links of the selected sliders' joints highlighted.
struct PreviewPose {
  SlotValues values{};
  std::optional<SlotValues> ghost;
  std::array<bool, core::kPoseSlotCount> selected{};

  bool operator==(const PreviewPose&) const = default;
};

// One robot placed in the world: every link's pose, and which links sit beyond a joint that is
// outside its limits (with those joints' names).
struct PlacedRobot {
  std::vector<Eigen::Isometry3d> poses;
  std::vector<bool> outOfLimits;
  std::vector<std::string> jointsOutOfLimits;
};

// Places `robot` for slot values `values`, standing on the floor as `stance` says.
void PlaceRobot(const preview::RobotPreview& robot, const preview::Stance& stance,
                const SlotValues& values, PlacedRobot& placed);

// The 3D view: draws the robot with PreviewRenderer. Left drag orbits, right or middle drag pans,
// the wheel zooms. UI thread only.
class PreviewView : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewView(QWidget* parent = nullptr);

  // The robot to draw (none: an empty floor).
  void SetRobot(std::optional<preview::RobotPreview> robot);
  bool HasRobot() const { return robot_.has_value(); }
  // Shows `pose`; repaints only when it changed.
  void ShowPose(const PreviewPose& pose);
  void LookFrom(CannedView view);
  const PreviewCamera& Camera() const { return camera_; }
  void SetCamera(const PreviewCamera& camera);
  // Names of the joints of the main robot outside their limits, as last shown.
  const std::vector<std::string>& JointsOutOfLimits() const { return main_.jointsOutOfLimits; }
  // Draws the view as it stands into `painter` at `size` (the widget's paint, a grab, a bench).
  void Paint(QPainter& painter, QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void Place();

  std::optional<preview::RobotPreview> robot_;
  std::vector<LinkMesh> meshes_;
  preview::Stance stance_;
  // For each slider, the links its joints move themselves (highlighted when it is selected).
  std::array<std::vector<int>, core::kPoseSlotCount> sliderLinks_;
  PreviewPose pose_;
  PlacedRobot main_;
  PlacedRobot ghost_;
  std::vector<bool> highlighted_;
  PreviewCamera camera_;
  PreviewRenderer renderer_;
  QPoint lastMouse_;
};

}  // namespace gestalon::ui
