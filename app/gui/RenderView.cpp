#include "app/gui/RenderView.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"

namespace {

constexpr double kFieldOfView = 45.0;

struct Bounds {
  float min[3] = {-1.0f, -1.0f, -1.0f};
  float max[3] = {1.0f, 1.0f, 1.0f};
  double Center(int axis) const { return 0.5 * (double(min[axis]) + double(max[axis])); }
  double Radius() const {
    double sum = 0.0;
    for (int axis = 0; axis < 3; axis++) {
      double half = 0.5 * (double(max[axis]) - double(min[axis]));
      sum += half * half;
    }
    return sum > 0.0 ? std::sqrt(sum) : 1.0;
  }
};

// Bounding box of the triangle meshes of the scene (a unit box when there
// is none).
Bounds SceneBounds(const COrvexDoc& doc) {
  Bounds bounds;
  bool first = true;
  for (int i = 0; i < doc.m_SceneGraph.NbObject(); i++) {
    CObject3d* object = doc.m_SceneGraph.GetAt(i);
    if (!object || object->GetType() != TYPE_MESH3D) continue;
    auto* mesh = static_cast<CMesh3d*>(object);
    if (mesh->NbVertex() == 0) continue;
    for (int axis = 0; axis < 3; axis++) {
      float min = 0.0f, max = 0.0f;
      mesh->Range(axis, &min, &max);
      bounds.min[axis] = first ? min : std::min(bounds.min[axis], min);
      bounds.max[axis] = first ? max : std::max(bounds.max[axis], max);
    }
    first = false;
  }
  return bounds;
}

} // namespace

CRenderView::CRenderView(COrvexDoc* doc, QWidget* parent) : QOpenGLWidget(parent), m_pDoc(doc) {
  setMinimumSize(16, 16);
  setFocusPolicy(Qt::StrongFocus);
}

void CRenderView::initializeGL() {
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);

  const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1.0f};
  const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
  const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  glEnable(GL_NORMALIZE);
}

void CRenderView::resizeGL(int width, int height) {
  glViewport(0, 0, width, std::max(height, 1));
}

void CRenderView::paintGL() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (!m_pDoc) return;

  Bounds bounds = SceneBounds(*m_pDoc);
  double radius = bounds.Radius();
  double distance = radius / std::sin(kFieldOfView * 0.5 * M_PI / 180.0);
  double aspect = double(std::max(width(), 1)) / double(std::max(height(), 1));

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(kFieldOfView, aspect, std::max(distance - 2.0 * radius, radius * 0.01),
                 distance + 2.0 * radius);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // a directional light from behind the viewer, fixed to the eye
  const GLfloat lightPosition[] = {0.0f, 0.0f, 1.0f, 0.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
  glTranslated(0.0, 0.0, -distance);
  glTranslated(-bounds.Center(0), -bounds.Center(1), -bounds.Center(2));

  m_pDoc->glApplyDisplayState();
  m_pDoc->glDraw();
}

void CRenderView::paintEvent(QPaintEvent* event) {
  if (isValid()) {
    QOpenGLWidget::paintEvent(event);
    return;
  }
  QPainter painter(this);
  if (painter.isActive()) painter.fillRect(rect(), palette().window());
}
