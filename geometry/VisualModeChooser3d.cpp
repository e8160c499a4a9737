#include "geometry/VisualModeChooser3d.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265359;
// Room left around the grid inside the view.
constexpr double kMargin = 1.1;

} // namespace

CVisualModeChooser3d::CVisualModeChooser3d(double fieldOfView, double aspect,
                                           const std::array<int, kNbRandom>& random)
    : m_FieldOfView(fieldOfView), m_Aspect(aspect), m_Random(random) {}

// A field of view or aspect the projection cannot use falls back to a
// plain one, so a degenerate view still gets a sensible grid.
static double UsableFieldOfView(double fov) {
  return std::isfinite(fov) && fov >= 1.0 && fov <= 179.0 ? fov : 45.0;
}

static double UsableAspect(double aspect) {
  return std::isfinite(aspect) && aspect > 0.0 ? aspect : 1.0;
}

double CVisualModeChooser3d::GridDepth() const {
  const double halfHeight = (kNbRow - 1) * 0.5 * Step() + m_Radius;
  const double halfWidth = (kNbColumn - 1) * 0.5 * Step() + m_Radius;
  const double slope = std::tan(UsableFieldOfView(m_FieldOfView) * kPi / 360.0);
  const double aspect = UsableAspect(m_Aspect);
  double depth = m_Distance;
  depth = std::max(depth, kMargin * halfHeight / slope);
  depth = std::max(depth, kMargin * halfWidth / (slope * aspect));
  return depth;
}

double CVisualModeChooser3d::FarPlane() const {
  return GridDepth() + 1.0;
}

CVisualModeChooser3d::Centre CVisualModeChooser3d::SphereCentre(int i) const {
  const int column = i % kNbColumn;
  const int row = i / kNbColumn;
  Centre c;
  c.x = (column - (kNbColumn - 1) * 0.5) * Step();
  c.y = ((kNbRow - 1) * 0.5 - row) * Step();
  c.z = -GridDepth();
  return c;
}

std::array<float, 3> CVisualModeChooser3d::SphereAngles(int i) const {
  std::array<float, 3> angles{};
  for (int k = 0; k < 3; k++)
    angles[k] = static_cast<float>(m_Random[(3 * i + k) % kNbRandom] % 32768) * 360.0f / 32768.0f;
  return angles;
}

double CVisualModeChooser3d::ProjectionFieldOfView() const {
  return UsableFieldOfView(m_FieldOfView);
}

double CVisualModeChooser3d::ProjectionAspect() const {
  return UsableAspect(m_Aspect);
}
