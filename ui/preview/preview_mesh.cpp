#include "preview_mesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gestalon::ui {

namespace {

std::uint32_t ToArgb(const std::array<float, 4>& rgba) {
  const auto channel = [](float v) {
    return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
  };
  return (channel(rgba[3]) << 24) | (channel(rgba[0]) << 16) | (channel(rgba[1]) << 8) |
         channel(rgba[2]);
}

// Adds one face from points in the shape's frame, placed by `origin`.
void AddFace(LinkMesh& mesh, const Eigen::Isometry3d& origin,
             const std::vector<Eigen::Vector3d>& points, const Eigen::Vector3d& normal,
             std::uint32_t argb) {
  LinkMesh::Face face;
  face.first = static_cast<int>(mesh.corners.size());
  face.count = static_cast<int>(points.size());
  face.normal = (origin.linear() * normal).normalized();
  face.argb = argb;
  for (const Eigen::Vector3d& p : points) {
    mesh.corners.push_back(origin * p);
  }
  mesh.faces.push_back(face);
}

void AddBox(LinkMesh& mesh, const preview::Shape& shape, std::uint32_t argb) {
  const Eigen::Vector3d h = shape.size / 2.0;
  // Each face: its normal axis and sign; corners go counter-clockwise seen from outside.
  for (int axis = 0; axis < 3; ++axis) {
    for (const double sign : {-1.0, 1.0}) {
      const int u = (axis + 1) % 3;
      const int v = (axis + 2) % 3;
      Eigen::Vector3d normal = Eigen::Vector3d::Zero();
      normal[axis] = sign;
      std::vector<Eigen::Vector3d> points;
      const double us[] = {-1, 1, 1, -1};
      const double vs[] = {-1, -1, 1, 1};
      for (int k = 0; k < 4; ++k) {
        Eigen::Vector3d p;
        p[axis] = sign * h[axis];
        p[u] = us[k] * h[u];
        p[v] = sign * vs[k] * h[v];
        points.push_back(p);
      }
      AddFace(mesh, shape.origin, points, normal, argb);
    }
  }
}

void AddCylinder(LinkMesh& mesh, const preview::Shape& shape, std::uint32_t argb) {
  const double r = shape.size.x();
  const double half = shape.size.z() / 2.0;
  std::vector<Eigen::Vector3d> top, bottom;
  for (int k = 0; k < kRoundSegments; ++k) {
    const double a0 = 2.0 * std::numbers::pi * k / kRoundSegments;
    const double a1 = 2.0 * std::numbers::pi * (k + 1) / kRoundSegments;
    const double mid = (a0 + a1) / 2.0;
    AddFace(mesh, shape.origin,
            {{r * std::cos(a0), r * std::sin(a0), -half},
             {r * std::cos(a1), r * std::sin(a1), -half},
             {r * std::cos(a1), r * std::sin(a1), half},
             {r * std::cos(a0), r * std::sin(a0), half}},
            {std::cos(mid), std::sin(mid), 0.0}, argb);
    top.push_back({r * std::cos(a0), r * std::sin(a0), half});
    bottom.insert(bottom.begin(), Eigen::Vector3d(r * std::cos(a0), r * std::sin(a0), -half));
  }
  AddFace(mesh, shape.origin, top, Eigen::Vector3d::UnitZ(), argb);
  AddFace(mesh, shape.origin, bottom, -Eigen::Vector3d::UnitZ(), argb);
}

void AddSphere(LinkMesh& mesh, const preview::Shape& shape, std::uint32_t argb) {
  const double r = shape.size.x();
  const auto point = [r](int ring, int segment) {
    const double polar = std::numbers::pi * ring / kSphereRings;
    const double azimuth = 2.0 * std::numbers::pi * segment / kRoundSegments;
    return Eigen::Vector3d(r * std::sin(polar) * std::cos(azimuth),
                           r * std::sin(polar) * std::sin(azimuth), r * std::cos(polar));
  };
  for (int ring = 0; ring < kSphereRings; ++ring) {
    for (int segment = 0; segment < kRoundSegments; ++segment) {
      std::vector<Eigen::Vector3d> points{point(ring, segment), point(ring + 1, segment),
                                          point(ring + 1, segment + 1), point(ring, segment + 1)};
      // The poles' quads are triangles.
      if (ring == 0) {
        points.erase(points.begin() + 3);
      } else if (ring == kSphereRings - 1) {
        points.erase(points.begin() + 2);
      }
      Eigen::Vector3d centre = Eigen::Vector3d::Zero();
      for (const Eigen::Vector3d& p : points) {
        centre += p;
      }
      AddFace(mesh, shape.origin, points, centre.normalized(), argb);
    }
  }
}

}  // namespace

std::vector<LinkMesh> BuildMeshes(const preview::RobotModel& model) {
  std::vector<LinkMesh> meshes(model.links.size());
  for (std::size_t i = 0; i < model.links.size(); ++i) {
    for (const preview::Shape& shape : model.links[i].visuals) {
      const std::uint32_t argb = ToArgb(shape.rgba);
      switch (shape.kind) {
        case preview::ShapeKind::kBox:
          AddBox(meshes[i], shape, argb);
          break;
        case preview::ShapeKind::kCylinder:
          AddCylinder(meshes[i], shape, argb);
          break;
        case preview::ShapeKind::kSphere:
          AddSphere(meshes[i], shape, argb);
          break;
      }
    }
  }
  return meshes;
}

}  // namespace gestalon::ui
