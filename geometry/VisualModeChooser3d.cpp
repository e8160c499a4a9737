#include "geometry/VisualModeChooser3d.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265359;
// Room left around the grid inside the view.
constexpr double kMargin = 1.1;
constexpr double kNear = 0.01;

const GLenum kColumnMode[CVisualModeChooser3d::kNbColumn] = {GL_LINE, GL_POINT, GL_FILL};
const unsigned char kRowColor[CVisualModeChooser3d::kNbRow][3] = {
    {255, 64, 64}, {64, 255, 64}, {64, 128, 255}, {255, 255, 128}};

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

int CVisualModeChooser3d::glDraw() const {
  if (!m_Show) return 0;
  GLUquadricObj* quadric = gluNewQuadric();
  if (!quadric) return 0;

  // own projection and modelview, restored below
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPerspective(UsableFieldOfView(m_FieldOfView), UsableAspect(m_Aspect), kNear, FarPlane());
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  // drawn over the model: no depth test, back faces culled instead
  glPushAttrib(GL_POLYGON_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POINT_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glPointSize(2.0f);

  for (int i = 0; i < kNbSphere; i++) {
    const Centre c = SphereCentre(i);
    const std::array<float, 3> angles = SphereAngles(i);
    const unsigned char* color = kRowColor[i / kNbColumn];
    glPolygonMode(GL_FRONT_AND_BACK, kColumnMode[i % kNbColumn]);
    glColor3ub(color[0], color[1], color[2]);
    glPushMatrix();
    glTranslated(c.x, c.y, c.z);
    glRotatef(angles[0], 1.0f, 0.0f, 0.0f);
    glRotatef(angles[1], 0.0f, 1.0f, 0.0f);
    glRotatef(angles[2], 0.0f, 0.0f, 1.0f);
    gluSphere(quadric, m_Radius, 12, 8);
    glPopMatrix();
  }

  glPopAttrib();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  gluDeleteQuadric(quadric);
  return 1;
}
