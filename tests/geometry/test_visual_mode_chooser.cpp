// The visual-mode chooser's layout: every preview sphere lies inside the
// chooser's own view, whatever the view's shape.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/VisualModeChooser3d.h"

namespace {

std::array<int, CVisualModeChooser3d::kNbRandom> Numbers() {
  std::array<int, CVisualModeChooser3d::kNbRandom> numbers{};
  for (int i = 0; i < CVisualModeChooser3d::kNbRandom; i++) numbers[i] = (i * 4099) % 32768;
  return numbers;
}

// Whether a sphere of radius r at c lies inside the perspective view of
// fov degrees and aspect, between near 0.01 and far.
bool InsideView(const CVisualModeChooser3d::Centre& c, double r, double fov, double aspect,
                double far) {
  const double depth = -c.z;
  const double halfHeight = depth * std::tan(fov * M_PI / 360.0);
  const double halfWidth = halfHeight * aspect;
  return depth - r > 0.01 && depth + r < far && std::fabs(c.x) + r <= halfWidth &&
         std::fabs(c.y) + r <= halfHeight;
}

} // namespace

TEST(VisualModeChooser, EverySphereIsInsideTheView) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Shape {
    double fov, aspect, usedFov, usedAspect;
  } shapes[] = {{45, 1, 45, 1},   {45, 0.1, 45, 0.1}, {45, 12, 45, 12}, {10, 1, 10, 1},
                {170, 1, 170, 1}, {45, 0, 45, 1},     {0, 2, 45, 2},    {nan, nan, 45, 1}};
  for (const Shape& s : shapes) {
    CVisualModeChooser3d chooser(s.fov, s.aspect, Numbers());
    for (int i = 0; i < CVisualModeChooser3d::kNbSphere; i++)
      EXPECT_TRUE(InsideView(chooser.SphereCentre(i), chooser.GetRadius(), s.usedFov, s.usedAspect,
                             chooser.FarPlane()))
          << "fov " << s.fov << " aspect " << s.aspect << " sphere " << i;
  }
}
