#include "tests/gui/GuiTest.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTest>

#include "app/gui/ChildFrame.h"
#include "app/gui/RenderView.h"

namespace orvex::test {

QString SamplePath(const char* name) {
  return QString(ORVEX_SAMPLES_DIR) + "/" + name;
}

void MainFrameTest::SetUp() {
  m_Frame = std::make_unique<CMainFrame>();
  m_Frame->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(m_Frame.get()));
  Activate();
}

void MakeActive(QWidget* window) {
  window->activateWindow();
  if (QTest::qWaitForWindowActive(window, 200)) return;
  QT_WARNING_PUSH
  QT_WARNING_DISABLE_DEPRECATED
  QApplication::setActiveWindow(window);
  QT_WARNING_POP
}

void MainFrameTest::Activate() {
  MakeActive(m_Frame.get());
}

void MainFrameTest::TearDown() {
  m_Frame.reset();
  Settle();
}

void MainFrameTest::Settle() {
  for (int i = 0; i < 3; i++) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

COrvexDoc* MainFrameTest::OpenSample() {
  if (!m_Frame->OpenFile(SamplePath())) return nullptr;
  CChildFrame* child = m_Frame->ActiveChildFrame();
  if (!child || !QTest::qWaitForWindowExposed(child->GetRenderView())) return nullptr;
  Settle();
  return m_Frame->ActiveDocument();
}

static QAction* FindIn(const QList<QAction*>& actions, const QString& text) {
  for (QAction* action : actions)
    if (action->text() == text) return action;
  return nullptr;
}

QAction* MainFrameTest::MenuAction(const QStringList& path) const {
  QList<QAction*> actions = m_Frame->menuBar()->actions();
  QAction* action = nullptr;
  for (const QString& text : path) {
    action = FindIn(actions, text);
    if (!action) return nullptr;
    if (action->menu()) {
      emit action->menu()->aboutToShow(); // as when it opens
      actions = action->menu()->actions();
    }
  }
  return action;
}

QStringList MainFrameTest::TopMenuTexts() const {
  QStringList texts;
  for (QAction* action : m_Frame->menuBar()->actions()) texts << action->text();
  return texts;
}

} // namespace orvex::test
