// The wavefront commands without a menu entry: "Unmeshing" (Ctrl+U) and
// "Remeshing" (Ctrl+B), on the first object of the document's scene.

#include "processing/UnmeshingCommands.h"

#include "app/commands/Handlers.h"
#include "processing/SceneMeshes.h"

namespace orvex {
namespace {

CWavefrontHooks Hooks(CCommandContext& context) {
  CWavefrontHooks hooks;
  hooks.redraw = [&context] { context.ui.RedrawNow(); };
  hooks.status = [&context](const std::string& text) { context.ui.SetStatusText(text); };
  return hooks;
}

CommandResult Unmeshing(CCommandContext& context) {
  if (!FirstMesh(Scene(context))) return NoMesh(context);
  const ParamValues& p = context.params;
  CUnmeshingParams params;
  params.SeedFace = p.Integer("Seed face");
  params.AlongUnmesh = p.Check("Unmesh (Along)");
  params.AlongDebug = p.Check("Debug (Along)");
  params.AlongPeriod = p.Integer("Period (Along)");
  params.Ratio = p.Real("Ratio");
  params.AcrossUnmesh = p.Check("Unmesh (Across)");
  params.AcrossDebug = p.Check("Debug (Across)");
  params.AcrossPeriod = p.Integer("Period (Across)");
  params.AcrossFirst = p.Check("Across first");
  params.CopyToScene = p.Check("Copy to scenegraph");
  params.ColorFaces = p.Check("Color faces from wavefront");
  params.SmoothGeomorph = p.Check("Smooth geomorph");
  return ShowOutcome(context, CommandUnmeshing(Scene(context), params, Hooks(context)));
}

CommandResult Remeshing(CCommandContext& context) {
  if (!FirstMesh(Scene(context))) return NoMesh(context);
  return ShowOutcome(context, CommandRemeshing(Scene(context), Hooks(context)));
}

} // namespace

std::vector<CommandBinding> UnmeshingCommands() {
  // merges and splits reconnect and move vertices, and leave their marks
  // in flags, tags and colours; the copy joins the scene
  constexpr Effects kRemeshes =
      kEffectPositions | kEffectNormals | kEffectTopology | kEffectAttributes;
  return {
      {"Unmeshing", Unmeshing, kRemeshes | kEffectObjects},
      {"Remeshing", Remeshing, kRemeshes},
  };
}

} // namespace orvex
