// Edit/Undo and Edit/Redo in the main frame: their items name the step,
// follow the history's state when the menu opens, and their keys work.

#include <QAction>
#include <QKeySequence>

#include "app/OrvexDoc.h"
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

} // namespace orvex::test
