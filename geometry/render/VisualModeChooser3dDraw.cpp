// The visual-mode chooser drawn over the model: its grid of preview
// spheres in line, point and fill modes, in its own projection.

#include <GL/gl.h>
#include <GL/glu.h>

#include "geometry/VisualModeChooser3d.h"
#include "geometry/render/ObjectDrawers.h"

namespace {
const GLenum kColumnMode[CVisualModeChooser3d::kNbColumn] = {GL_LINE, GL_POINT, GL_FILL};
const unsigned char kRowColor[CVisualModeChooser3d::kNbRow][3] = {
    {255, 64, 64}, {64, 255, 64}, {64, 128, 255}, {255, 255, 128}};
} // namespace

int glDrawVisualChooser(const CVisualModeChooser3d& chooser) {
  if (!chooser.IsShown()) return 0;
  GLUquadricObj* quadric = gluNewQuadric();
  if (!quadric) return 0;

  // own projection and modelview, restored below
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPerspective(chooser.ProjectionFieldOfView(), chooser.ProjectionAspect(),
                 CVisualModeChooser3d::kNearPlane, chooser.FarPlane());
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

  for (int i = 0; i < CVisualModeChooser3d::kNbSphere; i++) {
    const CVisualModeChooser3d::Centre c = chooser.SphereCentre(i);
    const std::array<float, 3> angles = chooser.SphereAngles(i);
    const unsigned char* color = kRowColor[i / CVisualModeChooser3d::kNbColumn];
    glPolygonMode(GL_FRONT_AND_BACK, kColumnMode[i % CVisualModeChooser3d::kNbColumn]);
    glColor3ub(color[0], color[1], color[2]);
    glPushMatrix();
    glTranslated(c.x, c.y, c.z);
    glRotatef(angles[0], 1.0f, 0.0f, 0.0f);
    glRotatef(angles[1], 0.0f, 1.0f, 0.0f);
    glRotatef(angles[2], 0.0f, 0.0f, 1.0f);
    gluSphere(quadric, chooser.GetRadius(), 12, 8);
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
