// The camera drawn as a small viewing pyramid of lines, unlit.

#include <GL/gl.h>

#include "geometry/Camera3d.h"
#include "geometry/render/ObjectDrawers.h"

static void glVertex(const CVector3d& p) {
  glVertex3d(p.x, p.y, p.z);
}

int glDrawCamera(const CCamera3d& camera) {
  if (!camera.m_Show) return 0;
  // corners of the pyramid's base, one unit in front of the eye
  const CVector3d right = camera.GetRight() * static_cast<double>(camera.m_Opening);
  const CVector3d up = camera.m_Up * static_cast<double>(camera.m_Opening);
  const CVector3d centre = camera.m_Position + camera.m_Direction;
  const CVector3d corner[4] = {centre - right - up, centre + right - up, centre + right + up,
                               centre - right + up};

  const GLboolean lighting = glIsEnabled(GL_LIGHTING);
  glDisable(GL_LIGHTING);
  glColor3ub(camera.m_Color.r, camera.m_Color.g, camera.m_Color.b);
  glBegin(GL_LINES);
  for (int i = 0; i < 4; i++) {
    // edge from the eye, then base edge
    glVertex(camera.m_Position);
    glVertex(corner[i]);
    glVertex(corner[i]);
    glVertex(corner[(i + 1) % 4]);
  }
  glEnd();
  if (lighting) glEnable(GL_LIGHTING);
  return 1;
}
