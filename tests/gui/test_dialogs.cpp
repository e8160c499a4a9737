// The dialogs built from a command's fields, the hand-made "Properties" and
// "Range" dialogs, and the accelerators' key sequences.

#include <QLineEdit>
#include <QSpinBox>

#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "app/gui/KeySequence.h"
#include "app/gui/ParamDialog.h"
#include "app/gui/PropertiesDialog.h"
#include "app/gui/RangeDialog.h"
#include "geometry/Mesh3d.h"
#include "tests/gui/GuiTest.h"

namespace orvex::test {
namespace {

TEST(ParamDialog, ShowsTheValuesAndWritesTheEditedOnesBackOnOk) {
  ParamValues values({IntegerParam("Iterations", 4, 1, 10), CheckParam("Smooth", true),
                      ChoiceParam("Potential", {"Edge length", "Curveness"}, 1),
                      RealParam("Ratio", 0.5)});
  CParamDialog dialog("Iterations", values);
  EXPECT_EQ(dialog.windowTitle(), "Iterations");
  EXPECT_EQ(dialog.FieldText(0), "4");
  EXPECT_EQ(dialog.FieldText(1), "on");
  EXPECT_EQ(dialog.FieldText(2), "Curveness");
  dialog.SetFieldText(0, "7");
  dialog.SetFieldText(1, "off");
  dialog.SetFieldText(2, "Edge length");
  dialog.SetFieldText(3, "0.25");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(values.Integer("Iterations"), 7);
  EXPECT_FALSE(values.Check("Smooth"));
  EXPECT_EQ(values.Choice("Potential"), 0);
  EXPECT_DOUBLE_EQ(values.Real("Ratio"), 0.25);
}

TEST(ParamDialog, CancelLeavesTheValuesAlone) {
  ParamValues values({IntegerParam("Iterations", 4)});
  CParamDialog dialog("Iterations", values);
  dialog.SetFieldText(0, "9");
  dialog.reject();
  EXPECT_EQ(values.Integer("Iterations"), 4);
}

TEST(KeySequence, MapsTheRegistryKeys) {
  EXPECT_EQ(KeySequenceOf("Ctrl+L"), QKeySequence(Qt::CTRL | Qt::Key_L));
  EXPECT_EQ(KeySequenceOf("Ctrl+Shift+L"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
  EXPECT_EQ(KeySequenceOf("Ctrl+Alt+Shift+P"),
            QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_P));
  EXPECT_EQ(KeySequenceOf("Del"), QKeySequence(Qt::Key_Delete));
  EXPECT_EQ(KeySequenceOf("Ctrl+Ins"), QKeySequence(Qt::CTRL | Qt::Key_Insert));
  EXPECT_EQ(KeySequenceOf("Ctrl+Space"), QKeySequence(Qt::CTRL | Qt::Key_Space));
  EXPECT_EQ(KeySequenceOf("F5"), QKeySequence(Qt::Key_F5));
  EXPECT_EQ(KeySequenceOf("Shift+F6"), QKeySequence(Qt::SHIFT | Qt::Key_F6));
  EXPECT_EQ(KeySequenceOf("N"), QKeySequence(Qt::Key_N));
  EXPECT_EQ(KeySequenceOf("Num+3"), QKeySequence(QKeyCombination(Qt::KeypadModifier, Qt::Key_3)));
  EXPECT_EQ(KeySequenceOf("Ctrl+Num++"),
            QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)));
  EXPECT_EQ(KeySequenceOf("Ctrl+Num+-"),
            QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus)));
  EXPECT_TRUE(KeySequenceOf("Ctrl+Nowhere").isEmpty());
}

TEST(KeySequence, EveryRegisteredKeyHasASequence) {
  for (const auto& info : ApplicationRegistry().Commands())
    for (const std::string& key : info->keys)
      EXPECT_FALSE(KeySequenceOf(key).isEmpty()) << key << " of " << info->Label();
}

using HandMadeDialogs = MainFrameTest;

TEST_F(HandMadeDialogs, PropertiesShowTheSelectedObject) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  CPropertiesDialog dialog(*doc);
  EXPECT_EQ(dialog.windowTitle(), "Properties");
  EXPECT_EQ(dialog.ObjectSpin()->maximum(), 0);
  EXPECT_TRUE(dialog.TypeText().startsWith("8"));
  EXPECT_EQ(dialog.VerticesText(), "12");
  EXPECT_EQ(dialog.FacesText(), "20");
}

TEST_F(HandMadeDialogs, RangeAppliesEachGroupThroughTheDispatcher) {
  COrvexDoc* doc = OpenSample();
  ASSERT_NE(doc, nullptr);
  CMesh3d* mesh = doc->GetFirstMesh();
  const CommandInfo* info = ApplicationRegistry().FindByPath("Geometry/Range...");
  ASSERT_NE(info, nullptr);
  CRangeDialog dialog(m_Frame->Dispatcher(), *info, *doc);
  float min = 0.0f, max = 0.0f;
  mesh->Range(0, &min, &max);
  EXPECT_EQ(dialog.Field("X min")->text().toFloat(), min);
  EXPECT_EQ(dialog.Field("X max")->text().toFloat(), max);

  dialog.Field("Offset X")->setText("2");
  EXPECT_EQ(dialog.Apply(CRangeDialog::OffsetGroup), CommandResult::Done);
  float movedMin = 0.0f, movedMax = 0.0f;
  mesh->Range(0, &movedMin, &movedMax);
  EXPECT_FLOAT_EQ(movedMin, min + 2.0f);
  EXPECT_FLOAT_EQ(movedMax, max + 2.0f);
  // the range fields show the new range
  EXPECT_FLOAT_EQ(dialog.Field("X min")->text().toFloat(), movedMin);

  dialog.Field("Y min")->setText("-3");
  dialog.Field("Y max")->setText("3");
  EXPECT_EQ(dialog.Apply(CRangeDialog::RangeGroup), CommandResult::Done);
  mesh->Range(1, &min, &max);
  EXPECT_FLOAT_EQ(min, -3.0f);
  EXPECT_FLOAT_EQ(max, 3.0f);
  // the offset was applied once only
  mesh->Range(0, &min, &max);
  EXPECT_FLOAT_EQ(min, movedMin);
}

} // namespace
} // namespace orvex::test
