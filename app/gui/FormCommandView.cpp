#include "app/gui/FormCommandView.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/OrvexDoc.h"
#include "app/gui/TextureEditDialog.h"

using orvex::PanelColor;
using orvex::PanelSlider;

namespace {

constexpr int kFormWidth = 190;

QString CommandName(const QString& group, const QString& label) {
  return QStringLiteral("Panel/") + group + "/" + label;
}

QVBoxLayout* LayoutOf(QGroupBox* group) {
  return static_cast<QVBoxLayout*>(group->layout());
}

// A row of the group: an optional label, then the widget.
void AddRow(QGroupBox* group, const QString& label, QWidget* widget) {
  if (label.isEmpty()) {
    LayoutOf(group)->addWidget(widget);
    return;
  }
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(label, group));
  row->addWidget(widget, 1);
  LayoutOf(group)->addLayout(row);
}

QColor ToQColor(PanelColor color) {
  return QColor(orvex::PanelRed(color), orvex::PanelGreen(color), orvex::PanelBlue(color));
}

} // namespace

CFormCommandView::CFormCommandView(COrvexDoc* doc, QWidget* parent)
    : QScrollArea(parent), m_pDoc(doc) {
  setObjectName("commandPanel");
  m_ChooseColor = [this](QColor& color) {
    QColor chosen = QColorDialog::getColor(color, this);
    if (!chosen.isValid()) return false;
    color = chosen;
    return true;
  };
  auto* content = new QWidget(this);
  auto* form = new QVBoxLayout(content);
  BuildOptions(form);
  BuildView(form);
  BuildHelpers(form);
  BuildLightsAndMaterials(form);
  BuildLodAndCamera(form);
  form->addStretch(1);
  content->setMinimumWidth(kFormWidth);
  setWidget(content);
  setWidgetResizable(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Refresh();
}

void CFormCommandView::Request(const QString& command, const QStringList& sets) {
  if (!m_bRefreshing) emit CommandRequested(this, command, sets);
}

QGroupBox* CFormCommandView::NewGroup(QVBoxLayout* form, const QString& title) {
  auto* group = new QGroupBox(title);
  group->setLayout(new QVBoxLayout);
  form->addWidget(group);
  return group;
}

QPushButton* CFormCommandView::AddButton(QGroupBox* group, const QString& label,
                                         const QString& command) {
  auto* button = new QPushButton(label, group);
  button->setObjectName(command);
  connect(button, &QPushButton::clicked, this, [this, command] { Request(command); });
  AddRow(group, QString(), button);
  return button;
}

QAbstractButton* CFormCommandView::AddSwitch(QGroupBox* group, const QString& label,
                                             const QString& command, std::function<bool()> checked,
                                             bool radio) {
  QAbstractButton* button = radio ? static_cast<QAbstractButton*>(new QRadioButton(label, group))
                                  : static_cast<QAbstractButton*>(new QCheckBox(label, group));
  button->setObjectName(command);
  // the state shows what the command made of the click
  connect(button, &QAbstractButton::clicked, this, [this, command] {
    Request(command);
    Refresh();
  });
  m_Switches.push_back({button, std::move(checked)});
  AddRow(group, QString(), button);
  return button;
}

void CFormCommandView::AddSlider(QGroupBox* group, PanelSlider slider, bool showValue) {
  const orvex::PanelSliderLayout& control = orvex::SliderLayout(slider);
  auto* widget = new QSlider(Qt::Horizontal, group);
  const QString command = CommandName(control.group, control.label);
  widget->setObjectName(command);
  widget->setRange(control.min, control.max);
  widget->setValue(m_State.Position(slider));
  QLineEdit* value = nullptr;
  if (showValue) {
    value = new QLineEdit(group);
    value->setReadOnly(true);
    value->setMaximumWidth(50);
  }
  connect(widget, &QSlider::valueChanged, this, [this, command](int position) {
    Request(command, {QStringLiteral("Position=%1").arg(position)});
  });
  m_Sliders.push_back({slider, widget, value});
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(control.label, group));
  row->addWidget(widget, 1);
  if (value) row->addWidget(value);
  LayoutOf(group)->addLayout(row);
}

