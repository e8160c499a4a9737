// The main frame with the sample scene: menus, accelerators, status line,
// captions, the GL view, windows of a document and dropped files.

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include "app/OrvexDoc.h"
#include "app/UserInterface.h"
#include "app/gui/ChildFrame.h"
#include "app/gui/FormCommandView.h"
#include "app/gui/RenderView.h"
#include "app/gui/StandardBar.h"
#include "geometry/Mesh3d.h"
#include "tests/gui/GuiTest.h"

namespace orvex::test {
namespace {

const QStringList kLoopStd = {"&Algorithms", "Surface subdivision", "Loop", "&Std"};

int FaceCount(const COrvexDoc* doc) {
  CMesh3d* mesh = doc ? doc->GetFirstMesh() : nullptr;
  return mesh ? mesh->NbFace() : -1;
}

using FrameWithoutDocument = MainFrameTest;
using FrameWithSample = MainFrameTest;

TEST_F(FrameWithoutDocument, ShowsMenu128CaptionAndBars) {
  EXPECT_EQ(m_Frame->windowTitle(), "3d OrvexBox");
  EXPECT_EQ(TopMenuTexts(), QStringList({"&File", "&View", "&Help"}));
  EXPECT_EQ(m_Frame->StatusText(), "Ready");
  QToolBar* bar = m_Frame->StandardBar();
  EXPECT_EQ(bar->windowTitle(), "Standard");
  EXPECT_EQ(bar->actions().size(), kStandardBarSlots);
  int separators = 0;
  for (QAction* action : bar->actions()) separators += action->isSeparator() ? 1 : 0;
  EXPECT_EQ(separators, 5);
  // message pane, CAP, NUM, SCRL
  QList<QLabel*> panes = m_Frame->statusBar()->findChildren<QLabel*>();
  QStringList texts;
  for (QLabel* pane : panes) texts << pane->text();
  EXPECT_EQ(texts, QStringList({"Ready", "CAP", "NUM", "SCRL"}));
}

TEST_F(FrameWithoutDocument, UserInterfaceDrivesStatusLineAndWaitCursor) {
  CUserInterface& ui = m_Frame->Host().GetUserInterface();
  ui.StatusMessage("Loop done, %d -> %d faces, %g s...", 20, 80, 0.5);
  EXPECT_EQ(m_Frame->StatusText(), "Loop done, 20 -> 80 faces, 0.5 s...");
  ui.StatusMessage("%s", std::string(400, 'x').c_str());
  EXPECT_EQ(m_Frame->StatusText().size(), CUserInterface::kStatusMaxLength);
  ui.BeginWaitCursor();
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui.EndWaitCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FrameWithoutDocument, DocumentCommandsAreDisabledAndFileNewWorks) {
  QAction* open = MenuAction({"&File", "&Open..."});
  ASSERT_NE(open, nullptr);
  EXPECT_TRUE(open->isEnabled());
  EXPECT_EQ(open->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(MenuAction({"&File", "&Close"}), nullptr); // only on menu 129
  // the button bar's Loop button follows the command's state
  QAction* loopButton = m_Frame->StandardBar()->actions().at(13);
  EXPECT_FALSE(loopButton->isEnabled());

  MenuAction({"&File", "&New"})->trigger();
  EXPECT_EQ(m_Frame->MdiArea()->subWindowList().size(), 1);
  EXPECT_EQ(m_Frame->windowTitle(), "3d OrvexBox - Untitled");
  // an empty scene leaves the view blank
  CRenderView* view = m_Frame->ActiveChildFrame()->GetRenderView();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  EXPECT_EQ(PixelsOffBackground(view), 0);
  EXPECT_EQ(view->grabFramebuffer().pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_TRUE(TopMenuTexts().contains("&Algorithms"));
  EXPECT_TRUE(loopButton->isEnabled());
}

TEST_F(FrameWithSample, OpensTheFileInASplitWindow) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(m_Frame->windowTitle(), "3d OrvexBox - icosahedron.wrl");
  EXPECT_EQ(TopMenuTexts().first(), "&File");
  EXPECT_TRUE(TopMenuTexts().contains("&Window"));
  CChildFrame* child = m_Frame->ActiveChildFrame();
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->GetSplitter()->count(), 2);
  EXPECT_EQ(child->GetSplitter()->widget(0), child->GetCommandPanel());
  EXPECT_EQ(child->GetSplitter()->widget(1), child->GetRenderView());
  EXPECT_EQ(m_Frame->MdiArea()->activeSubWindow()->windowTitle(), "icosahedron.wrl");
  EXPECT_EQ(FaceCount(doc), 20);
  // the opened file is remembered under the profile, in this run's own
  // settings folder (never the user's)
  QSettings settings("3D Orvexbox", "3D Orvexbox");
  EXPECT_EQ(settings.value("Recent File List/File1").toString(), SamplePath());
  settings.sync();
  EXPECT_TRUE(settings.fileName().startsWith(SettingsFolder() + "/"))
      << settings.fileName().toStdString();
  EXPECT_TRUE(QFile::exists(settings.fileName()));
}

TEST_F(FrameWithSample, AcceleratorRunsLoopAndReportsInTheStatusLine) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  Activate();
  QTest::keyClick(m_Frame->ActiveChildFrame()->GetRenderView(), Qt::Key_L, Qt::ControlModifier);
  EXPECT_TRUE(m_Frame->StatusText().startsWith("Loop done, 20 -> 80 faces"))
      << m_Frame->StatusText().toStdString();
  EXPECT_EQ(FaceCount(doc), 80);
}

TEST_F(FrameWithSample, MenuItemRunsLoopTwice) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  QAction* loop = MenuAction(kLoopStd);
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->shortcut(), QKeySequence("Ctrl+L"));
  loop->trigger();
  EXPECT_TRUE(m_Frame->StatusText().startsWith("Loop done, 20 -> 80 faces"))
      << m_Frame->StatusText().toStdString();
  loop->trigger();
  EXPECT_TRUE(m_Frame->StatusText().startsWith("Loop done, 80 -> 320 faces"));
  EXPECT_EQ(FaceCount(doc), 320);
}

