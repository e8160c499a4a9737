#pragma once

#include <QByteArray>

class QMainWindow;
class QWidget;

namespace orvex {

// The main frame's full-screen switch: entering remembers whether the button
// bar and the status bar show and hides them, remembers the frame's normal
// geometry and state, and makes the frame fill the screen; leaving brings
// the bars and the geometry back.
class CFullScreen {
public:
  bool IsOn() const { return m_bOn; }
  void Toggle(QMainWindow& frame, QWidget& buttonBar, QWidget& statusBar);
  void Enter(QMainWindow& frame, QWidget& buttonBar, QWidget& statusBar);
  void Leave(QMainWindow& frame, QWidget& buttonBar, QWidget& statusBar);

private:
  bool m_bOn = false;
  bool m_bButtonBarShown = true;
  bool m_bStatusBarShown = true;
  QByteArray m_Geometry;
  Qt::WindowStates m_State;
};

} // namespace orvex
