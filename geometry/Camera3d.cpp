#include "geometry/Camera3d.h"

#include <GL/gl.h>

void CCamera3d::Rotate1(double angle) {
  m_Direction = m_Direction.Rotate(angle, m_Up);
  m_Direction.Normalize();
}

void CCamera3d::Rotate2(double angle) {
  CVector3d right = GetRight();
  right.Normalize();
  m_Direction = m_Direction.Rotate(angle, right);
  m_Up = m_Up.Rotate(angle, right);
  m_Direction.Normalize();
  m_Up.Normalize();
}

void CCamera3d::Translate(double dx, double dy, double dz) {
  m_Position += GetRight() * dx + m_Up * dy - m_Direction * dz;
}

static void glVertex(const CVector3d& p) {
  glVertex3d(p.x, p.y, p.z);
}

int CCamera3d::glDraw() const {
  if (!m_Show) return 0;
  // corners of the pyramid's base, one unit in front of the eye
  const CVector3d right = GetRight() * static_cast<double>(m_Opening);
  const CVector3d up = m_Up * static_cast<double>(m_Opening);
  const CVector3d centre = m_Position + m_Direction;
  const CVector3d corner[4] = {centre - right - up, centre + right - up, centre + right + up,
                               centre - right + up};

  const GLboolean lighting = glIsEnabled(GL_LIGHTING);
  glDisable(GL_LIGHTING);
  glColor3ub(m_Color.r, m_Color.g, m_Color.b);
  glBegin(GL_LINES);
  for (int i = 0; i < 4; i++) {
    // edge from the eye, then base edge
    glVertex(m_Position);
    glVertex(corner[i]);
    glVertex(corner[i]);
    glVertex(corner[(i + 1) % 4]);
  }
  glEnd();
  if (lighting) glEnable(GL_LIGHTING);
  return 1;
}
