// Export and capture in the window program: Edit/Copy puts the view's
// picture on the clipboard, the metafile commands an SVG with a painted
// copy, the picture dialog shows its fields without the file, the video
// records the main window and Resize 4/3 sets its height.

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>

#include "app/CommandRegistry.h"
#include "app/Dialogs.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "app/gui/ParamDialog.h"
#include "app/gui/RenderView.h"
#include "tests/gui/GuiTest.h"

namespace orvex::test {
namespace {

using CaptureWindows = MainFrameTest;

int Id(const char* command) {
  return ApplicationRegistry().Find(command)->id;
}

TEST_F(CaptureWindows, CopyPutsTheViewOnTheClipboard) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  QApplication::clipboard()->clear();
  ASSERT_EQ(m_Frame->RunCommand(Id("Edit/Copy")), CommandResult::Done);
  const QImage image = QApplication::clipboard()->image();
  ASSERT_FALSE(image.isNull());
  CRenderView* view = m_Frame->ActiveView(doc);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(image.width(), view->State().m_Width);
  EXPECT_EQ(image.height(), view->State().m_Height);
  // the icosahedron is in the middle of a black background
  EXPECT_NE(image.pixelColor(image.width() / 2, image.height() / 2), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::black));
}

TEST_F(CaptureWindows, MetafileGoesToTheClipboardAsSvgWithAPicture) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  // the picture's file goes to a folder of the test, not beside the sample
  const CommandInfo& info =
      *ApplicationRegistry().Find("Edit/Window metafile/Generate MetaFile (face mode)");
  ParamValues values = m_Frame->Dispatcher().DialogValues(info, doc);
  const QString file = QDir(SettingsFolder()).filePath("metafile.svg");
  std::string error;
  ASSERT_TRUE(values.Set("File", file.toStdString(), error)) << error;
  ASSERT_EQ(m_Frame->Dispatcher().Run(info, doc, &values).result, CommandResult::Done);
  EXPECT_TRUE(QFile::exists(file));
  const QMimeData* data = QApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->data("image/svg+xml").startsWith("<?xml"));
  EXPECT_TRUE(data->hasImage());
}

TEST_F(CaptureWindows, PictureDialogLeavesTheFileToTheCommandLine) {
  ParamValues values(MetafileParameterFields());
  CParamDialog dialog(kMetafileDialogTitle, values);
  EXPECT_EQ(dialog.windowTitle(), "Windows Enhanced Metafile");
  EXPECT_EQ(dialog.FieldText(0), "Faces");
  dialog.SetFieldText(0, "Silhouette + ramp(z)");
  dialog.SetFieldText(1, "#102030");
  dialog.accept();
  EXPECT_EQ(values.Text("Mode"), "Silhouette + ramp(z)");
  EXPECT_EQ(values.Text("Face"), "#102030");
  EXPECT_EQ(values.Text("File"), "metafile.svg");
  EXPECT_TRUE(ApplicationRegistry().Find("Edit/Window metafile/Parameters...")->HasDialog());
  EXPECT_FALSE(ApplicationRegistry().Find("File/Export/eps")->HasDialog());
}

TEST_F(CaptureWindows, RecordsTheMainWindowAndResizesItToFourThirds) {
  ASSERT_NE(OpenSample(), nullptr);
  m_Frame->resize(1023, 500);
  Settle();
  ASSERT_EQ(m_Frame->RunCommand(Id("Window/AVI/Init")), CommandResult::Done);
  const CAviRecorder& recorder = m_Frame->Host().AviRecorder();
  EXPECT_EQ(recorder.Width(), m_Frame->grab().width() / 4 * 4);
  EXPECT_EQ(recorder.FrameCount(), 1);
  ASSERT_EQ(m_Frame->RunCommand(Id("Window/AVI/Add frame")), CommandResult::Done);
  EXPECT_EQ(recorder.FrameCount(), 2);

  m_Frame->resize(800, 300);
  Settle();
  ASSERT_EQ(m_Frame->RunCommand(Id("Window/AVI/Resize 4/3")), CommandResult::Done);
  Settle();
  EXPECT_EQ(m_Frame->height(), 3 * (m_Frame->width() / 4));
}

} // namespace
} // namespace orvex::test
