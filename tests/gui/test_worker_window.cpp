// The volume-based metric from the window program: its worker runs while
// the window keeps painting, the menus disable what would change the scene,
// and "Stop volume-based metric" ends it.

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QTimer>

#include "app/CommandRegistry.h"
#include "app/OrvexDoc.h"
#include "app/gui/ChildFrame.h"
#include "app/gui/ParamDialog.h"
#include "app/gui/RenderView.h"
#include "tests/gui/GuiTest.h"

namespace orvex::test {
namespace {

using FrameWorker = MainFrameTest;

const QStringList kLoopStd = {"&Algorithms", "Surface subdivision", "Loop", "&Std"};
const QStringList kVolume = {"&Algorithms", "Surface simplification", "&Volume-based metric..."};
const QStringList kStop = {"&Algorithms", "Surface simplification", "Stop volume-based metric"};

// Sets fields of the command's dialog that is about to open, then OK.
void AcceptNextDialog(const char* command,
                      std::vector<std::pair<const char*, const char*>> fields) {
  QTimer::singleShot(0, [command, fields] {
    auto* dialog = qobject_cast<CParamDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    ParamValues labels(ApplicationRegistry().Find(command)->params);
    for (const auto& field : fields)
      dialog->SetFieldText(labels.IndexOf(field.first), field.second);
    dialog->accept();
  });
}

int PixelsOffBackground(CRenderView* view) {
  QImage image = view->grabFramebuffer();
  int count = 0;
  for (int y = 0; y < image.height(); y++)
    for (int x = 0; x < image.width(); x++) count += image.pixel(x, y) != image.pixel(0, 0) ? 1 : 0;
  return count;
}

} // namespace

TEST_F(FrameWorker, VolumeBasedMetricRunsBesideTheWindowUntilStopped) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  for (int i = 0; i < 3; i++) MenuAction(kLoopStd)->trigger(); // 1,280 faces
  CRenderView* view = m_Frame->ActiveChildFrame()->GetRenderView();

  AcceptNextDialog("Algorithms/Surface simplification/Volume-based metric...",
                   {{"Final", "100"},
                    {"Max iter", "100000"},
                    {"Samples per face", "20"},
                    {"Save intermediate", "off"}});
  MenuAction(kVolume)->trigger();
  ASSERT_TRUE(doc->IsBusy());
  // while it runs: Stop is offered, scene commands are not, the view paints
  EXPECT_TRUE(MenuAction(kStop)->isEnabled());
  EXPECT_FALSE(MenuAction(kLoopStd)->isEnabled());
  EXPECT_FALSE(MenuAction(kVolume)->isEnabled());
  Settle();
  EXPECT_GT(PixelsOffBackground(view), 100);

  MenuAction(kStop)->trigger();
  Settle();
  EXPECT_FALSE(doc->IsBusy());
  EXPECT_TRUE(m_Frame->StatusText().startsWith("Volume-based metric stopped"))
      << m_Frame->StatusText().toStdString();
  EXPECT_TRUE(MenuAction(kLoopStd)->isEnabled());
  EXPECT_FALSE(MenuAction(kStop)->isEnabled());
  EXPECT_GT(PixelsOffBackground(view), 100);
}

} // namespace orvex::test
