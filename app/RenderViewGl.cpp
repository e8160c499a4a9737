// The GL half of a render view: the state set once on a new context, the
// projection of a resize and the paint step. Both the window view and the
// offscreen renderer call these with their own context current.

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstring>

#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "geometry/Matrix44.h"

namespace orvex {
namespace {

constexpr double kNear = 0.1;
constexpr double kFar = 1000.0;

void glSetLight0() {
  const GLfloat ambient[] = {0.7f, 0.7f, 0.7f, 1.0f};
  const GLfloat diffuse[] = {0.8f, 0.8f, 0.8f, 1.0f};
  const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
}

void glSetMaterials() {
  const GLfloat ambient[] = {0.0f, 0.33f, 0.5f, 1.0f};
  const GLfloat diffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
  const GLfloat specular[] = {0.1f, 0.1f, 0.1f, 1.0f};
  const GLfloat emission[] = {0.0f, 0.0f, 0.0f, 1.0f};
  const GLfloat backAmbient[] = {0.0f, 0.5f, 0.0f, 1.0f};
  glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT, GL_SHININESS, 84.0f);
  glMaterialfv(GL_FRONT, GL_EMISSION, emission);
  glMaterialfv(GL_BACK, GL_AMBIENT, backAmbient);
}

void glSetProjection(double fieldOfView, int width, int height) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fieldOfView, CRenderViewState::Aspect(width, height), kNear, kFar);
  glMatrixMode(GL_MODELVIEW);
}

} // namespace

double CRenderViewState::Aspect(int width, int height) {
  return height == 0 ? double(width) : double(width) / double(height);
}

void CRenderViewState::glSetUp(int width, int height) {
  m_Width = width;
  m_Height = height;

  // polygon mode, shading, color material
  glPolygonMode(GL_FRONT, GL_FILL);
  glPolygonMode(GL_BACK, GL_FILL);
  glShadeModel(GL_FLAT);
  glEnable(GL_COLOR_MATERIAL);

  glSetLight0();

  // clear values
  glClearColor(m_ClearColor[0], m_ClearColor[1], m_ClearColor[2], 1.0f);
  glClearDepth(1.0);
  glPolygonMode(GL_FRONT, GL_FILL);
  glPolygonMode(GL_BACK, GL_FILL);

  glViewport(0, 0, width, height);
  glSetProjection(45.0, width, height);

  // lighting and blending
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_BLEND);

  glSetMaterials();

  // normals keep their length under the framing's scale (and the meshes'
  // own), so that the light does not dim or burn
  glEnable(GL_NORMALIZE);

  // depth test and texturing
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void CRenderViewState::glResize(int width, int height) {
  m_Width = width;
  m_Height = height;
  glViewport(0, 0, width, height);
  glSetProjection(m_FieldOfView, width, height);
  glLoadIdentity();
  glDrawBuffer(GL_BACK);
}

void CRenderViewState::glApplyModelTransform() const {
  glTranslatef(m_Translation[0], m_Translation[1], m_Translation[2]);
  glRotatef(m_Rotation[0], 1.0f, 0.0f, 0.0f);
  glRotatef(m_Rotation[1], 0.0f, 1.0f, 0.0f);
  glRotatef(m_Rotation[2], 0.0f, 0.0f, 1.0f);
  glScalef(m_Scale[0], m_Scale[1], m_Scale[2]);
}

void CRenderViewState::glPaint(const COrvexDoc& doc) const {
  // the clear color and the field of view may have changed since the set-up
  if (m_Width > 0 && m_Height > 0) glSetProjection(m_FieldOfView, m_Width, m_Height);
  glClearColor(m_ClearColor[0], m_ClearColor[1], m_ClearColor[2], 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  glApplyModelTransform();
  doc.glApplyDisplayState();
  doc.glDraw(m_DrawOptions);
  glPopMatrix();
}

CViewMatrices CRenderViewState::ComputeMatrices() const {
  CViewMatrices out;

  // projection: what gluPerspective builds
  double aspect = Aspect(m_Width, m_Height);
  double f = 1.0 / std::tan(m_FieldOfView * M_PI / 360.0);
  double* p = out.m_Projection;
  for (int i = 0; i < 16; i++) p[i] = 0.0;
  p[0] = aspect != 0.0 ? f / aspect : 0.0;
  p[5] = f;
  p[10] = (kFar + kNear) / (kNear - kFar);
  p[11] = -1.0;
  p[14] = 2.0 * kFar * kNear / (kNear - kFar);

  // modelview: the model transform applied to the identity
  double* m = out.m_ModelView;
  Matrix44Identity(m);
  m[12] = m_Translation[0];
  m[13] = m_Translation[1];
  m[14] = m_Translation[2];
  double r[16];
  Matrix44Rotation(m_Rotation[0], 1.0, 0.0, 0.0, r);
  Matrix44Multiply(m, r, m);
  Matrix44Rotation(m_Rotation[1], 0.0, 1.0, 0.0, r);
  Matrix44Multiply(m, r, m);
  Matrix44Rotation(m_Rotation[2], 0.0, 0.0, 1.0, r);
  Matrix44Multiply(m, r, m);
  double s[16];
  Matrix44Identity(s);
  s[0] = m_Scale[0];
  s[5] = m_Scale[1];
  s[10] = m_Scale[2];
  Matrix44Multiply(m, s, m);

  out.m_Viewport[0] = 0;
  out.m_Viewport[1] = 0;
  out.m_Viewport[2] = m_Width;
  out.m_Viewport[3] = m_Height;
  return out;
}

} // namespace orvex
