#pragma once

// "Subdivision-based spline": a modal editor of a closed control polygon in
// a 254 by 254 frame, refined by the interpolating, approximating or
// fractal rule. It never touches the document.

#include <QDialog>
#include <vector>

#include "app/side/SplineRules.h"

class QPushButton;
class QSlider;

namespace orvex {

class CSplineCanvas;

class CSplineEditor : public QDialog {
  Q_OBJECT
public:
  explicit CSplineEditor(QWidget* parent = nullptr);

  const std::vector<SplinePoint>& ControlPoints() const { return m_Control; }
  const std::vector<SplinePoint>& RefinedPoints() const { return m_Refined; }
  SplineMode Mode() const { return m_Mode; }
  double W() const { return m_W; }
  double V() const { return m_V; }
  QWidget* Canvas() const;
  QPushButton* RunButton() const { return m_Run; }
  QPushButton* InitButton() const { return m_Init; }
  QPushButton* ModeButton() const { return m_ModeButton; }
  QSlider* Slider() const { return m_Slider; }

  // The frame's mouse actions, in frame pixels.
  void LeftDown(SplinePoint p);
  void MouseMove(SplinePoint p);
  void LeftUp(SplinePoint p);
  void RightUp(SplinePoint p);

  void Run();
  void Init();
  void NextMode();
  void SliderMoved(int position);

private:
  void RunWith(int iterations);

  std::vector<SplinePoint> m_Control;
  std::vector<SplinePoint> m_Refined;
  SplineMode m_Mode = SplineMode::Interpolation;
  int m_Iterations = kSplineRunIterations;
  double m_W = kSplineDefaultW;
  double m_V = kSplineDefaultV;
  bool m_ButtonDown = false;
  int m_Dragged = -1;

  CSplineCanvas* m_Canvas = nullptr;
  QPushButton* m_Run = nullptr;
  QPushButton* m_Init = nullptr;
  QPushButton* m_ModeButton = nullptr;
  QSlider* m_Slider = nullptr;
};

} // namespace orvex
