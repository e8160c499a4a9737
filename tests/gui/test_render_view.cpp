// The render view with the sample scene: mouse navigation, the view
// commands on the active view, timers, the picture it paints, several
// windows of one document and the frame's full screen.

#include <GL/gl.h>
#include <QAction>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "app/OrvexDoc.h"
#include "app/UserInterface.h"
#include "app/gui/ChildFrame.h"
#include "app/gui/RenderView.h"
#include "app/gui/UnavailableView.h"
#include "geometry/Camera3d.h"
#include "geometry/Mesh3d.h"
#include "tests/gui/GuiTest.h"

namespace orvex::test {
namespace {

using Vec3 = std::array<float, 3>;

void ExpectNear(const Vec3& actual, const Vec3& expected) {
  for (int i = 0; i < 3; i++) EXPECT_NEAR(actual[i], expected[i], 1e-4f) << "component " << i;
}

int LitPixels(const QImage& image) {
  int lit = 0;
  for (int y = 0; y < image.height(); y++)
    for (int x = 0; x < image.width(); x++)
      if (qGray(image.pixel(x, y)) > 20) lit++;
  return lit;
}

// Counts the paint events of the widgets it watches.
struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) paints++;
    return false;
  }
};

// Runs the event loop until done() holds or the time is up.
template <typename Condition> bool WaitFor(Condition done, int timeoutMs = 5000) {
  for (int waited = 0; !done() && waited < timeoutMs; waited += 10) QTest::qWait(10);
  return done();
}

class RenderViewTest : public MainFrameTest {
protected:
  void SetUp() override {
    MainFrameTest::SetUp();
    m_pDoc = OpenSample();
    ASSERT_NE(m_pDoc, nullptr);
  }

  CRenderView* View() const { return m_Frame->ActiveChildFrame()->GetRenderView(); }
  CRenderViewState& State() const { return View()->State(); }

  // A drag of the view: press the buttons at from, move to to, release.
  void Drag(Qt::MouseButtons buttons, QPoint from, QPoint to) {
    CRenderView* view = View();
    if (buttons & Qt::LeftButton) QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
    if (buttons & Qt::RightButton) QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, from);
    QTest::mouseMove(view, to);
    if (buttons & Qt::RightButton) QTest::mouseRelease(view, Qt::RightButton, Qt::NoModifier, to);
    if (buttons & Qt::LeftButton) QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
  }

  void Trigger(const QStringList& path) {
    QAction* action = MenuAction(path);
    ASSERT_NE(action, nullptr) << path.join('/').toStdString();
    action->trigger();
  }

  COrvexDoc* m_pDoc = nullptr;
};

TEST_F(RenderViewTest, DragsPanDollyAndRotate) {
  ExpectNear(State().m_Translation, {0, 0, -5});
  // left: pan by the drag times the translation speed (0.02 per pixel)
  Drag(Qt::LeftButton, {100, 100}, {110, 95});
  ExpectNear(State().m_Translation, {0.2f, 0.1f, -5.0f});
  EXPECT_FALSE(State().m_bLeftButtonDown);

  // right: dolly by the vertical drag
  Drag(Qt::RightButton, {100, 100}, {130, 120});
  ExpectNear(State().m_Translation, {0.2f, 0.1f, -5.4f});

  // both: horizontal drag turns about Y, vertical about X (1/3 degree per
  // pixel)
  Drag(Qt::LeftButton | Qt::RightButton, {50, 50}, {56, 47});
  ExpectNear(State().m_Rotation, {-1.0f, 2.0f, 0.0f});
  ExpectNear(State().m_Translation, {0.2f, 0.1f, -5.4f});
  EXPECT_FALSE(State().m_bLeftButtonDown);
  EXPECT_FALSE(State().m_bRightButtonDown);
}

