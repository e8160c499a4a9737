#include "tests/gui/GuiTest.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "app/gui/ChildFrame.h"
#include "app/gui/ParamDialog.h"
#include "app/gui/RenderView.h"

namespace orvex::test {

QString SamplePath(const char* name) {
  return QString(ORVEX_SAMPLES_DIR) + "/" + name;
}

int PixelsOffBackground(CRenderView* view) {
  QImage image = view->grabFramebuffer();
  if (image.isNull()) return 0;
  QRgb background = image.pixel(0, 0);
  int count = 0;
  for (int y = 0; y < image.height(); y++)
    for (int x = 0; x < image.width(); x++)
      if (image.pixel(x, y) != background) count++;
  return count;
}

void AcceptNextDialog(std::vector<ParamField> labels, QString title, FieldTexts fields) {
  QTimer::singleShot(0, [labels = std::move(labels), title, fields] {
    auto* dialog = qobject_cast<CParamDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), title);
    ParamValues values(labels);
    for (const auto& field : fields)
      dialog->SetFieldText(values.IndexOf(field.first), field.second);
    dialog->accept();
  });
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
