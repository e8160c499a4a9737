#include "app/gui/CommandProgressBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

namespace orvex {

constexpr int kBarSteps = 1000;

CCommandProgressBar::CCommandProgressBar(QStatusBar& statusBar)
    : QObject(&statusBar), m_pBar(new QProgressBar(&statusBar)),
      m_pCancel(new QPushButton("Cancel", &statusBar)) {
  m_pBar->setRange(0, kBarSteps);
  m_pBar->setMaximumWidth(220);
  m_pBar->setTextVisible(true);
  m_pCancel->setFocusPolicy(Qt::NoFocus);
  statusBar.addPermanentWidget(m_pBar);
  statusBar.addPermanentWidget(m_pCancel);
  m_pBar->hide();
  m_pCancel->hide();
  QObject::connect(m_pCancel, &QPushButton::clicked, this, [this] {
    if (m_Cancellable) m_CancelRequested = true;
  });
}

CCommandProgressBar::~CCommandProgressBar() {
  if (m_Active) qApp->removeEventFilter(this);
}

int CCommandProgressBar::Value() const {
  return m_pBar->value();
}

bool CCommandProgressBar::Show(double fraction, const QString& phase, bool cancellable) {
  if (!m_Active) {
    m_Active = true;
    m_CancelRequested = false;
    qApp->installEventFilter(this);
    m_pBar->show();
    m_pCancel->show();
  }
  m_Cancellable = cancellable;
  m_pCancel->setEnabled(cancellable);
  m_pBar->setValue(static_cast<int>(fraction * kBarSteps + 0.5));
  m_pBar->setFormat(phase.isEmpty() ? QString("%p%") : phase + "  %p%");
  // repaints, timers and the Esc key or the Cancel button; the filter drops
  // the rest of the input
  QApplication::processEvents(QEventLoop::AllEvents, 20);
  return !(m_Cancellable && m_CancelRequested);
}

void CCommandProgressBar::End() {
  if (!m_Active) return;
  m_Active = false;
  qApp->removeEventFilter(this);
  m_pBar->hide();
  m_pCancel->hide();
  m_CancelRequested = false;
}

bool CCommandProgressBar::eventFilter(QObject* watched, QEvent* event) {
  // a message or a question the command shows takes its input as usual
  if (QApplication::activeModalWidget()) return false;
  switch (event->type()) {
  case QEvent::KeyPress:
    if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && m_Cancellable)
      m_CancelRequested = true;
    return true;
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::MouseMove:
    // the Cancel button alone takes clicks
    return watched != m_pCancel;
  case QEvent::KeyRelease:
  case QEvent::ShortcutOverride:
  case QEvent::Shortcut:
  case QEvent::Wheel:
  case QEvent::ContextMenu:
  case QEvent::Drop:
  case QEvent::DragEnter:
  case QEvent::Close:
    return true;
  default:
    return false;
  }
}

} // namespace orvex