TEST_F(RenderViewTest, SwappedAxesTurnAboutZAndResetKeepsIt) {
  QAction* swap = MenuAction({"&Geometry", "Swap rotation axes"});
  ASSERT_NE(swap, nullptr);
  EXPECT_TRUE(swap->isChecked());
  Activate();
  QTest::keyClick(View(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(State().m_bHorizontalAboutY, 0);
  MenuAction({"&Geometry"});
  EXPECT_FALSE(swap->isChecked());

  Drag(Qt::LeftButton | Qt::RightButton, {80, 80}, {71, 80});
  ExpectNear(State().m_Rotation, {0.0f, 0.0f, -3.0f});
  Drag(Qt::LeftButton, {80, 80}, {90, 80});

  Trigger({"&Geometry", "Reset"});
  ExpectNear(State().m_Rotation, {0.0f, 0.0f, -3.0f});
  ExpectNear(State().m_Translation, {0.0f, 0.0f, -5.0f});
}

TEST_F(RenderViewTest, PushChangePopRestoresAndResetUndoesAPopFirst) {
  // nothing pushed yet: the slot holds zeros, until Reset frames the scene
  // again
  const std::array<float, 3> framed = State().m_Scale;
  EXPECT_GT(framed[0], 0.0f);
  Trigger({"&Debug", "Viewing", "Pop"});
  ExpectNear(State().m_Scale, {0, 0, 0});
  ExpectNear(State().m_Translation, {0, 0, 0});
  Trigger({"&Geometry", "Reset"});
  ExpectNear(State().m_Scale, framed);

  State().m_Scale = {2.0f, 2.0f, 2.0f};
  Drag(Qt::LeftButton | Qt::RightButton, {60, 60}, {66, 60});
  Trigger({"&Debug", "Viewing", "Push"});
  Drag(Qt::LeftButton, {60, 60}, {100, 20});
  Drag(Qt::LeftButton | Qt::RightButton, {60, 60}, {30, 90});
  State().m_Scale = {0.5f, 0.5f, 0.5f};
  Activate();
  QTest::keyClick(View(), Qt::Key_P, Qt::ShiftModifier);
  ExpectNear(State().m_Scale, {2, 2, 2});
  ExpectNear(State().m_Rotation, {0, 2, 0});
  ExpectNear(State().m_Translation, {0, 0, -5});
}

TEST_F(RenderViewTest, PaintsTheLitModelOverTheBlackBackground) {
  QImage image = View()->grabFramebuffer();
  ASSERT_FALSE(image.isNull());
  const QRgb black = qRgb(0, 0, 0);
  int w = image.width(), h = image.height();
  for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
    EXPECT_EQ(image.pixel(corner) & 0xffffff, black & 0xffffff) << corner.x() << "," << corner.y();
  int lit = 0;
  for (int y = h / 2 - 5; y <= h / 2 + 5; y++)
    for (int x = w / 2 - 5; x <= w / 2 + 5; x++)
      if (qGray(image.pixel(x, y)) > 20) lit++;
  EXPECT_EQ(lit, 121);

  // panned out of sight, the model leaves the picture black
  State().m_Translation = {50.0f, 0.0f, -5.0f};
  EXPECT_EQ(LitPixels(View()->grabFramebuffer()), 0);
}

TEST_F(RenderViewTest, EachWindowKeepsItsOwnTransform) {
  CRenderView* first = View();
  Trigger({"&Window", "&New Window"});
  CRenderView* second = View();
  ASSERT_NE(first, second);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(second));
  Drag(Qt::LeftButton, {100, 100}, {100, 50});
  ExpectNear(second->State().m_Translation, {0.0f, 1.0f, -5.0f});
  ExpectNear(first->State().m_Translation, {0.0f, 0.0f, -5.0f});

  // view commands go to the active view only
  Activate();
  QTest::keyClick(second, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(second->State().m_bHorizontalAboutY, 0);
  EXPECT_EQ(first->State().m_bHorizontalAboutY, 1);
  m_Frame->MdiArea()->setActiveSubWindow(
      m_Frame->MdiArea()->subWindowList(QMdiArea::CreationOrder).first());
  EXPECT_EQ(View(), first);
  EXPECT_TRUE(MenuAction({"&Geometry", "Swap rotation axes"})->isChecked());
  Trigger({"&Geometry", "Speed", "Rotation", "Increase"});
  EXPECT_FLOAT_EQ(first->State().m_RotationSpeed, 0.5f);
  EXPECT_FLOAT_EQ(second->State().m_RotationSpeed, 1.0f / 3.0f);

  // both paint the shared display lists
  for (CRenderView* view : {first, second}) EXPECT_GT(LitPixels(view->grabFramebuffer()), 100);
}

TEST_F(RenderViewTest, F7SubdividesOnceAndSetsThePreset) {
  Activate();
  QTest::keyClick(View(), Qt::Key_F7);
  CMesh3d* mesh = m_pDoc->GetFirstMesh();
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->NbFace(), 80);
  ExpectNear(State().m_Scale, {0.78f, 1.0f, 0.52f});
  ExpectNear(State().m_Translation, {-7.82f, -8.62f, -29.5f});
  ExpectNear(State().m_Rotation, {8.33f, 19.0f, 0.0f});
  for (int axis = 0; axis < 3; axis++) {
    float min = 0, max = 0;
    mesh->Range(axis, &min, &max);
    EXPECT_NEAR(min, 0.0f, 1e-4f);
    EXPECT_NEAR(max, 20.0f, 1e-4f);
  }
}

TEST_F(RenderViewTest, TimersSpinTheModelAndKeepRunning) {
  Trigger({"&Debug", "Advanced", "Multi refinement 1->3"});
  CRenderView* view = View();
  EXPECT_TRUE(view->IsTimerActive(CRenderView::kSpinTimer));
  EXPECT_EQ(view->TimerInterval(CRenderView::kSpinTimer), 10);
  EXPECT_TRUE(view->IsTimerActive(CRenderView::kRefinementTimer));
  EXPECT_EQ(view->TimerInterval(CRenderView::kRefinementTimer), 4000);
  EXPECT_FLOAT_EQ(view->State().m_SpinStep[1], 2.0f);
  // each tick adds the step: whole steps about Y only
  EXPECT_TRUE(WaitFor([view] { return view->State().m_Rotation[1] >= 6.0f; }));
  float turned = view->State().m_Rotation[1];
  EXPECT_FLOAT_EQ(turned, 2.0f * static_cast<int>(turned / 2.0f + 0.5f));
  EXPECT_FLOAT_EQ(view->State().m_Rotation[0], 0.0f);
  Trigger({"&Geometry", "Reset"});
  EXPECT_TRUE(view->IsTimerActive(CRenderView::kSpinTimer));
}

TEST_F(RenderViewTest, AlwaysColorSilhouetteRecolorsAfterALeftRelease) {
  Trigger({"&Algorithms", "Color mesh", "Always color silhouette"});
  CMesh3d* mesh = m_pDoc->GetFirstMesh();
  ASSERT_NE(mesh, nullptr);
  mesh->SetFaceColors(CColor(1, 2, 3));
  QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 20));
  // every face now shows its flag's colour
  for (int i = 0; i < mesh->NbFace(); i++) EXPECT_NE(mesh->GetFace(i)->m_Color, CColor(1, 2, 3));
}

