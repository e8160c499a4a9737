#include "app/gui/SplineEditor.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace orvex {

namespace {
constexpr int kFrameSide = 254;
const QColor kCurveColour(0x64, 0x64, 0x64);
const QColor kControlColour(0, 0, 255);

SplinePoint PointOf(const QMouseEvent* event) {
  return {event->position().x(), event->position().y()};
}
} // namespace

// The drawing frame: forwards the mouse to the editor and paints its lists.
class CSplineCanvas : public QWidget {
public:
  explicit CSplineCanvas(CSplineEditor& editor) : QWidget(&editor), m_Editor(editor) {
    setFixedSize(kFrameSide, kFrameSide);
    setMouseTracking(false);
  }

protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) m_Editor.LeftDown(PointOf(event));
  }
  void mouseMoveEvent(QMouseEvent* event) override { m_Editor.MouseMove(PointOf(event)); }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) m_Editor.LeftUp(PointOf(event));
    if (event->button() == Qt::RightButton) m_Editor.RightUp(PointOf(event));
  }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(0, 0, 0));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // The refined polygon, closed, then its points as black pixels.
    const auto& refined = m_Editor.RefinedPoints();
    painter.setPen(QPen(kCurveColour, 1));
    for (std::size_t i = 0; i < refined.size() && refined.size() > 1; ++i) {
      const SplinePoint a = refined[i], b = refined[(i + 1) % refined.size()];
      painter.drawLine(QPointF(a.x, a.y), QPointF(b.x, b.y));
    }
    painter.setPen(Qt::black);
    for (const SplinePoint& p : refined) painter.drawPoint(QPointF(p.x, p.y));
    // The control points as circles of radius 3.
    painter.setPen(QPen(kControlColour, 1));
    for (const SplinePoint& p : m_Editor.ControlPoints())
      painter.drawEllipse(QPointF(p.x, p.y), 3.0, 3.0);
  }

private:
  CSplineEditor& m_Editor;
};

CSplineEditor::CSplineEditor(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Subdivision-based spline");
  setModal(true);
  m_Canvas = new CSplineCanvas(*this);
  m_Run = new QPushButton("Run", this);
  m_Init = new QPushButton("Init", this);
  m_ModeButton = new QPushButton(SplineModeName(m_Mode), this);
  m_Slider = new QSlider(Qt::Vertical, this);
  m_Slider->setRange(kSplineSliderMin, kSplineSliderMax);
  m_Slider->setValue(kSplineSliderStart);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

  auto* side = new QVBoxLayout;
  side->addWidget(m_Run);
  side->addWidget(m_Init);
  side->addWidget(m_ModeButton);
  side->addWidget(m_Slider, 1);
  auto* top = new QHBoxLayout;
  top->addWidget(m_Canvas);
  top->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);

  connect(m_Run, &QPushButton::clicked, this, &CSplineEditor::Run);
  connect(m_Init, &QPushButton::clicked, this, &CSplineEditor::Init);
  connect(m_ModeButton, &QPushButton::clicked, this, &CSplineEditor::NextMode);
  connect(m_Slider, &QSlider::valueChanged, this, &CSplineEditor::SliderMoved);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QWidget* CSplineEditor::Canvas() const {
  return m_Canvas;
}

void CSplineEditor::LeftDown(SplinePoint p) {
  m_ButtonDown = true;
  m_Dragged = PickSplinePoint(m_Control, p.x, p.y);
}

void CSplineEditor::MouseMove(SplinePoint p) {
  if (!m_ButtonDown || m_Dragged < 0) return;
  m_Control[static_cast<std::size_t>(m_Dragged)] = p;
  RunWith(kSplineDragIterations);
}

void CSplineEditor::LeftUp(SplinePoint p) {
  if (!m_ButtonDown) return;
  // A click that dragged nothing inserts the point into the nearest edge.
  if (m_Dragged < 0)
    m_Control.insert(
        m_Control.begin() + static_cast<std::ptrdiff_t>(SplineInsertIndex(m_Control, p)), p);
  m_ButtonDown = false;
  m_Dragged = -1;
  RunWith(kSplineRunIterations);
}

void CSplineEditor::RightUp(SplinePoint p) {
  m_Control.push_back(p);
  RunWith(kSplineRunIterations);
}

void CSplineEditor::Run() {
  RunWith(m_Iterations);
}

void CSplineEditor::Init() {
  m_Control.clear();
  m_Refined.clear();
  m_Canvas->update();
}

void CSplineEditor::NextMode() {
  m_Mode = NextSplineMode(m_Mode);
  m_ModeButton->setText(SplineModeName(m_Mode));
  Run();
}

void CSplineEditor::SliderMoved(int position) {
  SplineSliderWeights(position, m_W, m_V);
  RunWith(kSplineDragIterations);
  m_Iterations = kSplineRunIterations;
}

void CSplineEditor::RunWith(int iterations) {
  m_Refined = RunSpline(m_Control, m_Mode, iterations, m_W, m_V);
  m_Canvas->update();
}

} // namespace orvex
