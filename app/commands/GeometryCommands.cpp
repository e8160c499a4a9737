// Geometry/Properties... and Geometry/Range..., and Help/About: the data and
// texts of their dialogs. The Qt program shows hand-made dialogs filled from
// the same values; the Apply buttons of "Range" run the command again with
// the edited fields (fields left as they are change nothing).

#include <cstdio>

#include "app/commands/Handlers.h"
#include "geometry/Mesh3d.h"

namespace orvex {

static const char* const kAxisNames[3] = {"X", "Y", "Z"};

static std::string FieldName(const char* prefix, int axis, const char* suffix) {
  return std::string(prefix) + kAxisNames[axis] + suffix;
}

static std::string ExactFloat(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "%.9g", static_cast<double>(value));
  return buffer;
}

std::string PropertiesText(const COrvexDoc& doc, int index) {
  CObjectProperties properties = doc.GetObjectProperties(index);
  char text[256];
  std::snprintf(text, sizeof(text),
                "Nb. objects : %d\nObject : %d\nType : %d (%s)\nVertices : %d\nFaces : %d",
                doc.m_SceneGraph.NbObject(), index, properties.m_Type,
                properties.m_TypeName.c_str(), properties.m_NbVertex, properties.m_NbFace);
  return text;
}

static CommandResult ShowProperties(CCommandContext& context) {
  const COrvexDoc& doc = *context.doc;
  int index = context.params.Integer("Object");
  if (index < 0 || index >= doc.m_SceneGraph.NbObject()) {
    context.ui.ShowMessage("Nb. objects : " + std::to_string(doc.m_SceneGraph.NbObject()),
                           "Properties");
    return index == 0 ? CommandResult::NothingDone : CommandResult::Failed;
  }
  context.ui.ShowMessage(PropertiesText(doc, index), "Properties");
  return CommandResult::NothingDone;
}

static std::vector<ParamField> RangeFields() {
  std::vector<ParamField> fields;
  for (int axis = 0; axis < 3; axis++) {
    fields.push_back(RealParam(FieldName("", axis, " min"), 0.0));
    fields.push_back(RealParam(FieldName("", axis, " max"), 0.0));
  }
  for (int axis = 0; axis < 3; axis++)
    fields.push_back(RealParam(FieldName("Offset ", axis, ""), 0));
  for (int axis = 0; axis < 3; axis++)
    fields.push_back(RealParam(FieldName("Scale ", axis, ""), 1));
  return fields;
}

static void RangeDefaults(const COrvexDoc& doc, ParamValues& values) {
  CMesh3d* mesh = doc.GetFirstMesh();
  if (!mesh) return;
  for (int axis = 0; axis < 3; axis++) {
    float min = 0.0f, max = 0.0f;
    mesh->Range(axis, &min, &max);
    values.SetDefault(FieldName("", axis, " min"), ExactFloat(min));
    values.SetDefault(FieldName("", axis, " max"), ExactFloat(max));
  }
}

// Range per axis where it differs from the current one, then the offsets,
// then the scales.
static CommandResult ApplyRange(CCommandContext& context) {
  CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  const ParamValues& p = context.params;
  for (int axis = 0; axis < 3; axis++) {
    float min = 0.0f, max = 0.0f;
    mesh->Range(axis, &min, &max);
    auto newMin = static_cast<float>(p.Real(FieldName("", axis, " min")));
    auto newMax = static_cast<float>(p.Real(FieldName("", axis, " max")));
    if (newMin != min || newMax != max) mesh->Range(axis, newMin, newMax);
  }
  for (int axis = 0; axis < 3; axis++) {
    double offset = p.Real(FieldName("Offset ", axis, ""));
    if (offset != 0.0) mesh->Translate(axis, offset);
  }
  for (int axis = 0; axis < 3; axis++) {
    double scale = p.Real(FieldName("Scale ", axis, ""));
    if (scale != 1.0) mesh->Scale(axis, scale);
  }
  mesh->CalculateNormalPerFace();
  mesh->CalculateNormalPerVertex();
  mesh->SetModified();
  return CommandResult::Done;
}

static CommandResult About(CCommandContext& context) {
  context.ui.ShowMessage("3d Orvexbox (version 3.0)", "About 3d Orvexbox");
  return CommandResult::NothingDone;
}

std::vector<CommandBinding> GeometryCommands() {
  return {
      CommandBinding("Geometry/Properties...", ShowProperties, kEffectNone, Redraw::None)
          .Dialog({"Properties", {IntegerParam("Object", 0, 0, 1e9)}, nullptr}),
      CommandBinding("Geometry/Range...", ApplyRange, kEffectPositions | kEffectNormals)
          .Dialog({"Range", RangeFields(), RangeDefaults}),
      {"Help/About Orvex...", About, kEffectNone, Redraw::None},
  };
}

} // namespace orvex