TEST_F(RenderViewTest, RefinementTimerRefinesAlongTheSilhouette) {
  CMesh3d* mesh = m_pDoc->GetFirstMesh();
  ASSERT_NE(mesh, nullptr);
  const int faces = mesh->NbFace();
  Trigger({"&Debug", "Advanced", "Multi refinement 1->3"});
  EXPECT_TRUE(WaitFor([this, faces] { return m_pDoc->GetFirstMesh()->NbFace() > faces; }, 9000));
}

TEST_F(RenderViewTest, RedrawNowPaintsEveryViewOfTheDocumentAtOnce) {
  Trigger({"&Window", "&New Window"});
  Trigger({"&Window", "Tile &vertically"});
  std::vector<CChildFrame*> windows = m_Frame->WindowsOf(m_pDoc);
  ASSERT_EQ(windows.size(), 2u);
  for (CChildFrame* window : windows)
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window->GetRenderView()));
  Settle();
  PaintCounter counters[2];
  for (int i = 0; i < 2; i++) windows[i]->GetRenderView()->installEventFilter(&counters[i]);
  // back to back, as the commands that show their steps do
  for (int i = 0; i < 3; i++) m_Frame->Host().GetUserInterface().RedrawNow();
  for (int i = 0; i < 2; i++) {
    EXPECT_GE(counters[i].paints, 3) << "window " << i;
    windows[i]->GetRenderView()->removeEventFilter(&counters[i]);
  }
}

TEST_F(RenderViewTest, VisualModeShowsTheChooserWithThirtyPaints) {
  PaintCounter counter;
  Settle();
  View()->installEventFilter(&counter);
  Activate();
  QTest::keyClick(View(), Qt::Key_M);
  View()->removeEventFilter(&counter);
  EXPECT_GE(counter.paints, 30);
  ASSERT_EQ(m_pDoc->m_SceneGraph.NbObject(), 2);
  EXPECT_EQ(m_pDoc->m_SceneGraph.GetAt(1)->GetType(), TYPE_VISUAL_CHOOSER);
  EXPECT_GT(LitPixels(View()->grabFramebuffer()), 100);
}

