// The modal side windows from their menu entries: the spline editor and
// the data-analysis window, driven with the mouse, their buttons and
// menus, grabbed to check what they draw; the document stays unchanged.

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QOpenGLWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/OrvexDoc.h"
#include "app/gui/DataAnalysisWindow.h"
#include "app/gui/MultiviewDialog.h"
#include "app/gui/SplineEditor.h"
#include "app/gui/TextureMapWindow.h"
#include "app/side/TileLayout.h"
#include "tests/gui/GuiTest.h"
#include "tests/support/SceneFingerprint.h"
#include "tests/support/SgiFiles.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

// Pixels of the picture for which test holds.
template <typename Test> int CountPixels(const QImage& picture, Test test) {
  int count = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) count += test(picture.pixel(x, y)) ? 1 : 0;
  return count;
}

int CountPixels(const QImage& picture, QRgb colour) {
  return CountPixels(picture, [colour](QRgb c) { return c == colour; });
}

// Closes the message box that is about to open.
void CloseNextMessage() {
  QTimer::singleShot(0, [] {
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
  });
}

// Presses the buttons at from, moves to `to` holding them (QTest moves
// carry no buttons) and releases them there.
void Drag(QWidget* widget, QPoint from, QPoint to, Qt::MouseButtons buttons = Qt::LeftButton) {
  for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton})
    if (buttons & b) QTest::mousePress(widget, b, {}, from);
  QMouseEvent move(QEvent::MouseMove, QPointF(to), widget->mapToGlobal(QPointF(to)), Qt::NoButton,
                   buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
  for (Qt::MouseButton b : {Qt::RightButton, Qt::LeftButton})
    if (buttons & b) QTest::mouseRelease(widget, b, {}, to);
}

class SideWindows : public MainFrameTest {
protected:
  // The sample copied into a folder of its own, the document's folder.
  fs::path SampleFolder(const char* name) {
    const fs::path folder = fs::path(::testing::TempDir()) / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(SamplePath().toStdString(), folder / "ico.wrl");
    return folder;
  }

  // Opens the modal window of the menu path and runs act on it while it
  // is shown; the scene's fingerprint must not change.
  template <typename Window>
  void RunModal(const fs::path& folder, const QStringList& menu,
                const std::function<void(Window&)>& act) {
    ASSERT_TRUE(m_Frame->OpenFile(QString::fromStdString((folder / "ico.wrl").string())));
    Settle();
    COrvexDoc* doc = m_Frame->ActiveDocument();
    ASSERT_NE(doc, nullptr);
    const auto before = testmeshes::FingerprintScene(doc->m_SceneGraph);
    QAction* action = MenuAction(menu);
    ASSERT_NE(action, nullptr);
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
      if (window) {
        ran = true;
        act(*window);
        window->reject();
      }
    });
    action->trigger();
    Settle();
    EXPECT_TRUE(ran);
    EXPECT_EQ(testmeshes::FingerprintScene(doc->m_SceneGraph).Differences(before), 0u);
    EXPECT_FALSE(doc->IsModified());
  }
};