void CFormCommandView::AddSwatch(QGroupBox* group, const QString& label, const QString& command,
                                 std::function<PanelColor()> color) {
  auto* button = new QPushButton(group);
  button->setObjectName(command);
  button->setFixedSize(40, 18);
  connect(button, &QPushButton::clicked, this, [this, command, color] {
    QColor chosen = ToQColor(color());
    if (!m_ChooseColor(chosen)) return;
    const PanelColor value = orvex::PanelRgb(chosen.red(), chosen.green(), chosen.blue());
    Request(command, {"Color=" + QString::fromStdString(orvex::PanelColorText(value))});
  });
  m_Swatches.push_back({button, std::move(color)});
  AddRow(group, label, button);
}

QLineEdit* CFormCommandView::AddField(QGroupBox* group, const QString& label, const QString& text) {
  auto* edit = new QLineEdit(text, group);
  AddRow(group, label, edit);
  return edit;
}

void CFormCommandView::BuildOptions(QVBoxLayout* form) {
  COrvexDoc* doc = m_pDoc;
  QGroupBox* g = NewGroup(form, "Options");
  const QString o = "Options";
  AddSwatch(g, "Background", CommandName(o, "Background"),
            [this] { return m_State.m_BackgroundColor; });
  AddSwatch(g, "Surface", CommandName(o, "Surface"), [this] { return m_State.m_SurfaceColor; });
  auto* ramp = new QListWidget(g);
  ramp->setObjectName(CommandName(o, "Ramp"));
  for (const std::string& name : orvex::PanelRampNames())
    ramp->addItem(QString::fromStdString(name));
  ramp->setMaximumHeight(60);
  ramp->setCurrentRow(0);
  connect(ramp, &QListWidget::currentTextChanged, this,
          [this, o](const QString& name) { Request(CommandName(o, "Ramp"), {"Ramp=" + name}); });
  AddRow(g, "Ramp", ramp);
  AddSwitch(g, "Lighting", CommandName(o, "Lighting"), [doc] { return doc->m_bLighting != 0; });
  AddSwitch(g, "Gouraud", CommandName(o, "Gouraud"),
            [doc] { return doc->m_Display.m_PanelGouraud != 0; });
  AddSwitch(g, "Antialiasing", CommandName(o, "Antialiasing"),
            [doc] { return doc->m_Display.m_bAntialiasing != 0; });
  AddSwitch(g, "Culling", CommandName(o, "Culling"),
            [doc] { return doc->m_Display.m_bCulling != 0; });
  AddSwitch(
      g, "Vertex", CommandName(o, "Vertex"), [doc] { return doc->m_Display.m_PanelVertex != 0; },
      true);
  AddSwitch(
      g, "Wireframe", CommandName(o, "Wireframe"),
      [doc] { return doc->m_Display.m_PanelWireframe != 0; }, true);
  AddSwitch(
      g, "Face", CommandName(o, "Face"), [doc] { return doc->m_Display.m_PanelFace != 0; }, true);
  AddSwitch(g, "Add wireframe", CommandName(o, "Add wireframe"),
            [doc] { return doc->m_bWireframeOverlay != 0; });
  AddSwitch(g, "Global color", CommandName(o, "Global color"),
            [doc] { return doc->m_bGlobalColorOverlay != 0; });
  AddSlider(g, PanelSlider::LineWidth);
  AddSlider(g, PanelSlider::Perspective);
}

void CFormCommandView::BuildView(QVBoxLayout* form) {
  QGroupBox* animation = NewGroup(form, "Animation");
  m_pSteps = AddField(animation, "Steps (x,y,z)", "0 5 0");
  auto* rotation = new QCheckBox("Rotation", animation);
  rotation->setObjectName(CommandName("Animation", "Rotation"));
  connect(rotation, &QCheckBox::clicked, this, [this] {
    Request(CommandName("Animation", "Rotation"), {"Steps (x,y,z)=" + m_pSteps->text()});
    Refresh();
  });
  m_Switches.push_back({rotation, [this] { return m_State.m_bRotation != 0; }});
  AddRow(animation, QString(), rotation);
  AddSlider(animation, PanelSlider::Speed);

  QGroupBox* scaling = NewGroup(form, "Scaling");
  AddSlider(scaling, PanelSlider::ScaleX);
  AddSlider(scaling, PanelSlider::ScaleY);
  AddSlider(scaling, PanelSlider::ScaleZ);
  AddSwitch(scaling, "Link", CommandName("Scaling", "Link"),
            [this] { return m_State.m_bLink != 0; });

  QGroupBox* offset = NewGroup(form, "Polygon offset");
  AddSlider(offset, PanelSlider::LineOffset, true);
  AddSlider(offset, PanelSlider::FillOffset, true);

  QGroupBox* highlighting = NewGroup(form, "Highlighting");
  AddSlider(highlighting, PanelSlider::Highlighting);
}

