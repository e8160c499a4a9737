#include "app/gui/MultiviewDialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLWidget>

#include "app/OrvexDoc.h"
#include "app/side/MultiviewPaint.h"

namespace orvex {

namespace {

bool ToButton(Qt::MouseButton button, MouseButton& out) {
  if (button == Qt::LeftButton)
    out = MouseButton::Left;
  else if (button == Qt::RightButton)
    out = MouseButton::Right;
  else
    return false;
  return true;
}

} // namespace

// One pane: its own GL set-up for its size, the shared transform with its
// Y offset, and the mouse forwarded to the shared state.
class CMultiviewPane : public QOpenGLWidget {
public:
  CMultiviewPane(CMultiviewDialog& dialog, int index, QWidget* parent)
      : QOpenGLWidget(parent), m_Dialog(dialog), m_Index(index) {
    setMinimumSize(160, 120);
  }

protected:
  void initializeGL() override {
    m_Ready = context() && context()->isValid() && !context()->isOpenGLES();
    if (m_Ready) m_Local.glSetUp(Pixels(width()), Pixels(height()));
  }
  void resizeGL(int width, int height) override {
    if (m_Ready) m_Local.glResize(Pixels(width), Pixels(height));
  }
  void paintGL() override {
    if (!m_Ready) return;
    glPaintMultiviewPane(MultiviewPaneState(m_Dialog.State(), m_Index), m_Dialog.Document());
  }
  void mousePressEvent(QMouseEvent* event) override {
    MouseButton button;
    const QPoint p = event->position().toPoint();
    if (ToButton(event->button(), button)) m_Dialog.State().ButtonDown(button, p.x(), p.y());
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    MouseButton button;
    if (ToButton(event->button(), button)) m_Dialog.State().ButtonUp(button);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    const QPoint p = event->position().toPoint();
    if (m_Dialog.State().MouseMove(p.x(), p.y()) == DragOutcome::Repaint) m_Dialog.RepaintAll();
  }

private:
  int Pixels(int logical) const { return static_cast<int>(logical * devicePixelRatioF() + 0.5); }

  CMultiviewDialog& m_Dialog;
  int m_Index;
  bool m_Ready = false;
  CRenderViewState m_Local; // only its GL set-up is used
};

CMultiviewDialog::CMultiviewDialog(const COrvexDoc& doc, QWidget* parent)
    : QDialog(parent), m_Doc(doc) {
  setWindowTitle("Multiview");
  setModal(true);
  // The render view's transform rules, framed like a new view; camera
  // mode is not offered here.
  m_State.FrameScene(doc.m_SceneGraph);
  m_State.m_bCameraMode = 0;
  auto* grid = new QGridLayout(this);
  for (int i = 0; i < kMultiviewPanes; ++i) {
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* inner = new QGridLayout(frame);
    inner->setContentsMargins(2, 2, 2, 2);
    m_Panes[static_cast<std::size_t>(i)] = new CMultiviewPane(*this, i, frame);
    inner->addWidget(m_Panes[static_cast<std::size_t>(i)]);
    grid->addWidget(frame, i / 2, i % 2);
  }
  resize(680, 520);
}

QWidget* CMultiviewDialog::Pane(int i) const {
  return m_Panes[static_cast<std::size_t>(i)];
}

void CMultiviewDialog::RepaintAll() {
  for (CMultiviewPane* pane : m_Panes) pane->update();
}

} // namespace orvex