// Esc, waiting in the queue, reaches the window at the command's first
// progress report: the bar shows, other keys are dropped, the command
// stops and the scene is as it was.
TEST_F(FrameWithSample, EscStopsARunningCommandAndTheSceneStays) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  QWidget* view = m_Frame->ActiveChildFrame()->GetRenderView();
  bool barShown = false;
  QMetaObject::invokeMethod(
      qApp, [&] { barShown = m_Frame->Progress().IsShown(); }, Qt::QueuedConnection);
  QCoreApplication::postEvent(view,
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_L, Qt::ControlModifier));
  QCoreApplication::postEvent(view,
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  MenuAction(kLoopStd)->trigger();
  EXPECT_TRUE(barShown);
  EXPECT_EQ(m_Frame->StatusText(), "Cancelled: Loop/Std");
  EXPECT_EQ(FaceCount(doc), 20);
  EXPECT_FALSE(m_Frame->Progress().IsShown());
  QApplication::processEvents(); // nothing was left to run a second command
  EXPECT_EQ(FaceCount(doc), 20);
}

TEST_F(FrameWithSample, ViewDrawsTheSceneAndFollowsTheModes) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  CRenderView* view = m_Frame->ActiveChildFrame()->GetRenderView();
  int shaded = PixelsOffBackground(view);
  EXPECT_GT(shaded, 100);
  // wireframe covers far fewer pixels than the filled surface
  MenuAction({"&Mode", "Line"})->trigger();
  int lines = PixelsOffBackground(view);
  EXPECT_GT(lines, 0);
  EXPECT_LT(lines, shaded);
}

