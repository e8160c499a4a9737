// Mode and Textures commands: they record the display state on the
// document; every render view of the document applies it to its own
// context when it draws (COrvexDoc::glApplyDisplayState).

#include "app/DisplaySwitches.h"
#include "app/MaterialPresets.h"
#include "app/commands/Handlers.h"
#include "geometry/Mesh3d.h"

namespace orvex {

static CommandResult ShadeFilled(CCommandContext& context, int flat) {
  COrvexDisplayState& display = context.doc->m_Display;
  display.m_PolygonMode = COrvexDisplayState::Fill;
  display.m_PanelVertex = 0;
  display.m_PanelWireframe = 0;
  display.m_PanelFace = 1;
  SetSmoothShading(*context.doc, flat ? 0 : 1);
  return CommandResult::Done;
}

static CommandResult Line(CCommandContext& context) {
  COrvexDisplayState& display = context.doc->m_Display;
  display.m_PolygonMode = COrvexDisplayState::Line;
  display.m_PanelVertex = 0;
  display.m_PanelWireframe = 1;
  display.m_PanelFace = 0;
  return CommandResult::Done;
}

static CommandResult ToggleLight(CCommandContext& context) {
  context.doc->m_bLighting = !context.doc->m_bLighting;
  return CommandResult::Done;
}

static CommandResult ToggleHighlightFace(CCommandContext& context) {
  COrvexDoc& doc = *context.doc;
  doc.m_bHighlightFace = !doc.m_bHighlightFace;
  if (doc.m_bHighlightFace) doc.m_HighlightFaceIndex = 0;
  return CommandResult::Done;
}

static CommandResult ToggleHighlightVertex(CCommandContext& context) {
  COrvexDoc& doc = *context.doc;
  doc.m_bHighlightVertex = !doc.m_bHighlightVertex;
  if (doc.m_bHighlightVertex) doc.m_HighlightVertexIndex = 0;
  return CommandResult::Done;
}

static CommandResult ViewTextures(CCommandContext& context) {
  context.doc->m_Display.m_bTexture2D = 1;
  context.doc->m_Display.m_bTexture2DOff = 0;
  return CommandResult::Done;
}

// Mode/Material: the preset on every triangle mesh and quad mesh, the
// command panel left as it is.
static CommandBinding MaterialCommand(const char* name) {
  return CommandBinding(
             std::string("Mode/Material/") + name,
             [name](CCommandContext& context) {
               const CMaterialPreset* preset = FindMaterialPreset(name);
               return preset && ApplyMaterialPreset(*preset, context.doc->m_SceneGraph)
                          ? CommandResult::Done
                          : CommandResult::NothingDone;
             },
             kEffectMaterials)
      .KeepsDisplayLists();
}

std::vector<CommandBinding> ModeCommands() {
  // Flat and Gouraud also switch every mesh between face and vertex normals
  return {
      {"Mode/Flat", [](CCommandContext& c) { return ShadeFilled(c, 1); },
       kEffectDisplay | kEffectAttributes},
      {"Mode/Gouraud", [](CCommandContext& c) { return ShadeFilled(c, 0); },
       kEffectDisplay | kEffectAttributes},
      {"Mode/Line", Line, kEffectDisplay},
      CommandBinding("Mode/Light", ToggleLight, kEffectDisplay).Checked([](const COrvexDoc& d) {
        return d.m_bLighting != 0;
      }),
      CommandBinding("Mode/Highlight/Face", ToggleHighlightFace, kEffectDisplay)
          .Checked([](const COrvexDoc& d) { return d.m_bHighlightFace != 0; }),
      CommandBinding("Mode/Highlight/Vertex", ToggleHighlightVertex, kEffectDisplay)
          .Checked([](const COrvexDoc& d) { return d.m_bHighlightVertex != 0; }),
      {"Textures/View", ViewTextures, kEffectDisplay},
      MaterialCommand("Brass"),
      MaterialCommand("Pewter"),
      MaterialCommand("Light blue"),
  };
}

} // namespace orvex
