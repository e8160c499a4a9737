#pragma once

#include <QOpenGLWidget>

#include "app/RenderViewState.h"

class COrvexDoc;
class QTimer;

// The OpenGL view of a document window. It owns its rendering context and
// its view state (model transform, speeds, drag state), turns mouse drags
// into changes of that state, runs the spin and refinement timers and
// paints the document under its model transform. The views of one
// document share display lists and textures; each keeps its own transform.
class CRenderView : public QOpenGLWidget {
  Q_OBJECT
public:
  // Display lists of the window font's glyphs 0..254 start here.
  static constexpr unsigned kGlyphListBase = 1000;
  static constexpr const char* kNoGlMessage = "OpenGL is not available";
  // Timer 1 spins the model, timer 2 runs the refinement cycle.
  enum Timer { kSpinTimer = 1, kRefinementTimer = 2 };

  explicit CRenderView(COrvexDoc* doc, QWidget* parent = nullptr);
  ~CRenderView() override;

  COrvexDoc* GetDocument() const { return m_pDoc; }
  orvex::CRenderViewState& State() { return m_State; }
  const orvex::CRenderViewState& State() const { return m_State; }

  // True once the context is made and the GL state set; without it the view
  // makes no GL call and shows kNoGlMessage.
  bool IsGlReady() const { return m_bGlReady && isValid(); }
  // Makes this view's context the current one (activation, focus), so that
  // GL state set by document commands lands in it.
  void MakeCurrent();

  // Starts (or restarts with a new period) timer 1 or 2. The view never
  // stops a timer itself.
  void StartTimer(int timer, int periodMs);
  // Stops timer 1 or 2 (the panel's "Rotation" switched off).
  void StopTimer(int timer);
  bool IsTimerActive(int timer) const;
  int TimerInterval(int timer) const;

signals:
  // A camera-mode drag waits in the view state for the "Camera drag"
  // command: the window runs it through the dispatcher.
  void CameraDragged(CRenderView* view);
  // The view asks for a document command on its own scene: the silhouette
  // colouring after a left-button release, the refinement cycle of timer 2.
  // The window runs it through the dispatcher with this view active.
  void CommandRequested(CRenderView* view, const QString& command);

protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

private:
  COrvexDoc* m_pDoc;
  orvex::CRenderViewState m_State;
  bool m_bGlReady = false;
  QTimer* m_pSpinTimer;
  QTimer* m_pRefinementTimer;

  QTimer* TimerOf(int timer) const;
  void SpinTick();
  void RefinementTick();
};
