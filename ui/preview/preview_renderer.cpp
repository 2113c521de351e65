#include "preview_renderer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace gestalon::ui {

namespace {

constexpr double kNearDepth = 0.01;  // metres in front of the eye
constexpr double kGridHalf = 0.5;    // the grid covers 1 m x 1 m around the origin
constexpr double kGridStep = 0.05;
constexpr std::uint32_t kHighlight = 0xFFFF8C1Au;
constexpr std::uint32_t kOutOfLimits = 0xFFE03030u;

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
  const auto channel = [&](int shift) {
    const double x = ((a >> shift) & 0xFF) * (1.0 - t) + ((b >> shift) & 0xFF) * t;
    return static_cast<std::uint32_t>(x + 0.5) << shift;
  };
  return (a & 0xFF000000u) | channel(16) | channel(8) | channel(0);
}

std::uint32_t Shade(std::uint32_t argb, double intensity, double opacity) {
  const auto channel = [&](int shift) {
    const double x = std::min(255.0, ((argb >> shift) & 0xFF) * intensity);
    return static_cast<std::uint32_t>(x + 0.5) << shift;
  };
  const double alpha = ((argb >> 24) & 0xFF) * opacity;
  return (static_cast<std::uint32_t>(alpha + 0.5) << 24) | channel(16) | channel(8) | channel(0);
}

}  // namespace

PreviewCamera Looking(PreviewCamera camera, CannedView view) {
  switch (view) {
    case CannedView::kFront:
      camera.yaw = 0.0;
      camera.pitch = 0.05;
      break;
    case CannedView::kSide:
      camera.yaw = -std::numbers::pi / 2.0;  // from the robot's right
      camera.pitch = 0.05;
      break;
    case CannedView::kTop:
      camera.yaw = 0.0;
      camera.pitch = std::numbers::pi / 2.0 - 1e-3;  // straight down, front at the bottom
      break;
  }
  return camera;
}

bool PreviewRenderer::Project(const Eigen::Vector3d& world, QPointF& point, double& depth) const {
  const Eigen::Vector3d p = view_ * (world - eye_);
  depth = -p.z();
  if (depth < kNearDepth) {
    return false;
  }
  point = QPointF(centre_.x() + focal_ * p.x() / depth, centre_.y() - focal_ * p.y() / depth);
  return true;
}

void PreviewRenderer::DrawFloor(QPainter& painter) {
  painter.setPen(QPen(QColor(0x4A, 0x50, 0x5A), 0));
  const int lines = static_cast<int>(std::lround(2.0 * kGridHalf / kGridStep));
  for (int k = 0; k <= lines; ++k) {
    const double at = -kGridHalf + k * kGridStep;
    const std::pair<Eigen::Vector3d, Eigen::Vector3d> segments[] = {
        {{at, -kGridHalf, 0.0}, {at, kGridHalf, 0.0}},
        {{-kGridHalf, at, 0.0}, {kGridHalf, at, 0.0}}};
    for (const auto& [from, to] : segments) {
      QPointF a, b;
      double da = 0.0, db = 0.0;
      if (Project(from, a, da) && Project(to, b, db)) {
        painter.drawLine(a, b);
      }
    }
  }
}

void PreviewRenderer::Render(QPainter& painter, QSize size, const PreviewCamera& camera,
                             std::span<const RobotFigure> figures) {
  painter.fillRect(QRect(QPoint(0, 0), size), QColor::fromRgba(kBackground));
  const Eigen::Vector3d toEye(std::cos(camera.pitch) * std::cos(camera.yaw),
                              std::cos(camera.pitch) * std::sin(camera.yaw),
                              std::sin(camera.pitch));
  eye_ = camera.target + camera.distance * toEye;
  const Eigen::Vector3d back = toEye.normalized();
  Eigen::Vector3d right = Eigen::Vector3d::UnitZ().cross(back);
  if (right.norm() < 1e-9) {
    right = Eigen::Vector3d::UnitY();
  }
  right.normalize();
  const Eigen::Vector3d up = back.cross(right);
  view_.row(0) = right;
  view_.row(1) = up;
  view_.row(2) = back;
  // A light over the viewer's left shoulder.
  light_ = (back + 0.6 * up - 0.4 * right).normalized();
  focal_ = 0.5 * size.height() / std::tan(kFieldOfViewDegrees * std::numbers::pi / 360.0);
  centre_ = QPointF(size.width() / 2.0, size.height() / 2.0);

  painter.setRenderHint(QPainter::Antialiasing, false);
  DrawFloor(painter);

  points_.clear();
  faces_.clear();
  for (const RobotFigure& figure : figures) {
    if (!figure.meshes || !figure.poses) {
      continue;
    }
    const std::size_t links = std::min(figure.meshes->size(), figure.poses->size());
    for (std::size_t i = 0; i < links; ++i) {
      const LinkMesh& mesh = (*figure.meshes)[i];
      const Eigen::Isometry3d& pose = (*figure.poses)[i];
      world_.resize(mesh.corners.size());
      for (std::size_t c = 0; c < mesh.corners.size(); ++c) {
        world_[c] = pose * mesh.corners[c];
      }
      const bool highlighted =
          figure.highlighted && i < figure.highlighted->size() && (*figure.highlighted)[i];
      const bool outside =
          figure.outOfLimits && i < figure.outOfLimits->size() && (*figure.outOfLimits)[i];
      for (const LinkMesh::Face& face : mesh.faces) {
        const Eigen::Vector3d normal = pose.linear() * face.normal;
        const Eigen::Vector3d& corner = world_[static_cast<std::size_t>(face.first)];
        if (normal.dot(eye_ - corner) <= 0.0) {
          continue;  // facing away
        }
        DrawnFace drawn{0.0f, 0, static_cast<int>(points_.size()), face.count};
        double depthSum = 0.0;
        bool visible = true;
        for (int k = 0; k < face.count && visible; ++k) {
          QPointF point;
          double depth = 0.0;
          visible = Project(world_[static_cast<std::size_t>(face.first + k)], point, depth);
          points_.push_back(point);
          depthSum += depth;
        }
        if (!visible) {
          points_.resize(static_cast<std::size_t>(drawn.first));
          continue;
        }
        drawn.depth = static_cast<float>(depthSum / face.count);
        std::uint32_t colour = face.argb;
        if (outside) {
          colour = Mix(colour, kOutOfLimits, 0.6);
        } else if (highlighted) {
          colour = Mix(colour, kHighlight, 0.55);
        }
        const double lambert = std::max(0.0, normal.dot(light_));
        drawn.argb = Shade(colour, 0.35 + 0.75 * lambert, figure.opacity);
        faces_.push_back(drawn);
      }
    }
  }

  // Far faces first.
  order_.resize(faces_.size());
  for (std::size_t k = 0; k < order_.size(); ++k) {
    order_[k] = static_cast<int>(k);
  }
  std::sort(order_.begin(), order_.end(), [this](int a, int b) {
    return faces_[static_cast<std::size_t>(a)].depth > faces_[static_cast<std::size_t>(b)].depth;
  });
  painter.setPen(Qt::NoPen);
  for (const int index : order_) {
    const DrawnFace& face = faces_[static_cast<std::size_t>(index)];
    painter.setBrush(QColor::fromRgba(face.argb));
    painter.drawConvexPolygon(&points_[static_cast<std::size_t>(face.first)], face.count);
  }
}

}  // namespace gestalon::ui
