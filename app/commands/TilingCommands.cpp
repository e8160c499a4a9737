// "&Algorithms/Surface tiling": Build... tiles the first mesh (and the
// levels generated from it), Optimize nodal positions... relaxes the tiling
// at object 1.

#include "processing/TilingCommands.h"
#include "app/commands/Handlers.h"

namespace orvex {

static CommandResult TilingBuild(CCommandContext& context) {
  CTilingParams params;
  params.VertexSeed = context.params.Integer("Vertex seed");
  params.Split = context.params.Check("Split polygons");
  params.MultiMesh = context.params.Check("Multi-mesh");
  params.First = context.params.Integer("Multi-mesh (first)");
  params.Last = context.params.Integer("Multi-mesh (last)");
  params.RetainMin = context.params.Check("Retain min # tiles");
  params.GenerateMesh = context.params.Check("Generate mesh");
  params.Recursive = context.params.Check("Recursive mesh");
  params.Levels = context.params.Integer("Recursive mesh (levels)");
  CTilingReport report;
  CommandResult result = ShowOutcome(context, CommandTilingBuild(Scene(context), params, report));
  if (report.hasReport) context.ui.SetClipboardText(report.text);
  return result;
}

static CommandResult TilingOptimize(CCommandContext& context) {
  // the view follows each relaxation step
  auto repaint = [&context] { context.ui.RedrawNow(); };
  return ShowOutcome(context, CommandTilingOptimize(Scene(context), repaint));
}

std::vector<CommandBinding> TilingCommands() {
  // Build appends tilings and meshes and colours the source's faces;
  // optimizing moves the tiles of a tiling
  return {
      {kMenuTilingBuild, TilingBuild, kEffectObjects | kEffectAttributes},
      {kMenuTilingOptimize, TilingOptimize, kEffectPositions},
  };
}

} // namespace orvex
