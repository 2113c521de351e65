#include "preview_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "preview/forward_kinematics.h"

namespace gestalon::ui {

namespace {

constexpr double kOrbitPerPixel = 0.01;  // radians
constexpr double kMinDistance = 0.15;    // metres
constexpr double kMaxDistance = 6.0;
constexpr double kZoomPerNotch = 0.9;
constexpr double kMaxPitch = 1.55;

}  // namespace

void PlaceRobot(const preview::RobotPreview& robot, const preview::Stance& stance,
                const SlotValues& values, PlacedRobot& placed) {
  const preview::RobotModel& model = robot.model;
  std::vector<double> positions;
  preview::JointPositions(model, robot.drives, values, positions);
  preview::ForwardKinematics(model, positions, placed.poses);
  const Eigen::Isometry3d root = preview::PlaceOnFloor(stance, model, placed.poses);
  for (Eigen::Isometry3d& pose : placed.poses) {
    pose = root * pose;
  }
  placed.outOfLimits.assign(model.links.size(), false);
  placed.jointsOutOfLimits.clear();
  for (std::size_t j = 0; j < model.joints.size(); ++j) {
    const preview::Joint& joint = model.joints[j];
    constexpr double kSlack = 1e-9;
    if (joint.limited &&
        (positions[j] < joint.lower - kSlack || positions[j] > joint.upper + kSlack)) {
      placed.jointsOutOfLimits.push_back(joint.name);
      placed.outOfLimits[static_cast<std::size_t>(joint.child)] = true;
    }
  }
}

PreviewView::PreviewView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("previewView"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 200);
}

void PreviewView::SetRobot(std::optional<preview::RobotPreview> robot) {
  robot_ = std::move(robot);
  meshes_.clear();
  for (std::vector<int>& links : sliderLinks_) {
    links.clear();
  }
  if (robot_) {
    meshes_ = BuildMeshes(robot_->model);
    stance_ = preview::FindStance(robot_->model);
    for (const preview::JointDrive& drive : robot_->drives) {
      sliderLinks_[static_cast<std::size_t>(drive.slider)].push_back(
          robot_->model.joints[static_cast<std::size_t>(drive.joint)].child);
    }
  }
  Place();
  update();
}

void PreviewView::ShowPose(const PreviewPose& pose) {
  if (pose == pose_) {
    return;
  }
  pose_ = pose;
  Place();
  update();
}

void PreviewView::Place() {
  if (!robot_) {
    main_ = {};
    ghost_ = {};
    return;
  }
  PlaceRobot(*robot_, stance_, pose_.values, main_);
  if (pose_.ghost) {
    PlaceRobot(*robot_, stance_, *pose_.ghost, ghost_);
  }
  highlighted_.assign(robot_->model.links.size(), false);
  for (std::size_t k = 0; k < pose_.selected.size(); ++k) {
    if (pose_.selected[k]) {
      for (const int link : sliderLinks_[k]) {
        highlighted_[static_cast<std::size_t>(link)] = true;
      }
    }
  }
}

void PreviewView::LookFrom(CannedView view) {
  SetCamera(Looking(camera_, view));
}

void PreviewView::SetCamera(const PreviewCamera& camera) {
  camera_ = camera;
  update();
}

void PreviewView::Paint(QPainter& painter, QSize size) {
  std::vector<RobotFigure> figures;
  if (robot_) {
    figures.push_back({&meshes_, &main_.poses, &highlighted_, &main_.outOfLimits, 1.0});
    if (pose_.ghost) {
      figures.push_back({&meshes_, &ghost_.poses, nullptr, nullptr, 0.35});
    }
  }
  renderer_.Render(painter, size, camera_, figures);
}

void PreviewView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter, size());
}

void PreviewView::mousePressEvent(QMouseEvent* event) {
  lastMouse_ = event->position().toPoint();
}

void PreviewView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QPoint delta = at - lastMouse_;
  lastMouse_ = at;
  if (event->buttons() & Qt::LeftButton) {
    camera_.yaw -= delta.x() * kOrbitPerPixel;
    camera_.pitch = std::clamp(camera_.pitch + delta.y() * kOrbitPerPixel, -kMaxPitch, kMaxPitch);
  } else if (event->buttons() & (Qt::RightButton | Qt::MiddleButton)) {
    // Pan in the view plane, by as much as the pointer moved at the target's distance.
    const double metresPerPixel =
        2.0 * camera_.distance *
        std::tan(PreviewRenderer::kFieldOfViewDegrees * std::numbers::pi / 360.0) /
        std::max(1, height());
    const Eigen::Vector3d right(-std::sin(camera_.yaw), std::cos(camera_.yaw), 0.0);
    const Eigen::Vector3d up(-std::sin(camera_.pitch) * std::cos(camera_.yaw),
                             -std::sin(camera_.pitch) * std::sin(camera_.yaw),
                             std::cos(camera_.pitch));
    camera_.target += metresPerPixel * (-delta.x() * right + delta.y() * up);
  } else {
    return;
  }
  update();
}

void PreviewView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  camera_.distance =
      std::clamp(camera_.distance * std::pow(kZoomPerNotch, notches), kMinDistance, kMaxDistance);
  update();
}

}  // namespace gestalon::ui
