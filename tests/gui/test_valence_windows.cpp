// The valence coder from the window program: the button of the Standard
// bar, its dialog, the clipboard table and the "Distribution" window.

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QToolBar>
#include <filesystem>

#include "app/commands/ValenceDialog.h"
#include "app/gui/DistributionWindow.h"
#include "app/gui/StandardBar.h"
#include "tests/gui/GuiTest.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

constexpr int kCodingSlot = 16; // the button of the command bound to Ctrl+Z

class ValenceWindows : public MainFrameTest {
protected:
  // The sample copied to a folder of its own: the coder writes beside it.
  QString CopiedSample() {
    m_Dir = fs::path(::testing::TempDir()) / "orvex_gui_valence";
    fs::remove_all(m_Dir);
    fs::create_directories(m_Dir);
    fs::copy_file(SamplePath().toStdString(), m_Dir / "ico.wrl");
    return QString::fromStdString((m_Dir / "ico.wrl").string());
  }

  fs::path m_Dir;
};

// Sets fields of the coder's dialog that is about to open, then presses OK.
void AcceptCodingDialog(FieldTexts fields) {
  AcceptNextDialog(ValenceDialogFields(), "Valence-centered encoding", std::move(fields));
}

TEST_F(ValenceWindows, ButtonRunsTheSeedStudyWithTableAndDistribution) {
  ASSERT_TRUE(m_Frame->OpenFile(CopiedSample()));
  Settle();
  QAction* button = m_Frame->StandardBar()->actions().at(kCodingSlot);
  ASSERT_TRUE(button->isEnabled());

  AcceptCodingDialog({{"Multiple seed face", "on"}, {"Show distribution", "on"}});
  button->trigger();
  Settle();
  EXPECT_TRUE(m_Frame->StatusText().startsWith("Min rate: "))
      << m_Frame->StatusText().toStdString();
  QString table = QApplication::clipboard()->text();
  EXPECT_TRUE(table.startsWith("Face \t Rate (b/v)\t #Split\n"));
  EXPECT_EQ(table.count('\n'), 21);
  EXPECT_TRUE(fs::exists(m_Dir / "mesh.bin"));

  auto* window = m_Frame->findChild<CDistributionWindow*>();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Distribution");
  ASSERT_GT(window->Histogram().size(), 5u);
  EXPECT_GT(window->Histogram()[5], 0); // every vertex of the icosahedron has valence 5
  QImage picture = window->grab().toImage();
  int barPixels = 0;
  for (int y = 0; y < picture.height(); y++)
    for (int x = 0; x < picture.width(); x++)
      barPixels += picture.pixel(x, y) == qRgb(51, 153, 255) ? 1 : 0;
  EXPECT_GT(barPixels, 100);

  // a second run reuses the window
  AcceptCodingDialog({{"Show distribution", "on"}});
  button->trigger();
  Settle();
  EXPECT_TRUE(m_Frame->StatusText().startsWith("20 faces, 12 vertices, rate: "));
  EXPECT_EQ(m_Frame->findChildren<CDistributionWindow*>().size(), 1);
}

} // namespace
} // namespace orvex::test
