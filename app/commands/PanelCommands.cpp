// The controls of the command panel, one command each, named "Panel/" +
// group + label and without a menu entry: the Qt panel dispatches them,
// the batch runner runs them on one panel state per document. Sliders take
// "Position", swatches "Color" as "#RRGGBB".

#include <sstream>

#include "app/CommandPanelState.h"
#include "app/Dialogs.h"
#include "app/DocumentHost.h"
#include "app/PanelActions.h"
#include "app/commands/Handlers.h"
#include "geometry/Mesh3d.h"
#include "processing/MetafileExport.h"

namespace orvex {
namespace {

constexpr const char* kPosition = "Position";
constexpr const char* kColor = "Color";
constexpr const char* kSteps = "Steps (x,y,z)";
constexpr const char* kThreshold = "Threshold";
constexpr const char* kName = "Name";
constexpr const char* kRamp = "Ramp";
constexpr const char* kIndex = "Index";
constexpr const char* kLightPosition = "Position (x y z w)";
constexpr const char* kLightDirection = "Direction (x y z)";
constexpr const char* kCameraMarks = "Camera";
constexpr const char* kFileField = "File";
constexpr const char* kSilhouetteMarks = "Silhouette";

// Reads `count` numbers separated by blanks; false when the text holds
// anything else or another count.
bool ReadNumbers(const std::string& text, float* out, int count) {
  std::istringstream in(text);
  for (int k = 0; k < count; k++)
    if (!(in >> out[k])) return false;
  std::string rest;
  return !(in >> rest);
}

// A handler that runs action on the panel, document, view and host of
// the command; a refused value fails with its message.
template <typename Action> CommandHandler OnPanel(Action action) {
  return [action](CCommandContext& context) {
    CCommandPanelState* panel =
        context.host && context.doc ? context.host->ActivePanelState(context.doc) : nullptr;
    if (!panel) return CommandResult::Unavailable;
    CPanelTarget target{*panel, *context.doc, context.host->ActiveViewState(context.doc),
                        context.host};
    return action(context, target) ? CommandResult::Done : CommandResult::NothingDone;
  };
}

// A command without a field.
template <typename Act> CommandHandler Simple(Act act) {
  return OnPanel([act](CCommandContext&, CPanelTarget& t) { return act(t); });
}

CommandResult RefusedValue(CCommandContext& context, const std::string& message) {
  context.ui.ShowMessage(message);
  return CommandResult::Failed;
}

// A swatch: its "Color" field, checked, then set.
template <typename Set> CommandHandler Swatch(Set set) {
  return [set](CCommandContext& context) {
    PanelColor color = 0;
    if (!ParsePanelColor(context.params.Text(kColor), color))
      return RefusedValue(context, "Color must be written #RRGGBB");
    return OnPanel([set, color](CCommandContext&, CPanelTarget& t) { return set(t, color); })(
        context);
  };
}

CommandDialog SwatchDialog(PanelColor initial) {
  return {"", {TextParam(kColor, PanelColorText(initial))}, {}};
}

CommandDialog SliderDialog(PanelSlider slider) {
  const PanelSliderLayout& layout = SliderLayout(slider);
  // the LOD slider's range follows the scene (Init sets it)
  const double max = slider == PanelSlider::Lod ? 1e9 : layout.max;
  return {"", {IntegerParam(kPosition, layout.initial, layout.min, max)}, {}};
}

CommandBinding SliderCommand(const std::string& name, PanelSlider slider, Effects extra = 0) {
  return CommandBinding(name, OnPanel([slider](CCommandContext& c, CPanelTarget& t) {
                          MoveSlider(t, slider, c.params.Integer(kPosition));
                          return 1;
                        }),
                        kEffectView | kEffectDisplay | kEffectMaterials | kEffectAttributes |
                            kEffectOverlay | extra)
      .Dialog(SliderDialog(slider))
      .KeepsDisplayLists()
      .WithoutUndoRecord();
}

std::string SliderName(PanelSlider slider) {
  const PanelSliderLayout& layout = SliderLayout(slider);
  return std::string("Panel/") + layout.group + "/" + layout.label;
}

CommandResult Rotation(CCommandContext& context) {
  float steps[3];
  if (!ReadNumbers(context.params.Text(kSteps), steps, 3))
    return RefusedValue(context, "Steps (x,y,z) takes three numbers");
  return OnPanel([&steps](CCommandContext&, CPanelTarget& t) { return ToggleRotation(t, steps); })(
      context);
}

CommandResult LightUpdate(CCommandContext& context) {
  float position[4], direction[3];
  if (!ReadNumbers(context.params.Text(kLightPosition), position, 4) ||
      !ReadNumbers(context.params.Text(kLightDirection), direction, 3))
    return RefusedValue(context, "Position takes four numbers, Direction three");
  const int index = context.params.Integer(kIndex);
  return OnPanel([&](CCommandContext&, CPanelTarget& t) {
    return UpdateLight(t, index, position, direction);
  })(context);
}

// "Metafile": the edges of the faces the view's camera sees, for the object
// the LOD slider selects.
CommandResult LodMetafile(CCommandContext& context) {
  CCommandPanelState* panel =
      context.host && context.doc ? context.host->ActivePanelState(context.doc) : nullptr;
  if (!panel) return CommandResult::Unavailable;
  CObject3d* object = context.doc->m_SceneGraph.GetAt(panel->Position(PanelSlider::Lod));
  CMesh3d* mesh =
      object && object->GetType() == TYPE_MESH3D ? static_cast<CMesh3d*>(object) : nullptr;
  return ExportMeshPicture(context, mesh, MetafileVariant::FrontFaceLines);
}

// Textures "Edit...": with a "File", reads it as the first object's texture;
// without one, says which texture the first object has.
CommandResult TextureEdit(CCommandContext& context) {
  const std::string file = context.params.Text(kFileField);
  if (file.empty()) {
    CPanelTexture texture;
    context.ui.SetStatusText(FirstObjectTexture(*context.doc, texture)
                                 ? texture.name + " " + std::to_string(texture.width) + " x " +
                                       std::to_string(texture.height)
                                 : std::string("No texture"));
    return CommandResult::NothingDone;
  }
  std::string error;
  CommandResult result = OnPanel([&](CCommandContext&, CPanelTarget& t) {
    return LoadFirstObjectTexture(t, file, error);
  })(context);
  if (!error.empty()) return RefusedValue(context, error);
  return result;
}

// The camera's marks: "Forward" refines them, the others colour them.
std::vector<CommandBinding> MarkingCommands() {
  const Effects refined = kEffectPositions | kEffectNormals | kEffectTopology | kEffectAttributes;
  auto colored = [](CameraMarks marks) {
    return Simple([marks](CPanelTarget& t) { return ColorCameraMarks(t, marks); });
  };
  return {
      CommandBinding("Panel/LOD/Metafile", LodMetafile, kEffectFiles | kEffectAttributes)
          .Dialog({"", {CommandLineParam(kExportFileField, kMetafileFile)}, {}}),
      CommandBinding("Panel/Textures/Edit...", TextureEdit, kEffectAttributes)
          .Dialog({"", {TextParam(kFileField, "")}, {}}),
      CommandBinding("Panel/Camera/Forward", OnPanel([](CCommandContext& c, CPanelTarget& t) {
                       return CameraForward(t, c.params.Check(kCameraMarks),
                                            c.params.Check(kSilhouetteMarks));
                     }),
                     refined)
          .Dialog({"", {CheckParam(kCameraMarks, true), CheckParam(kSilhouetteMarks, true)}, {}}),
      {"Panel/Camera/Silhouette", colored(CameraMarks::Silhouette), kEffectAttributes},
      {"Panel/Camera/Camera view", colored(CameraMarks::CameraView), kEffectAttributes},
      {"Panel/Camera/Twice", colored(CameraMarks::Twice), kEffectAttributes},
  };
}

std::vector<CommandBinding> SwitchCommands() {
  const Effects look = kEffectDisplay;
  auto keep = [](CommandBinding b) { return std::move(b).KeepsDisplayLists(); };
  return {
      keep({"Panel/Options/Antialiasing", Simple(ToggleAntialiasing), look}),
      {"Panel/Options/Gouraud", Simple(ToggleGouraud), look | kEffectAttributes},
      keep({"Panel/Options/Lighting", Simple(ToggleLighting), look}),
      keep({"Panel/Options/Vertex",
            Simple([](CPanelTarget& t) { return SetPolygonMode(t, PanelPolygonMode::Vertex); }),
            look}),
      keep({"Panel/Options/Wireframe",
            Simple([](CPanelTarget& t) { return SetPolygonMode(t, PanelPolygonMode::Wireframe); }),
            look}),
      keep({"Panel/Options/Face",
            Simple([](CPanelTarget& t) { return SetPolygonMode(t, PanelPolygonMode::Face); }),
            look}),
      keep({"Panel/Options/Culling", Simple(ToggleCulling), look}),
      keep({"Panel/Options/Add wireframe", Simple(ToggleWireframeOverlay), look}),
      keep({"Panel/Options/Global color", Simple(ToggleGlobalColor), look}),
      keep({"Panel/Textures/View", Simple(ToggleTextures), look}),
      CommandBinding("Panel/Animation/Rotation", Rotation, kEffectView, Redraw::None)
          .Dialog({"", {TextParam(kSteps, "0 5 0")}, {}})
          .KeepsDisplayLists(),
      CommandBinding("Panel/Scaling/Link", Simple(ToggleLink),
                     kEffectView | kEffectDisplay | kEffectMaterials | kEffectAttributes |
                         kEffectOverlay)
          .KeepsDisplayLists()
          .WithoutUndoRecord(),
      CommandBinding("Panel/Options/Ramp", OnPanel([](CCommandContext& c, CPanelTarget& t) {
                       return SetRamp(t, c.params.Choice(kRamp));
                     }),
                     kEffectNone, Redraw::None)
          .Dialog({"", {ChoiceParam(kRamp, PanelRampNames())}, {}}),
  };
}

std::vector<CommandBinding> SwatchCommands() {
  struct Row {
    const char* name;
    PanelColor initial;
    std::function<int(CPanelTarget&, PanelColor)> set;
    Effects effects;
  };
  using L = LightSwatch;
  using M = MaterialSwatch;
  const Row rows[] = {
      {"Panel/Options/Background", 0, SetBackground, kEffectView},
      {"Panel/Options/Surface", 0xFFFFFF, SetSurfaceColor, kEffectAttributes | kEffectDisplay},
      {"Panel/Normals/Color", 0x0000FF, SetNormalsColor, kEffectNone},
      {"Panel/Lights/Ambient", 0xB2B2B2,
       [](CPanelTarget& t, PanelColor c) { return SetLightColor(t, L::Ambient, c); },
       kEffectDisplay},
      {"Panel/Lights/Diffuse", 0xCCCCCC,
       [](CPanelTarget& t, PanelColor c) { return SetLightColor(t, L::Diffuse, c); },
       kEffectDisplay},
      {"Panel/Lights/Specular", 0xFFFFFF,
       [](CPanelTarget& t, PanelColor c) { return SetLightColor(t, L::Specular, c); },
       kEffectDisplay},
      {"Panel/Materials/Ambient", 0,
       [](CPanelTarget& t, PanelColor c) { return SetMaterialColor(t, M::Ambient, c); },
       kEffectMaterials},
      {"Panel/Materials/Diffuse", 0xC8C8C8,
       [](CPanelTarget& t, PanelColor c) { return SetMaterialColor(t, M::Diffuse, c); },
       kEffectMaterials},
      {"Panel/Materials/Specular", 0xC8C8C8,
       [](CPanelTarget& t, PanelColor c) { return SetMaterialColor(t, M::Specular, c); },
       kEffectMaterials},
      {"Panel/Materials/Emission", 0,
       [](CPanelTarget& t, PanelColor c) { return SetMaterialColor(t, M::Emission, c); },
       kEffectMaterials},
      {"Panel/Camera/Color", 0x00FFFF, SetCameraColor, kEffectObjects},
  };
  std::vector<CommandBinding> out;
  for (const Row& row : rows)
    out.push_back(CommandBinding(row.name, Swatch(row.set), row.effects)
                      .Dialog(SwatchDialog(row.initial))
                      .KeepsDisplayLists());
  return out;
}

std::vector<CommandBinding> ObjectCommands() {
  const Effects sets = kEffectObjects | kEffectOverlay;
  const Effects shown = kEffectAttributes;
  auto keep = [](CommandBinding b) { return std::move(b).KeepsDisplayLists(); };
  std::vector<std::string> presets = CCommandPanelState().m_Presets;
  return {
      keep({"Panel/Normals/Show", Simple(ToggleNormals), sets}),
      CommandBinding("Panel/Sharp edges/Show", OnPanel([](CCommandContext& c, CPanelTarget& t) {
                       return ToggleSharpEdges(t, c.params.Real(kThreshold));
                     }),
                     sets)
          .Dialog({"", {RealParam(kThreshold, 0.5)}, {}})
          .KeepsDisplayLists(),
      CommandBinding("Panel/Lights/Update", LightUpdate, kEffectDisplay)
          .Dialog({"",
                   {IntegerParam(kIndex, 0, 0, 7), TextParam(kLightPosition, "0 0 1 0"),
                    TextParam(kLightDirection, "0 0 -1")},
                   {}})
          .KeepsDisplayLists(),
      CommandBinding("Panel/Materials/Predefined", OnPanel([](CCommandContext& c, CPanelTarget& t) {
                       return SelectPreset(t, c.params.Text(kName));
                     }),
                     kEffectMaterials)
          .Dialog({"", {ChoiceParam(kName, presets)}, {}})
          .KeepsDisplayLists(),
      keep({"Panel/LOD/Init", Simple(LodInit), shown}),
      keep({"Panel/LOD/Restore", Simple(LodRestore), shown}),
      keep({"Panel/LOD/0", Simple([](CPanelTarget& t) { return ToggleObject(t, 0); }), shown}),
      keep({"Panel/LOD/1", Simple([](CPanelTarget& t) { return ToggleObject(t, 1); }), shown}),
      keep({"Panel/Camera/Add", Simple(CameraAdd), kEffectObjects}),
      keep({"Panel/Camera/Remove", Simple(CameraRemove), kEffectObjects}),
      keep({"Panel/Camera/Move", Simple(CameraMove), kEffectView}),
      keep({"Panel/Camera/Init", Simple(CameraInit), kEffectObjects}),
  };
}

} // namespace

std::vector<CommandBinding> PanelCommands() {
  std::vector<CommandBinding> all;
  for (int i = 0; i < kPanelSliderCount; i++) {
    const auto slider = static_cast<PanelSlider>(i);
    const bool movesObjects = slider == PanelSlider::Opening;
    all.push_back(SliderCommand(SliderName(slider), slider,
                                movesObjects ? Effects(kEffectObjects) : Effects(kEffectNone)));
  }
  for (auto family : {SwitchCommands, SwatchCommands, ObjectCommands, MarkingCommands})
    for (CommandBinding& binding : family()) all.push_back(std::move(binding));
  return all;
}

void RegisterPanelCommands(CCommandRegistry& registry) {
  for (const CommandBinding& binding : PanelCommands()) {
    CommandInfo info;
    info.name = binding.command;
    info.target = CommandTarget::Panel;
    info.menus = kMenuNone;
    registry.AddOrThrow(info);
  }
}

} // namespace orvex