void CFormCommandView::BuildHelpers(QVBoxLayout* form) {
  QGroupBox* normals = NewGroup(form, "Normals");
  AddSwitch(normals, "Show", CommandName("Normals", "Show"),
            [this] { return m_State.m_bNormalsShown != 0; });
  AddSlider(normals, PanelSlider::NormalsScale);
  AddSwatch(normals, "Color", CommandName("Normals", "Color"),
            [this] { return m_State.m_VectorColor; });

  QGroupBox* sharp = NewGroup(form, "Sharp edges");
  m_pThreshold = AddField(sharp, "Threshold", "0.5");
  auto* show = new QCheckBox("Show", sharp);
  show->setObjectName(CommandName("Sharp edges", "Show"));
  connect(show, &QCheckBox::clicked, this, [this] {
    Request(CommandName("Sharp edges", "Show"), {"Threshold=" + m_pThreshold->text()});
    Refresh();
  });
  m_Switches.push_back({show, [this] { return m_State.m_bSharpEdgesShown != 0; }});
  AddRow(sharp, QString(), show);
  AddSlider(sharp, PanelSlider::SharpOffset, true);

  QGroupBox* textures = NewGroup(form, "Textures");
  AddSwitch(textures, "View", CommandName("Textures", "View"),
            [this] { return m_State.m_bTextures != 0; });
  // the dialog loads through the panel's command, then shows the result
  auto* edit = new QPushButton("Edit...", textures);
  edit->setObjectName(CommandName("Textures", "Edit..."));
  connect(edit, &QPushButton::clicked, this, [this] {
    auto* dialog = new CTextureEditDialog(
        *m_pDoc,
        [this](const QString& file) {
          Request(CommandName("Textures", "Edit..."), {"File=" + file});
        },
        this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
  });
  AddRow(textures, QString(), edit);
}

void CFormCommandView::BuildLightsAndMaterials(QVBoxLayout* form) {
  QGroupBox* lights = NewGroup(form, "Lights");
  const QString l = "Lights";
  AddSwatch(lights, "Ambient", CommandName(l, "Ambient"),
            [this] { return m_State.m_LightAmbient; });
  AddSwatch(lights, "Diffuse", CommandName(l, "Diffuse"),
            [this] { return m_State.m_LightDiffuse; });
  AddSwatch(lights, "Specular", CommandName(l, "Specular"),
            [this] { return m_State.m_LightSpecular; });
  m_pLightIndex = AddField(lights, "Index", "0");
  m_pLightPosition = AddField(lights, "Position", "0 0 1 0");
  m_pLightDirection = AddField(lights, "Direction", "0 0 -1");
  auto* update = new QPushButton("Update", lights);
  update->setObjectName(CommandName(l, "Update"));
  connect(update, &QPushButton::clicked, this, [this, l] {
    Request(CommandName(l, "Update"),
            {"Index=" + m_pLightIndex->text(), "Position (x y z w)=" + m_pLightPosition->text(),
             "Direction (x y z)=" + m_pLightDirection->text()});
  });
  AddRow(lights, QString(), update);

  QGroupBox* materials = NewGroup(form, "Materials");
  const QString m = "Materials";
  AddSwatch(materials, "Ambient", CommandName(m, "Ambient"),
            [this] { return m_State.m_MaterialAmbient; });
  AddSwatch(materials, "Diffuse", CommandName(m, "Diffuse"),
            [this] { return m_State.m_MaterialDiffuse; });
  AddSwatch(materials, "Specular", CommandName(m, "Specular"),
            [this] { return m_State.m_MaterialSpecular; });
  AddSwatch(materials, "Emission", CommandName(m, "Emission"),
            [this] { return m_State.m_MaterialEmission; });
  AddSlider(materials, PanelSlider::Shininess);
  m_pPresets = new QListWidget(materials);
  m_pPresets->setObjectName(CommandName(m, "Predefined"));
  for (const std::string& name : m_State.m_Presets)
    m_pPresets->addItem(QString::fromStdString(name));
  m_pPresets->setMinimumHeight(120);
  // the first entry is selected, not applied
  m_bRefreshing = true;
  m_pPresets->setCurrentRow(0);
  m_bRefreshing = false;
  connect(m_pPresets, &QListWidget::itemClicked, this, [this, m](QListWidgetItem* item) {
    Request(CommandName(m, "Predefined"), {"Name=" + item->text()});
  });
  AddRow(materials, "Predefined", m_pPresets);
}

void CFormCommandView::BuildLodAndCamera(QVBoxLayout* form) {
  QGroupBox* lod = NewGroup(form, "LOD");
  AddButton(lod, "Init", CommandName("LOD", "Init"));
  AddSlider(lod, PanelSlider::Lod);
  m_pLodName = new QLabel(lod);
  m_pLodFaces = new QLabel(lod);
  m_pLodIndex = new QLabel(lod);
  AddRow(lod, "Name", m_pLodName);
  AddRow(lod, "Faces", m_pLodFaces);
  AddRow(lod, "Index", m_pLodIndex);
  AddButton(lod, "Restore", CommandName("LOD", "Restore"));
  AddButton(lod, "0", CommandName("LOD", "0"));
  AddButton(lod, "1", CommandName("LOD", "1"));
  AddButton(lod, "Metafile", CommandName("LOD", "Metafile"));

  QGroupBox* camera = NewGroup(form, "Camera");
  const QString c = "Camera";
  AddButton(camera, "Add", CommandName(c, "Add"));
  AddButton(camera, "Remove", CommandName(c, "Remove"));
  AddSwitch(camera, "Move", CommandName(c, "Move"), [this] { return m_State.m_bCameraMove != 0; });
  AddButton(camera, "Init", CommandName(c, "Init"));
  AddSlider(camera, PanelSlider::Opening);
  AddSwatch(camera, "Color", CommandName(c, "Color"), [this] { return m_State.m_CameraColor; });
  // the marks "Forward" uses: its fields, kept by the panel
  auto* marking = new QCheckBox("Camera", camera);
  auto* silhouette = new QCheckBox("Silhouette", camera);
  connect(marking, &QCheckBox::clicked, this,
          [this](bool on) { m_State.m_bCameraMarking = on ? 1 : 0; });
  connect(silhouette, &QCheckBox::clicked, this,
          [this](bool on) { m_State.m_bSilhouetteMarking = on ? 1 : 0; });
  m_Switches.push_back({marking, [this] { return m_State.m_bCameraMarking != 0; }});
  m_Switches.push_back({silhouette, [this] { return m_State.m_bSilhouetteMarking != 0; }});
  AddRow(camera, QString(), marking);
  AddRow(camera, QString(), silhouette);
  // the checks go with "Forward" as its fields
  auto* forward = new QPushButton("Forward", camera);
  forward->setObjectName(CommandName(c, "Forward"));
  connect(forward, &QPushButton::clicked, this, [this, c] {
    auto on = [](int check) { return QString(check ? "on" : "off"); };
    Request(CommandName(c, "Forward"), {"Camera=" + on(m_State.m_bCameraMarking),
                                        "Silhouette=" + on(m_State.m_bSilhouetteMarking)});
  });
  AddRow(camera, QString(), forward);
  for (const char* label : {"Silhouette", "Camera view", "Twice"})
    AddButton(camera, label, CommandName(c, label));
}

void CFormCommandView::Refresh() {
  m_bRefreshing = true;
  for (const SwitchRow& row : m_Switches) row.widget->setChecked(row.checked());
  for (const SwatchRow& row : m_Swatches)
    row.widget->setStyleSheet(
        QStringLiteral("background-color: %1").arg(ToQColor(row.color()).name()));
  for (const SliderRow& row : m_Sliders) {
    if (row.slider == PanelSlider::Lod) row.widget->setRange(0, m_State.m_LodMax);
    row.widget->setValue(m_State.Position(row.slider));
    row.widget->setEnabled(m_State.IsEnabled(row.slider));
    if (row.value) row.value->setText(QString::fromStdString(m_State.ValueText(row.slider)));
  }
  if (m_pPresets) m_pPresets->setCurrentRow(m_State.m_PresetSelection);
  if (m_State.m_LodMode) {
    m_pLodName->setText(QString::fromStdString(m_State.m_LodName));
    m_pLodFaces->setText(QString::number(m_State.m_LodFaces));
    m_pLodIndex->setText(QString::number(m_State.Position(PanelSlider::Lod)));
  }
  m_bRefreshing = false;
}