TEST_F(SideWindows, SplineEditorDrawsTheCurveAndItsControlPoints) {
  RunModal<CSplineEditor>(
      SampleFolder("orvex_gui_spline"), {"&Window", "Spline..."}, [](CSplineEditor& editor) {
        EXPECT_EQ(editor.windowTitle(), "Subdivision-based spline");
        QWidget* canvas = editor.Canvas();
        EXPECT_EQ(canvas->size(), QSize(254, 254));
        const QImage empty = canvas->grab().toImage();
        // Right clicks append, a left click that drags nothing inserts.
        QTest::mouseClick(canvas, Qt::RightButton, {}, QPoint(40, 40));
        QTest::mouseClick(canvas, Qt::RightButton, {}, QPoint(200, 40));
        EXPECT_EQ(editor.RefinedPoints().size(), 2u); // two points are drawn as they are
        QTest::mouseClick(canvas, Qt::RightButton, {}, QPoint(200, 200));
        QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(40, 200));
        ASSERT_EQ(editor.ControlPoints().size(), 4u);
        EXPECT_EQ(editor.RefinedPoints().size(), 4u << 8);
        const QImage drawn = canvas->grab().toImage();
        EXPECT_NE(drawn, empty);
        EXPECT_GT(CountPixels(drawn, qRgb(0x64, 0x64, 0x64)), 100);
        EXPECT_GT(CountPixels(drawn, qRgb(0, 0, 255)), 20);
        // Dragging a control point moves it.
        Drag(canvas, QPoint(41, 41), QPoint(60, 70));
        EXPECT_EQ(editor.ControlPoints().size(), 4u);
        EXPECT_DOUBLE_EQ(editor.ControlPoints()[0].x, 60.0);
        EXPECT_DOUBLE_EQ(editor.ControlPoints()[0].y, 70.0);
        // The mode button cycles through the rules.
        const char* names[] = {"Approximation", "Fractals", "Interpolation"};
        for (const char* name : names) {
          editor.ModeButton()->click();
          EXPECT_EQ(editor.ModeButton()->text(), name);
        }
        // The slider sets the weights; position 10 restores the default.
        editor.Slider()->setValue(0);
        EXPECT_DOUBLE_EQ(editor.W(), 0.0);
        EXPECT_DOUBLE_EQ(editor.V(), 8.0);
        EXPECT_EQ(editor.RefinedPoints().size(), 4u << 3);
        editor.Slider()->setValue(10);
        EXPECT_NEAR(editor.W(), -1.0, 1e-12);
        EXPECT_NEAR(editor.V(), 9.0, 1e-12);
        editor.RunButton()->click();
        EXPECT_EQ(editor.RefinedPoints().size(), 4u << 8);
        editor.InitButton()->click();
        EXPECT_TRUE(editor.ControlPoints().empty());
        EXPECT_TRUE(editor.RefinedPoints().empty());
        EXPECT_EQ(canvas->grab().toImage(), empty);
      });
}

TEST_F(SideWindows, DataAnalysisFillsSmoothsAndSaves) {
  const fs::path folder = SampleFolder("orvex_gui_drome");
  std::ofstream(folder / "ring.pts") << "40 30\n20 15 100\n5 5 50\n";
  std::ofstream(folder / "bad.pts") << "40 30\n50 15 100\n";
  RunModal<CDataAnalysisWindow>(
      folder, {"&Debug", "Drome", "Analysis"}, [&](CDataAnalysisWindow& w) {
        EXPECT_EQ(w.windowTitle(), "Data analysis");
        for (const auto& [menu, item] : {std::pair{"File", "Open..."},
                                         {"File", "Save"},
                                         {"Process", "Fill"},
                                         {"Process", "Recursive filling"}})
          EXPECT_NE(w.Action(menu, item), nullptr) << item;
        ASSERT_TRUE(w.OpenFile(QString::fromStdString((folder / "ring.pts").string())));
        EXPECT_EQ(w.Image().m_Width, 40);
        EXPECT_EQ(w.Image().m_Maximum, 100.0f);
        EXPECT_EQ(w.Display().Pixel(20, 15)[0], 255);
        EXPECT_EQ(w.Display().Pixel(5, 5)[1], 127);
        w.Action("Process", "Fill")->trigger();
        EXPECT_EQ(w.Image().At(21, 16), 100.0f);
        EXPECT_EQ(w.Image().At(22, 17), kEmptyPixel);
        w.Action("Process", "Recursive filling")->trigger();
        EXPECT_NE(w.Image().At(38, 28), kEmptyPixel);
        EXPECT_EQ(w.Image().At(0, 0), kEmptyPixel); // the border is never filled
        const std::vector<float> filled = w.Image().m_Values;
        for (QAction* action : w.Menus()->findChildren<QAction*>())
          if (action->text().remove('&') == "Gaussain 3x3") action->trigger();
        // Next to the empty border the smoothing lowers the values.
        EXPECT_LT(w.Image().At(1, 1), filled[1 * 40 + 1]);
        w.Action("File", "Save")->trigger();
        EXPECT_TRUE(fs::exists(folder / "drome_40_30.bmp"));
        // A refused file names its line and keeps the image.
        CloseNextMessage();
        EXPECT_FALSE(w.OpenFile(QString::fromStdString((folder / "bad.pts").string())));
        EXPECT_EQ(w.Image().m_Width, 40);
      });
}

