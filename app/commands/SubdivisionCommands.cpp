// "&Algorithms/Surface subdivision": the Loop step, the 1-to-4 and fractal
// splits and the adaptive refinements, run on the document's scene.

#include "processing/SubdivisionCommands.h"
#include "app/commands/Handlers.h"

namespace orvex {

static CommandResult LoopStd(CCommandContext& context) {
  return ShowOutcome(context, CommandLoopStd(&context.doc->m_SceneGraph));
}

static CommandResult LoopMultiple(CCommandContext& context) {
  CMultipleSmoothParams params;
  params.Iterations = context.params.Integer("Iterations");
  params.MoveBoundaries = context.params.Check("Move boundaries");
  params.DuplicateInSceneGraph = context.params.Check("Duplicate in scene graph");
  // the views follow the refinement step by step
  auto afterStep = [&context](int) { context.ui.RedrawNow(); };
  return ShowOutcome(context, CommandLoopMultiple(&context.doc->m_SceneGraph, params, afterStep));
}

static CommandResult SubdivisionSimple(CCommandContext& context) {
  return ShowOutcome(context, CommandSubdivisionSimple(&context.doc->m_SceneGraph));
}

static CommandResult SubdivisionFractal(CCommandContext& context) {
  return ShowOutcome(context, CommandSubdivisionFractal(&context.doc->m_SceneGraph));
}

static CommandResult LoopAdaptiveRandom(CCommandContext& context) {
  return ShowOutcome(context,
                     CommandLoopAdaptiveRandom(&context.doc->m_SceneGraph, context.doc->Random()));
}

static CommandResult LoopAdaptiveCurvature(CCommandContext& context) {
  return ShowOutcome(context, CommandLoopAdaptiveCurvature(&context.doc->m_SceneGraph));
}

static CommandResult LoopAdaptiveActiveFace(CCommandContext& context) {
  return ShowOutcome(context, CommandLoopAdaptiveActiveFace(&context.doc->m_SceneGraph,
                                                            context.doc->m_HighlightFaceIndex));
}

std::vector<CommandBinding> SubdivisionCommands() {
  // a refinement moves, adds and reconnects vertices and leaves its marks
  // in the element flags; the multiple step may add a copy to the scene
  constexpr Effects kRefines =
      kEffectPositions | kEffectNormals | kEffectTopology | kEffectAttributes;
  return {
      {kMenuLoopStd, LoopStd, kRefines},
      {kMenuLoopMultiple, LoopMultiple, kRefines | kEffectObjects},
      {kMenuSubdivisionSimple, SubdivisionSimple, kRefines},
      {kMenuSubdivisionFractal, SubdivisionFractal, kRefines},
      {kMenuLoopAdaptiveRandom, LoopAdaptiveRandom, kRefines},
      {kMenuLoopAdaptiveCurvature, LoopAdaptiveCurvature, kRefines},
      {kMenuLoopAdaptiveActiveFace, LoopAdaptiveActiveFace, kRefines},
  };
}

} // namespace orvex
