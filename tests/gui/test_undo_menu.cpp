// Edit/Undo and Edit/Redo in the main frame: their items name the step,
// follow the history's state when the menu opens, and their keys work.

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QSettings>

#include "app/OrvexDoc.h"
#include "app/UndoHistory.h"
#include "app/gui/PropertiesDialog.h"
#include "app/gui/UndoSettings.h"
#include "geometry/Mesh3d.h"
#include "tests/gui/GuiTest.h"

namespace orvex::test {
namespace {

using FrameUndo = MainFrameTest;

int FaceCount(const COrvexDoc* doc) {
  CMesh3d* mesh = doc ? doc->GetFirstMesh() : nullptr;
  return mesh ? mesh->NbFace() : -1;
}

} // namespace

TEST_F(FrameUndo, ItemsNameTheStepAndFollowTheHistory) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  QAction* undo = MenuAction({"&Edit", "&Undo"});
  QAction* redo = MenuAction({"&Edit", "&Redo"});
  ASSERT_NE(undo, nullptr);
  ASSERT_NE(redo, nullptr);
  EXPECT_EQ(undo->shortcut(), QKeySequence("Alt+Backspace"));
  EXPECT_EQ(redo->shortcut(), QKeySequence("Ctrl+Y"));
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_FALSE(redo->isEnabled());

  MenuAction({"&Algorithms", "Surface subdivision", "Loop", "&Std"})->trigger();
  EXPECT_EQ(FaceCount(doc), 80);
  ASSERT_EQ(MenuAction({"&Edit", "&Undo Loop/Std"}), undo);
  EXPECT_TRUE(undo->isEnabled());
  undo->trigger();
  EXPECT_EQ(FaceCount(doc), 20);
  ASSERT_EQ(MenuAction({"&Edit", "&Redo Loop/Std"}), redo);
  EXPECT_TRUE(redo->isEnabled());
  EXPECT_EQ(undo->text(), "&Undo");
  EXPECT_FALSE(undo->isEnabled());
  redo->trigger();
  EXPECT_EQ(FaceCount(doc), 80);
}

TEST_F(FrameUndo, SettingsBoundTheHistoryAndPropertiesShowIt) {
  {
    QSettings settings("3D Orvexbox", "3D Orvexbox");
    settings.setValue("Undo/Max steps", 2);
    settings.setValue("Undo/Max megabytes", "lots"); // unusable: back to the default
  }
  ApplyUndoSettings();
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  for (int i = 0; i < 3; i++)
    MenuAction({"&Algorithms", "Surface subdivision", "Loop", "&Std"})->trigger();
  EXPECT_EQ(doc->UndoHistory().NbUndo(), 2u);
  EXPECT_EQ(QSettings("3D Orvexbox", "3D Orvexbox").value("Undo/Max megabytes").toInt(), 512);

  CPropertiesDialog dialog(*doc);
  bool shown = false;
  for (QLabel* label : dialog.findChildren<QLabel*>())
    shown |=
        label->text().startsWith("2 steps") && label->text().contains("at most 2 steps, 512 MB");
  EXPECT_TRUE(shown);

  QSettings("3D Orvexbox", "3D Orvexbox").remove("Undo");
  ApplyUndoSettings();
}

} // namespace orvex::test