TEST_F(SideWindows, TextureMapLoadsTilesAndPans) {
  const fs::path folder = SampleFolder("orvex_gui_map");
  // The four tiles of the first level, 64 pixels square, one colour each.
  const unsigned char colours[4][3] = {{250, 0, 0}, {0, 250, 0}, {0, 0, 250}, {250, 250, 0}};
  for (int i = 0; i < 4; ++i)
    ASSERT_TRUE(testsupport::WriteSgiImage(
        (folder / TileFileName("spot_", 1360, i)).string(), 64, 64, [&](int, int) {
          return std::array<unsigned char, 3>{colours[i][0], colours[i][1], colours[i][2]};
        }));
  RunModal<CTextureMapWindow>(folder, {"&Textures", "Map"}, [&](CTextureMapWindow& w) {
    EXPECT_EQ(w.windowTitle(), "Texture map");
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.Action("Map", "LOD 1")->trigger();
    ASSERT_EQ(w.Tiles().m_Tiles.size(), 4u);
    EXPECT_EQ(w.Tiles().m_Overlap, 40);
    QImage picture = w.Canvas()->grab().toImage();
    EXPECT_EQ(picture.pixel(5, 5), qRgb(250, 0, 0));
    EXPECT_EQ(picture.pixel(24 + 5, 5), qRgb(0, 250, 0)); // the second tile starts 24 on
    EXPECT_EQ(picture.pixel(5, 24 + 5), qRgb(0, 0, 250));
    // Overlap from its shortcuts, kept below the tile side (a shortcut
    // reaches only the active window).
    MakeActive(&w);
    QTest::keyClick(&w, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(w.Tiles().m_Overlap, 39);
    w.Action("Map", "Overlap Increase")->trigger();
    w.Action("Map", "Overlap Increase")->trigger();
    EXPECT_EQ(w.Tiles().m_Overlap, 41);
    // A drag pans the tiles.
    const QImage before = w.Canvas()->grab().toImage();
    Drag(w.Canvas(), QPoint(10, 10), QPoint(40, 30));
    EXPECT_EQ(w.Pan(), QPoint(30, 20));
    picture = w.Canvas()->grab().toImage();
    EXPECT_NE(picture, before);
    EXPECT_EQ(picture.pixel(35, 25), qRgb(250, 0, 0));
    EXPECT_NE(picture.pixel(5, 5), qRgb(250, 0, 0));
    w.Action("View", "Init")->trigger();
    EXPECT_EQ(w.Pan(), QPoint(0, 0));
    EXPECT_EQ(w.Canvas()->grab().toImage(), before);
    // The second level has none of its tiles: one message, nothing drawn.
    CloseNextMessage();
    w.Action("Map", "LOD 2")->trigger();
    EXPECT_EQ(w.Tiles().m_Tiles.size(), 16u);
    EXPECT_NE(w.Canvas()->grab().toImage().pixel(5, 5), qRgb(250, 0, 0));
    EXPECT_TRUE(w.OpenImage(QString::fromStdString((folder / "spot_001361.rgb").string())));
    EXPECT_EQ(w.Tiles().m_Tiles.size(), 1u);
  });
}

TEST_F(SideWindows, MultiviewShowsFourTurnedPanesMovedTogether) {
  RunModal<CMultiviewDialog>(
      SampleFolder("orvex_gui_multiview"), {"&Window", "Multi view..."}, [](CMultiviewDialog& w) {
        EXPECT_EQ(w.windowTitle(), "Multiview");
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        const auto grabAll = [&] {
          std::array<QImage, 4> pictures;
          for (std::size_t i = 0; i < 4; ++i)
            pictures[i] =
                static_cast<QOpenGLWidget*>(w.Pane(static_cast<int>(i)))->grabFramebuffer();
          return pictures;
        };
        const auto first = grabAll();
        for (const QImage& picture : first)
          EXPECT_GT(CountPixels(picture, [](QRgb c) { return qGray(c) > 20; }), 500);
        EXPECT_NE(first[1], first[0]); // turned by 90 degrees
        EXPECT_EQ(first[3], first[0]); // both unturned panes agree
        // A drag with both buttons in the bottom-left pane turns all four.
        Drag(w.Pane(2), QPoint(50, 50), QPoint(90, 70), Qt::LeftButton | Qt::RightButton);
        const auto moved = grabAll();
        for (std::size_t i = 0; i < 4; ++i) EXPECT_NE(moved[i], first[i]) << i;
      });
  EXPECT_EQ(MenuAction({"&Window", "Multi view..."})->shortcut(), QKeySequence(Qt::Key_F9));
}

} // namespace
} // namespace orvex::test
