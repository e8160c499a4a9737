// The volume-based metric from the window program: its worker runs while
// the window keeps painting, the menus disable what would change the scene,
// and "Stop volume-based metric" ends it.

#include <QAction>

#include "app/CommandRegistry.h"
#include "app/OrvexDoc.h"
#include "app/gui/ChildFrame.h"
#include "app/gui/RenderView.h"
#include "tests/gui/GuiTest.h"

namespace orvex::test {
namespace {

using FrameWorker = MainFrameTest;

const QStringList kLoopStd = {"&Algorithms", "Surface subdivision", "Loop", "&Std"};
const QStringList kVolume = {"&Algorithms", "Surface simplification", "&Volume-based metric..."};
const QStringList kStop = {"&Algorithms", "Surface simplification", "Stop volume-based metric"};

} // namespace

TEST_F(FrameWorker, VolumeBasedMetricRunsBesideTheWindowUntilStopped) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  for (int i = 0; i < 3; i++) MenuAction(kLoopStd)->trigger(); // 1,280 faces
  CRenderView* view = m_Frame->ActiveChildFrame()->GetRenderView();

  const CommandInfo* volume =
      ApplicationRegistry().Find("Algorithms/Surface simplification/Volume-based metric...");
  AcceptNextDialog(volume->params, QString::fromStdString(volume->dialogTitle),
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
