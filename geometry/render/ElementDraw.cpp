// OpenGL drawing of vertices and faces (immediate mode, no context made).

#include <GL/gl.h>
#include <GL/glu.h>

#include "geometry/Face3d.h"
#include "geometry/Transform.h"
#include "geometry/Vertex3d.h"
#include "geometry/render/ObjectDrawers.h"

static void DrawSphere(double x, double y, double z, double radius) {
  GLUquadricObj* quadric = gluNewQuadric();
  if (!quadric) return;
  glPushMatrix();
  glTranslatef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
  gluSphere(quadric, radius, 8, 8);
  glPopMatrix();
  gluDeleteQuadric(quadric);
}

int glDrawVertex(const CVertex3d& v) {
  glColor3ub(v.m_Color.r, v.m_Color.g, v.m_Color.b);
  DrawSphere(v.x, v.y, v.z, 0.0001);
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

void glDrawFaceHighlight(const CFace3d& face, const CColor& color, const CTransform* transform,
                         const CColor* neighborColor) {
  glPushMatrix();
  if (transform) transform->glApply();
  if (neighborColor) {
    glColor3ub(neighborColor->r, neighborColor->g, neighborColor->b);
    for (int i = 0; i < 3; i++)
      if (face.m_pFace[i]) DrawPolygon(face.m_pFace[i]);
  }
  glColor3ub(color.r, color.g, color.b);
  DrawPolygon(&face);
  glPopMatrix();
}
