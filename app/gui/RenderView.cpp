#include "app/gui/RenderView.h"

#include <GL/gl.h>
#include <QApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "app/OrvexDoc.h"
#include "app/gui/GlyphLists.h"
#include "app/gui/UnavailableView.h"
#include "geometry/render/InstallRenderers.h"
#include "processing/Sqrt3Commands.h"

using orvex::MouseButton;

namespace {

// The fixed-function pipeline (display lists, glBitmap, lights) is not part
// of OpenGL ES.
bool HasFixedFunctionGl(const QOpenGLContext* context) {
  return context && context->isValid() && !context->isOpenGLES();
}

bool ToStateButton(Qt::MouseButton button, MouseButton& out) {
  if (button == Qt::LeftButton) {
    out = MouseButton::Left;
    return true;
  }
  if (button == Qt::RightButton) {
    out = MouseButton::Right;
    return true;
  }
  return false;
}

// Client sizes in device pixels, as GL counts them.
int DevicePixels(int logical, qreal ratio) {
  return static_cast<int>(logical * ratio + 0.5);
}

} // namespace

CRenderView::CRenderView(COrvexDoc* doc, QWidget* parent) : QOpenGLWidget(parent), m_pDoc(doc) {
  setMinimumSize(16, 16);
  setFocusPolicy(Qt::StrongFocus);
  m_pSpinTimer = new QTimer(this);
  m_pRefinementTimer = new QTimer(this);
  connect(m_pSpinTimer, &QTimer::timeout, this, &CRenderView::SpinTick);
  connect(m_pRefinementTimer, &QTimer::timeout, this, &CRenderView::RefinementTick);
  if (doc) m_State.FrameScene(doc->m_SceneGraph);
}

CRenderView::~CRenderView() = default;

void CRenderView::initializeGL() {
  m_bGlReady = HasFixedFunctionGl(context());
  if (!m_bGlReady) return;
  InstallRenderers();
  qreal ratio = devicePixelRatioF();
  m_State.glSetUp(DevicePixels(width(), ratio), DevicePixels(height(), ratio));
  orvex::glBuildGlyphLists(QApplication::font(), kGlyphListBase);
}

void CRenderView::resizeGL(int width, int height) {
  if (!m_bGlReady) return;
  qreal ratio = devicePixelRatioF();
  m_State.glResize(DevicePixels(width, ratio), DevicePixels(height, ratio));
}

void CRenderView::paintGL() {
  if (!m_bGlReady) return;
  if (m_pDoc) {
    m_State.glPaint(*m_pDoc);
    return;
  }
  glClearColor(m_State.m_ClearColor[0], m_State.m_ClearColor[1], m_State.m_ClearColor[2], 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CRenderView::paintEvent(QPaintEvent* event) {
  if (IsGlReady()) {
    QOpenGLWidget::paintEvent(event);
    return;
  }
  QPainter painter(this);
  if (painter.isActive()) orvex::PaintUnavailableView(painter, rect(), palette(), kNoGlMessage);
}

void CRenderView::MakeCurrent() {
  if (IsGlReady()) makeCurrent();
}

void CRenderView::focusInEvent(QFocusEvent* event) {
  MakeCurrent();
  QOpenGLWidget::focusInEvent(event);
}

void CRenderView::mousePressEvent(QMouseEvent* event) {
  MouseButton button;
  if (!ToStateButton(event->button(), button)) return;
  QPoint point = event->position().toPoint();
  m_State.ButtonDown(button, point.x(), point.y());
}

void CRenderView::mouseReleaseEvent(QMouseEvent* event) {
  MouseButton button;
  if (!ToStateButton(event->button(), button)) return;
  // true asks for the silhouette to be recolored from the current camera
  if (m_State.ButtonUp(button) && m_pDoc) {
    emit CommandRequested(this, QString::fromUtf8(kMenuColorSilhouette));
    update();
  }
}

void CRenderView::mouseMoveEvent(QMouseEvent* event) {
  if (!m_pDoc) return;
  QPoint point = event->position().toPoint();
  switch (m_State.MouseMove(point.x(), point.y())) {
  case orvex::DragOutcome::Repaint:
    update();
    break;
  case orvex::DragOutcome::CameraDrag:
    emit CameraDragged(this);
    break;
  case orvex::DragOutcome::None:
    break;
  }
}

QTimer* CRenderView::TimerOf(int timer) const {
  if (timer == kSpinTimer) return m_pSpinTimer;
  if (timer == kRefinementTimer) return m_pRefinementTimer;
  return nullptr;
}

void CRenderView::StartTimer(int timer, int periodMs) {
  if (QTimer* target = TimerOf(timer)) target->start(std::max(periodMs, 0));
}

void CRenderView::StopTimer(int timer) {
  if (QTimer* target = TimerOf(timer)) target->stop();
}

bool CRenderView::IsTimerActive(int timer) const {
  const QTimer* target = TimerOf(timer);
  return target && target->isActive();
}

int CRenderView::TimerInterval(int timer) const {
  const QTimer* target = TimerOf(timer);
  return target ? target->interval() : -1;
}

// The animation rate follows the timer: the tick repaints at once.
void CRenderView::SpinTick() {
  m_State.SpinTick();
  repaint();
}

// Each tick refines the mesh afresh along the silhouette of the current
// camera; the cycle undoes the previous refinement first, so memory stays
// bounded however long the timer runs.
void CRenderView::RefinementTick() {
  if (m_pDoc) emit CommandRequested(this, QString::fromUtf8(kMenuV3SilhouetteNoDebug));
}