TEST_F(RenderViewTest, CameraModeDragsMoveTheCameraThroughTheDispatcher) {
  auto* camera = new CCamera3d;
  camera->m_Position = CVector3d(0.0, 0.0, 2.0); // in front of the eye: drawn large
  m_pDoc->m_SceneGraph.Add(camera);
  State().m_bCameraMode = 1;
  Settle();
  QImage before = View()->grabFramebuffer();

  // a left drag of 10 pixels pans the camera by 0.02 * 10 * 0.1
  Drag(Qt::LeftButton, {100, 100}, {90, 100});
  EXPECT_NEAR(camera->m_Position.x, 0.02, 1e-6);
  // the model transform stays: only the scene's camera moved
  ExpectNear(State().m_Translation, {0, 0, -5});
  // it went through the one door of commands: the wait cursor came and
  // went, and the picture follows the camera
  EXPECT_FALSE(m_pDoc->IsCommandRunning());
  Settle();
  EXPECT_NE(View()->grabFramebuffer(), before);
}

TEST_F(RenderViewTest, GlyphListsOfTheWindowFontExist) {
  CRenderView* view = View();
  ASSERT_TRUE(view->IsGlReady());
  view->makeCurrent();
  EXPECT_TRUE(glIsList(CRenderView::kGlyphListBase));
  EXPECT_TRUE(glIsList(CRenderView::kGlyphListBase + 'A'));
  EXPECT_TRUE(glIsList(CRenderView::kGlyphListBase + 254));
  view->doneCurrent();
}

TEST_F(RenderViewTest, FullScreenHidesTheBarsAndComesBack) {
  QAction* fullScreen = MenuAction({"&View", "Full screen"});
  ASSERT_NE(fullScreen, nullptr);
  EXPECT_EQ(fullScreen->shortcut(), QKeySequence("Ctrl+Space"));
  EXPECT_FALSE(fullScreen->isChecked());
  // a bar hidden before stays hidden after
  m_Frame->ToggleStatusBar();
  QRect normal = m_Frame->geometry();

  Activate();
  QTest::keyClick(View(), Qt::Key_Space, Qt::ControlModifier);
  EXPECT_TRUE(m_Frame->IsFullScreen());
  EXPECT_TRUE(m_Frame->windowState() & Qt::WindowFullScreen);
  EXPECT_TRUE(m_Frame->StandardBar()->isHidden());
  EXPECT_TRUE(m_Frame->statusBar()->isHidden());
  MenuAction({"&View"});
  EXPECT_TRUE(fullScreen->isChecked());

  fullScreen->trigger();
  EXPECT_FALSE(m_Frame->IsFullScreen());
  EXPECT_FALSE(m_Frame->windowState() & Qt::WindowFullScreen);
  EXPECT_FALSE(m_Frame->StandardBar()->isHidden());
  EXPECT_TRUE(m_Frame->statusBar()->isHidden());
  WaitFor([&] { return m_Frame->geometry().size() == normal.size(); });
  EXPECT_EQ(m_Frame->geometry().size(), normal.size());
  MenuAction({"&View"});
  EXPECT_FALSE(fullScreen->isChecked());
}

TEST_F(RenderViewTest, FullScreenCanBeLeftAfterTheLastDocumentCloses) {
  Activate();
  QTest::keyClick(View(), Qt::Key_Space, Qt::ControlModifier);
  ASSERT_TRUE(m_Frame->IsFullScreen());
  Trigger({"&File", "&Close"});
  Settle();
  ASSERT_TRUE(m_Frame->Host().Documents().empty());
  Activate();
  QTest::keyClick(m_Frame.get(), Qt::Key_Space, Qt::ControlModifier);
  EXPECT_FALSE(m_Frame->IsFullScreen());
  EXPECT_FALSE(m_Frame->StandardBar()->isHidden());
  EXPECT_FALSE(m_Frame->statusBar()->isHidden());
}

TEST(UnavailableView, ShowsTheMessageOnAPlainBackground) {
  QImage image(240, 120, QImage::Format_RGB32);
  image.fill(Qt::red);
  QPalette palette;
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  {
    QPainter painter(&image);
    PaintUnavailableView(painter, image.rect(), palette, CRenderView::kNoGlMessage);
  }
  int white = 0, dark = 0;
  for (int y = 0; y < image.height(); y++)
    for (int x = 0; x < image.width(); x++) {
      QRgb pixel = image.pixel(x, y);
      if (pixel == qRgb(255, 255, 255)) white++;
      if (qGray(pixel) < 128) dark++;
    }
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_GT(dark, 20);                                  // the text
  EXPECT_GT(white, image.width() * image.height() / 2); // the background
}

} // namespace
} // namespace orvex::test
