// The command panel of a document window: every control clicked as a user
// clicks it, the view grabbed after the ones that change the picture.

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "app/OrvexDoc.h"
#include "app/gui/ChildFrame.h"
#include "app/gui/FormCommandView.h"
#include "app/gui/RenderView.h"
#include "app/gui/TextureEditDialog.h"
#include "geometry/Mesh3d.h"
#include "io/Texture.h"
#include "tests/gui/GuiTest.h"

namespace orvex::test {
namespace {

class CommandPanelTest : public MainFrameTest {
protected:
  void SetUp() override {
    MainFrameTest::SetUp();
    m_pDoc = OpenSample();
    ASSERT_NE(m_pDoc, nullptr);
    Panel()->m_ChooseColor = [this](QColor& color) {
      color = m_Chosen;
      return true;
    };
  }

  CFormCommandView* Panel() const { return m_Frame->ActiveChildFrame()->GetCommandPanel(); }
  CRenderView* View() const { return m_Frame->ActiveChildFrame()->GetRenderView(); }
  template <typename T> T* Control(const char* name) const {
    T* control = Panel()->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  // Clicks a button or check box as the mouse does, scrolled into sight.
  void Click(const char* name) {
    if (auto* button = Control<QAbstractButton>(name)) Click(button);
  }
  void Click(QAbstractButton* button) {
    Panel()->ensureWidgetVisible(button);
    // a check box or radio button answers on its indicator and label
    const QPoint at = button->isCheckable() && !qobject_cast<QPushButton*>(button)
                          ? QPoint(6, button->height() / 2)
                          : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
    Settle();
  }
  QImage Grab() {
    View()->repaint();
    return View()->grabFramebuffer();
  }

  COrvexDoc* m_pDoc = nullptr;
  QColor m_Chosen{255, 0, 0};
};

int Differing(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height();
  int count = 0;
  for (int y = 0; y < a.height(); y++)
    for (int x = 0; x < a.width(); x++)
      if (a.pixel(x, y) != b.pixel(x, y)) count++;
  return count;
}

TEST_F(CommandPanelTest, ReplacesThePlaceholderWithTheFormsFirstValues) {
  EXPECT_EQ(Control<QSlider>("Panel/Options/Perspective")->value(), 45);
  EXPECT_EQ(Control<QSlider>("Panel/Materials/Shininess")->value(), 100);
  EXPECT_EQ(Control<QSlider>("Panel/Polygon offset/Fill")->value(), -100);
  EXPECT_FALSE(Control<QSlider>("Panel/LOD/Level")->isEnabled());
  auto* presets = Control<QListWidget>("Panel/Materials/Predefined");
  ASSERT_EQ(presets->count(), 19);
  EXPECT_EQ(presets->currentItem()->text(), "Black plastic");
  EXPECT_TRUE(Control<QCheckBox>("Panel/Options/Lighting")->isChecked());
  EXPECT_EQ(m_Frame->ActivePanel(m_pDoc), Panel());
  EXPECT_EQ(m_Frame->GetActiveCommandPanel(), Panel());
}

TEST_F(CommandPanelTest, ControlsChangeTheViewTheyBelongTo) {
  const QImage first = Grab();
  struct Row {
    const char* control;
    bool changesPicture;
  } rows[] = {
      {"Panel/Options/Background", true},
      {"Panel/Options/Wireframe", true},
      {"Panel/Options/Face", true},
      {"Panel/Options/Lighting", true},
      {"Panel/Options/Lighting", true},
      {"Panel/Materials/Diffuse", false},
      {"Panel/Normals/Show", true},
      {"Panel/Normals/Show", true},
      {"Panel/Options/Vertex", true},
      {"Panel/Options/Face", true},
      {"Panel/Options/Culling", false},
      {"Panel/Options/Culling", false},
      {"Panel/Options/Gouraud", true},
      {"Panel/Options/Antialiasing", false},
      {"Panel/Options/Add wireframe", true},
      {"Panel/Options/Global color", false},
      {"Panel/Options/Add wireframe", true},
      {"Panel/Sharp edges/Show", true},
      {"Panel/Sharp edges/Show", true},
      {"Panel/Textures/View", false},
      {"Panel/Lights/Ambient", true},
      {"Panel/Lights/Update", false},
      {"Panel/Materials/Emission", true},
      {"Panel/Camera/Add", false},
      {"Panel/Camera/Move", false},
      {"Panel/Camera/Move", false},
      {"Panel/Camera/Init", false},
      {"Panel/Camera/Color", false},
      {"Panel/Camera/Remove", false},
      {"Panel/Scaling/Link", false},
      {"Panel/Options/Surface", true},
      {"Panel/Normals/Color", false},
      {"Panel/Lights/Diffuse", true},
      {"Panel/Lights/Specular", false},
      {"Panel/Materials/Ambient", false},
      {"Panel/Materials/Specular", false},
      {"Panel/LOD/Init", false},
      {"Panel/LOD/Restore", false},
      {"Panel/LOD/0", true},
      {"Panel/LOD/1", false},
      {"Panel/LOD/0", true},
  };
  QImage before = first;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.control);
    // each swatch gets a colour of its own
    m_Chosen = QColor(m_Chosen.green(), m_Chosen.blue(), m_Chosen.red());
    Click(row.control);
    QImage after = Grab();
    if (row.changesPicture) {
      EXPECT_GT(Differing(before, after), 50);
    }
    before = after;
  }
  EXPECT_EQ(m_pDoc->m_SceneGraph.NbObject(), 1);
  EXPECT_GT(Differing(first, before), 50);
}

TEST_F(CommandPanelTest, SlidersAndPresetListApplyWhatTheyShow) {
  const QImage plain = Grab();
  auto* presets = Control<QListWidget>("Panel/Materials/Predefined");
  QListWidgetItem* brass = presets->findItems("Brass", Qt::MatchExactly).value(0);
  ASSERT_NE(brass, nullptr);
  presets->scrollToItem(brass);
  QTest::mouseClick(presets->viewport(), Qt::LeftButton, Qt::NoModifier,
                    presets->visualItemRect(brass).center());
  Settle();
  auto* mesh = static_cast<CMesh3d*>(m_pDoc->m_SceneGraph.GetAt(0));
  EXPECT_FLOAT_EQ(mesh->m_Material.m_Diffuse[1], 0.268627f);
  EXPECT_EQ(Control<QSlider>("Panel/Materials/Shininess")->value(), 27);
  const QImage brassy = Grab();
  EXPECT_GT(Differing(plain, brassy), 50);

  // a slider moved by the keyboard sends every slider once
  auto* highlighting = Control<QSlider>("Panel/Highlighting/Size");
  highlighting->setFocus();
  QTest::keyClick(highlighting, Qt::Key_End);
  Settle();
  EXPECT_FLOAT_EQ(m_pDoc->m_HighlightSize, 1.0f);
  EXPECT_FLOAT_EQ(m_pDoc->m_FillOffset, -5.0f);
  EXPECT_FLOAT_EQ(mesh->m_Material.m_Shininess, 27.0f);

  auto* perspective = Control<QSlider>("Panel/Options/Perspective");
  perspective->setValue(90);
  Settle();
  EXPECT_DOUBLE_EQ(View()->State().m_FieldOfView, 90.0);
  EXPECT_GT(Differing(brassy, Grab()), 50);

  // the spin timer follows "Rotation" and the Speed slider
  Click("Panel/Animation/Rotation");
  EXPECT_TRUE(View()->IsTimerActive(CRenderView::kSpinTimer));
  Control<QSlider>("Panel/Animation/Speed")->setValue(20);
  Settle();
  EXPECT_EQ(View()->TimerInterval(CRenderView::kSpinTimer), 50);
  Click("Panel/Animation/Rotation");
  EXPECT_FALSE(View()->IsTimerActive(CRenderView::kSpinTimer));
}

TEST_F(CommandPanelTest, CameraMarksAndMetafileButtonsRunOnTheirDocument) {
  // a copy of the sample, so that the metafile lands beside it in a folder
  // of the test
  const QString copy = QDir(SettingsFolder()).filePath("marked.wrl");
  QFile::remove(copy);
  ASSERT_TRUE(QFile::copy(SamplePath(), copy));
  ASSERT_TRUE(m_Frame->OpenFile(copy));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(View()));
  Settle();
  COrvexDoc* doc = m_Frame->ActiveDocument();
  ASSERT_NE(doc, m_pDoc);
  auto* mesh = static_cast<CMesh3d*>(doc->m_SceneGraph.GetAt(0));
  const int faces = mesh->NbFace();

