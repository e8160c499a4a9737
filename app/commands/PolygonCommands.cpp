// Quad and polygon meshes: "&Algorithms/Mesh conversion", the quad-mesh
// subdivisions, "&Predefined" and "File/Export/Quad mesh...". The work is
// in processing/PolygonCommands.cpp; these handlers read the dialogs and
// show the outcome.

#include "processing/PolygonCommands.h"
#include <cstdio>

#include "app/Dialogs.h"
#include "app/commands/Handlers.h"
#include "geometry/QuadMesh.h"
#include "io/HeightFieldImage.h"
#include "io/Texture.h"
#include "io/WriteObjPolygons.h"

namespace orvex {

namespace {

CommandResult TriangleToQuad(CCommandContext& context) {
  return ShowOutcome(context, CommandTriangleToQuad(Scene(context)));
}

CommandResult PolygonToStar(CCommandContext& context) {
  return ShowOutcome(context, CommandPolygonToTriangles(Scene(context), false));
}

CommandResult PolygonToRegular(CCommandContext& context) {
  return ShowOutcome(context, CommandPolygonToTriangles(Scene(context), true));
}

CommandResult PolygonToQuads(CCommandContext& context) {
  context.ui.StatusMessage("Convert polygons to quad and triangles....");
  return ShowOutcome(context, CommandPolygonToQuadsAndTriangles(Scene(context)));
}

CommandResult TriangleToPolygon(CCommandContext& context) {
  context.ui.StatusMessage("Triangle to polygon....");
  return ShowOutcome(context, CommandTriangleToPolygon(Scene(context)));
}

CommandResult QuadToPolygon(CCommandContext& context) {
  context.ui.StatusMessage("Quad to polygon....");
  return ShowOutcome(context, CommandQuadToPolygon(Scene(context)));
}

CommandResult SubdivideQuads(CCommandContext& context, bool kobbelt) {
  CSubdivisionOutcome outcome = CommandQuadSubdivision(Scene(context), kobbelt);
  if (outcome.changed) {
    char seconds[64];
    std::snprintf(seconds, sizeof seconds, ", %g s...", context.ElapsedSeconds());
    outcome.status += seconds;
  }
  return ShowOutcome(context, outcome);
}

CommandResult CatmullClark(CCommandContext& context) {
  return SubdivideQuads(context, false);
}

CommandResult Kobbelt(CCommandContext& context) {
  return SubdivideQuads(context, true);
}

CommandResult QuadBox(CCommandContext& context) {
  return ShowOutcome(context, CommandQuadBox(Scene(context)));
}

CommandResult Mushroom(CCommandContext& context) {
  CMushroomParams params;
  params.StemRadius = context.params.Real("Stem radius");
  params.StemHeight = context.params.Real("Stem height");
  params.CapRadius = context.params.Real("Cap radius");
  params.CapHeight = context.params.Real("Cap height");
  params.Steps = context.params.Integer("Steps");
  return ShowOutcome(context, CommandMushroom(Scene(context), params));
}

CommandResult Tetrahedron(CCommandContext& context) {
  return ShowOutcome(context, CommandTetrahedron(Scene(context)));
}

CommandResult Box(CCommandContext& context) {
  return ShowOutcome(context, CommandBox(Scene(context)));
}

CommandResult Map(CCommandContext& context, bool peaks) {
  const ParamValues& p = context.params;
  return ShowOutcome(context, CommandMap(Scene(context), p.Integer("nx"), p.Integer("nz"),
                                         static_cast<float>(p.Real("Min")),
                                         static_cast<float>(p.Real("Max")), peaks));
}

CommandResult CosineMap(CCommandContext& context) {
  return Map(context, false);
}

CommandResult PeaksMap(CCommandContext& context) {
  return Map(context, true);
}

// The image of the "Image file" field, or the one an open dialog gives.
CommandResult MapFromImage(CCommandContext& context) {
  std::string path = context.params.Text(kImageFileField);
  if (path.empty() && !context.ui.AskOpenFileName(path)) return CommandResult::Cancelled;
  CTexture texture;
  std::string error;
  if (!ReadHeightFieldImage(path, texture, error)) {
    context.ui.ShowMessage(error);
    return CommandResult::Failed;
  }
  const ParamValues& p = context.params;
  return ShowOutcome(context, CommandMapFromImage(Scene(context), texture, p.Integer("Width"),
                                                  p.Integer("Height"), p.Check("Use color"),
                                                  p.Check("Quad mesh"), kMapFromImageYRange));
}

// The first quad mesh, to the file of the "File name" field.
CommandResult ExportQuadMesh(CCommandContext& context) {
  COrvexDoc& doc = *context.doc;
  CObject3d* object = doc.m_SceneGraph.FindObjectOfType(TYPE_QUAD_MESH);
  if (!object) return NoMesh(context);
  const std::string path = doc.OutputPath(context.params.Text("File name"));
  std::string error;
  if (!WriteQuadMeshFile(*static_cast<CQuadMesh*>(object), path, error)) {
    context.ui.ShowMessage(error);
    return CommandResult::Failed;
  }
  context.ReportFileWritten(path);
  return CommandResult::Done;
}

} // namespace

std::vector<CommandBinding> PolygonCommands() {
  // conversions replace objects (and with the first mesh gone the
  // highlight indices start again); subdivisions move and add vertices (a
  // refusal puts back the recorded copy of the scene: objects too)
  constexpr Effects kReplaces = kEffectObjects | kEffectPositions | kEffectNormals |
                                kEffectTopology | kEffectAttributes | kEffectDisplay;
  constexpr Effects kRefines = kEffectObjects | kEffectPositions | kEffectNormals | kEffectTopology;
  return {
      {kMenuTriangleToQuad, TriangleToQuad, kReplaces},
      {kMenuPolygonToStar, PolygonToStar, kReplaces},
      {kMenuPolygonToRegular, PolygonToRegular, kReplaces},
      {kMenuPolygonToQuads, PolygonToQuads, kRefines},
      {kMenuTriangleToPolygon, TriangleToPolygon, kReplaces},
      {kMenuQuadToPolygon, QuadToPolygon, kReplaces},
      {kMenuCatmullClark, CatmullClark, kRefines},
      {kMenuKobbelt, Kobbelt, kRefines},
      {kMenuQuadBox, QuadBox, kReplaces},
      CommandBinding(kMenuMushroom, Mushroom, kReplaces)
          .Dialog({CMushroomParams::kTitle,
                   {RealParam("Stem radius", 0.3, 0.001, 1000.0),
                    RealParam("Stem height", 1.0, 0.001, 1000.0),
                    RealParam("Cap radius", 1.0, 0.001, 1000.0),
                    RealParam("Cap height", 0.5, 0.001, 1000.0), IntegerParam("Steps", 2, 0, 6)},
                   {}}),
      {"&Predefined/Quadrilateral", Tetrahedron, kReplaces},
      {"&Predefined/&Box", Box, kReplaces},
      {"&Predefined/&Map...", CosineMap, kReplaces},
      {"&Predefined/&Peaks map...", PeaksMap, kReplaces},
      {"&Predefined/Map from image...", MapFromImage, kReplaces},
      CommandBinding("&File/Export/Quad mesh...", ExportQuadMesh, kEffectFiles, Redraw::None)
          .Dialog({"Quad mesh", {TextParam("File name", "mesh.quad")}, {}}),
  };
}

} // namespace orvex
