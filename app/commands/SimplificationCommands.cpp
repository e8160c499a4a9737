// "&Algorithms/Surface simplification": edge collapses, valence-3 removal,
// edge-based simplification, error accumulation, face collapses and the
// coarse-to-fine truncations, run on the document's scene.

#include "processing/SimplificationCommands.h"

#include "app/commands/Handlers.h"

namespace orvex {
namespace {

CommandResult EdgeCollapse(CCommandContext& context) {
  return ShowOutcome(context, CommandRandomEdgeCollapse(Scene(context), context.doc->Random()));
}

CommandResult IndependentCollapse(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  return ShowOutcome(context, CommandIndependentEdgeCollapse(Scene(context)));
}

CommandResult VertexRemovals(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  return ShowOutcome(context, CommandVertexRemovals(Scene(context)));
}

CommandResult EdgeBased(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  const ParamValues& p = context.params;
  CEdgeBasedParams params;
  params.Final = p.Integer("Final");
  params.Curveness = p.Choice("Edge length / Curveness");
  params.Combination = p.Check("Combination");
  params.OptimizedPosition = p.Check("Optimized position");
  params.CollapseBoundaries = p.Check("Collapse boundaries");
  params.SharpEdge = static_cast<float>(p.Real("Sharp edge"));
  params.AlphaInit = p.Real("Alpha init");
  params.AlphaStep = p.Real("Alpha step");
  params.Update = p.Check("Update");
  params.UpdateFrequency = p.Integer("Frequency (updating)");
  params.Save = p.Check("Save");
  params.SaveFrequency = p.Integer("Frequency (intermediate file)");

  std::string path;
  if (params.Save && !AskIntermediateFile(context, path)) return CommandResult::Cancelled;
  CommandResult result =
      ShowOutcome(context, CommandEdgeBased(Scene(context), params, path, RedrawHooks(context)));
  if (params.Save && result == CommandResult::Done) context.ReportFileWritten(path);
  return result;
}

CommandResult ErrorAccumulationCommand(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  std::string clipboard;
  CommandResult result =
      ShowOutcome(context, CommandErrorAccumulation(Scene(context), context.params.Integer("Final"),
                                                    context.params.Check("Visual debugging"),
                                                    RedrawHooks(context), clipboard));
  if (!clipboard.empty()) context.ui.SetClipboardText(clipboard);
  return result;
}

CommandResult FaceBased(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  const ParamValues& p = context.params;
  CFaceBasedParams params;
  params.Final = p.Integer("Final");
  params.VisualDebugging = p.Check("Visual debugging");
  params.MultipleFaceCollapse = p.Check("Flag for multiple face collapse");
  params.SmoothGeomorph = p.Check("Build smooth geomorph");
  params.Stages = p.Integer("# stages");
  params.Steps = p.Integer("# steps");
  return ShowOutcome(context, CommandFaceBased(Scene(context), params, RedrawHooks(context)));
}

CommandResult FastFaceCollapses(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  return ShowOutcome(context, CommandFastFaceCollapses(Scene(context), RedrawHooks(context)));
}

CommandResult KeepFaces(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  return ShowOutcome(context,
                     CommandKeepFaces(Scene(context), context.params.Integer("Iterations")));
}

CommandResult CoarseProgressive(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  return ShowOutcome(
      context, CommandCoarseProgressive(Scene(context), context.params.Integer("Iterations")));
}

} // namespace

std::vector<CommandBinding> SimplificationCommands() {
  // collapses move and remove vertices and faces and leave their marks in
  // the element flags; the face-collapse stages and the coarse series add
  // objects to the scene
  constexpr Effects kSimplifies =
      kEffectPositions | kEffectNormals | kEffectTopology | kEffectAttributes;
  return {
      {kMenuEdgeCollapse, EdgeCollapse, kSimplifies},
      {kMenuIndependentCollapse, IndependentCollapse, kSimplifies},
      {kMenuVertexRemovals, VertexRemovals, kSimplifies},
      {kMenuEdgeBased, EdgeBased, kSimplifies},
      {kMenuErrorAccumulation, ErrorAccumulationCommand, kSimplifies},
      {kMenuFaceBased, FaceBased, kSimplifies | kEffectObjects},
      {kMenuFastFaceCollapses, FastFaceCollapses, kSimplifies | kEffectObjects},
      {kMenuKeepFaces, KeepFaces, kSimplifies},
      {kMenuCoarseProgressive, CoarseProgressive, kSimplifies | kEffectObjects},
  };
}

} // namespace orvex
