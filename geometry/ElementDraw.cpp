// OpenGL drawing of vertices and faces (immediate mode, no context made).

#include <GL/gl.h>
#include <GL/glu.h>

#include "geometry/Face3d.h"
#include "geometry/Transform.h"
#include "geometry/Vertex3d.h"

static void DrawSphere(double x, double y, double z, double radius) {
  GLUquadricObj* quadric = gluNewQuadric();
  if (!quadric) return;
  glPushMatrix();
  glTranslatef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
  gluSphere(quadric, radius, 8, 8);
  glPopMatrix();
  gluDeleteQuadric(quadric);
}

int CVertex3d::glDraw() const {
  glColor3ub(m_Color.r, m_Color.g, m_Color.b);
  DrawSphere(x, y, z, 0.0001);
  return 1;
}

void CVertex3d::glDrawHighlight(float radius, const CColor& color,
                                const CTransform* transform) const {
  glPushMatrix();
  if (transform) transform->glApply();
  glColor3ub(color.r, color.g, color.b);
  DrawSphere(x, y, z, radius);
  glPopMatrix();
}

static void DrawPolygon(const CFace3d* f) {
  glBegin(GL_POLYGON);
  for (int k = 0; k < 3; k++) {
    const CVertex3d* v = f->m_pVertex[k];
    if (v) glVertex3f(static_cast<float>(v->x), static_cast<float>(v->y), static_cast<float>(v->z));
  }
  glEnd();
}

void CFace3d::glDrawHighlight(const CColor& color, const CTransform* transform,
                              const CColor* neighborColor) const {
  glPushMatrix();
  if (transform) transform->glApply();
  if (neighborColor) {
    glColor3ub(neighborColor->r, neighborColor->g, neighborColor->b);
    for (int i = 0; i < 3; i++)
      if (m_pFace[i]) DrawPolygon(m_pFace[i]);
  }
  glColor3ub(color.r, color.g, color.b);
  DrawPolygon(this);
  glPopMatrix();
}