  Click("Panel/Camera/Add");
  ASSERT_EQ(doc->m_SceneGraph.NbObject(), 2);
  struct Row {
    const char* control;
    int seenFlag; // flag of the faces the camera sees afterwards
  } rows[] = {
      {"Panel/Camera/Camera view", 2},
      {"Panel/Camera/Silhouette", 0},
      {"Panel/Camera/Twice", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.control);
    Click(row.control);
    EXPECT_EQ(mesh->NbFaceWithFlag(2) > 0, row.seenFlag == 2);
  }

  // "Forward" takes the checks as they stand
  QCheckBox* silhouette = nullptr;
  for (QCheckBox* box : Panel()->findChildren<QCheckBox*>())
    if (box->text() == "Silhouette") silhouette = box;
  ASSERT_NE(silhouette, nullptr);
  Click(silhouette);
  EXPECT_FALSE(silhouette->isChecked());
  Click("Panel/Camera/Forward");
  EXPECT_GT(mesh->NbFace(), faces);
  EXPECT_EQ(Panel()->State().m_bSilhouetteMarking, 0);

  Click("Panel/LOD/Metafile");
  EXPECT_TRUE(QFile::exists(QDir(SettingsFolder()).filePath("metafile.svg")));
}

TEST_F(CommandPanelTest, TextureEditShowsWhatLoadReads) {
  CTexture image;
  ASSERT_TRUE(image.Alloc(16, 8, 24));
  image.Fill(10, 200, 30);
  const QString file = QDir(SettingsFolder()).filePath("panel.bmp");
  ASSERT_TRUE(image.WriteBmp(file.toStdString()));

  Click("Panel/Textures/Edit...");
  auto* dialog = Panel()->findChild<CTextureEditDialog*>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  auto* preview = dialog->findChild<QLabel*>("preview");
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->pixmap().isNull());

  dialog->m_ChooseFile = [file] { return file; };
  QTest::mouseClick(dialog->findChild<QPushButton*>("load"), Qt::LeftButton);
  Settle();
  auto* mesh = static_cast<CMesh3d*>(m_pDoc->m_SceneGraph.GetAt(0));
  ASSERT_GE(mesh->m_IndexTexture, 0);
  EXPECT_EQ(m_pDoc->m_SceneGraph.GetTexture(mesh->m_IndexTexture)->GetWidth(), 16u);
  ASSERT_FALSE(preview->pixmap().isNull());
  // the preview keeps the texture's proportions and colour
  const QImage shown = preview->pixmap().toImage();
  EXPECT_EQ(shown.width(), 2 * shown.height());
  const QColor middle = shown.pixelColor(shown.width() / 2, shown.height() / 2);
  EXPECT_GT(middle.green(), middle.red());
  EXPECT_GT(middle.green(), middle.blue());
  dialog->accept();
  Settle();
}

} // namespace
} // namespace orvex::test