TEST_F(FrameWithSample, CheckMarksAndDisabledItemsFollowTheRegistry) {
  ASSERT_NE(OpenSample(), nullptr);
  QAction* light = MenuAction({"&Mode", "Light"});
  ASSERT_NE(light, nullptr);
  EXPECT_TRUE(light->isCheckable());
  EXPECT_TRUE(light->isChecked());
  light->trigger();
  MenuAction({"&Mode"});
  EXPECT_FALSE(light->isChecked());
  EXPECT_FALSE(m_Frame->ActiveDocument()->m_bLighting);
  QAction* bidon = MenuAction({"&Geometry", "Bidon"});
  ASSERT_NE(bidon, nullptr);
  EXPECT_FALSE(bidon->isEnabled());
  QAction* toolbar = MenuAction({"&View", "&Toolbar"});
  EXPECT_TRUE(toolbar->isChecked());
  toolbar->trigger();
  EXPECT_TRUE(m_Frame->StandardBar()->isHidden());
  EXPECT_FALSE(toolbar->isChecked());
}

TEST_F(FrameWithSample, NewWindowShowsTheSameDocumentUntilItsLastWindowCloses) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  MenuAction({"&Window", "&New Window"})->trigger();
  QList<QMdiSubWindow*> windows = m_Frame->MdiArea()->subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(windows.size(), 2);
  EXPECT_EQ(windows[0]->windowTitle(), "icosahedron.wrl:1");
  EXPECT_EQ(windows[1]->windowTitle(), "icosahedron.wrl:2");
  MenuAction({"&Window", "Tile &vertically"})->trigger();
  EXPECT_EQ(windows[0]->geometry().top(), windows[1]->geometry().top());
  EXPECT_LT(windows[0]->geometry().left(), windows[1]->geometry().left());

  windows[1]->close();
  Settle();
  EXPECT_EQ(m_Frame->Host().Documents().size(), 1u);
  EXPECT_EQ(m_Frame->MdiArea()->subWindowList().at(0)->windowTitle(), "icosahedron.wrl");
  windows[0]->close();
  Settle();
  EXPECT_TRUE(m_Frame->Host().Documents().empty());
  EXPECT_EQ(m_Frame->windowTitle(), "3d OrvexBox");
  EXPECT_EQ(TopMenuTexts(), QStringList({"&File", "&View", "&Help"}));
}

TEST_F(FrameWithSample, FileCloseClosesEveryWindowOfTheDocument) {
  ASSERT_NE(OpenSample(), nullptr);
  MenuAction({"&Window", "&New Window"})->trigger();
  MenuAction({"&File", "&Close"})->trigger();
  Settle();
  EXPECT_TRUE(m_Frame->Host().Documents().empty());
  EXPECT_TRUE(m_Frame->MdiArea()->subWindowList().isEmpty());
}

TEST_F(FrameWithSample, DroppedFilesOpenInNewWindows) {
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(SamplePath("icosahedron.smf")),
                 QUrl::fromLocalFile(SamplePath("icosahedron.wrl"))});
  QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(m_Frame.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(m_Frame.get(), &drop);
  Settle();
  EXPECT_EQ(m_Frame->Host().Documents().size(), 2u);
  EXPECT_EQ(m_Frame->MdiArea()->subWindowList().size(), 2);
  EXPECT_EQ(m_Frame->windowTitle(), "3d OrvexBox - icosahedron.wrl");
  // both are in the recent-file list, newest first
  QAction* recent = MenuAction({"&File", "&1 icosahedron.wrl"});
  EXPECT_NE(recent, nullptr);
  EXPECT_NE(MenuAction({"&File", "&2 icosahedron.smf"}), nullptr);
  delete data;
}

TEST_F(FrameWithSample, WindowGrabShowsTheScene) {
  ASSERT_NE(OpenSample(), nullptr);
  QImage shot = m_Frame->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  // a picture for people to look at, when asked for
  QByteArray path = qgetenv("ORVEX_GUI_SNAPSHOT");
  if (!path.isEmpty()) {
    EXPECT_TRUE(shot.save(QString::fromLocal8Bit(path)));
  }
}

} // namespace
} // namespace orvex::test
