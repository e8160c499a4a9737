#include "app/gui/FullScreen.h"

#include <QMainWindow>

namespace orvex {

void CFullScreen::Toggle(QMainWindow& frame, QWidget& buttonBar, QWidget& statusBar) {
  if (m_bOn)
    Leave(frame, buttonBar, statusBar);
  else
    Enter(frame, buttonBar, statusBar);
}

void CFullScreen::Enter(QMainWindow& frame, QWidget& buttonBar, QWidget& statusBar) {
  if (m_bOn) return;
  m_bOn = true;
  m_bButtonBarShown = !buttonBar.isHidden();
  m_bStatusBarShown = !statusBar.isHidden();
  buttonBar.hide();
  statusBar.hide();
  m_State = frame.windowState() & ~Qt::WindowFullScreen;
  m_Geometry = frame.saveGeometry();
  frame.setWindowState((frame.windowState() & ~Qt::WindowMinimized) | Qt::WindowFullScreen);
}

void CFullScreen::Leave(QMainWindow& frame, QWidget& buttonBar, QWidget& statusBar) {
  if (!m_bOn) return;
  buttonBar.setVisible(m_bButtonBarShown);
  statusBar.setVisible(m_bStatusBarShown);
  frame.setWindowState(m_State);
  frame.restoreGeometry(m_Geometry);
  m_bOn = false;
}

} // namespace orvex
