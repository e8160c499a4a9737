// "&Algorithms/Surface subdivision": the Loop step, the 1-to-4 and fractal
// splits and the adaptive refinements, run on the document's scene.

#include "processing/SubdivisionCommands.h"
#include "app/commands/Handlers.h"

namespace orvex {

CommandResult Report(CCommandContext& context, const CSubdivisionOutcome& outcome) {
  if (!outcome.status.empty()) context.ui.SetStatusText(outcome.status);
  if (!outcome.message.empty()) {
    context.ui.ShowMessage(outcome.message);
    return CommandResult::Failed;
  }
  return outcome.changed ? CommandResult::Done : CommandResult::NothingDone;
}

static CommandResult LoopStd(CCommandContext& context) {
  return Report(context, CommandLoopStd(&context.doc->m_SceneGraph));
}

static CommandResult LoopMultiple(CCommandContext& context) {
  CMultipleSmoothParams params;
  params.Iterations = context.params.Integer("Iterations");
  params.MoveBoundaries = context.params.Check("Move boundaries");
  params.DuplicateInSceneGraph = context.params.Check("Duplicate in scene graph");
  // the views follow the refinement step by step
  auto afterStep = [&context](int) { context.ui.RedrawNow(); };
  return Report(context, CommandLoopMultiple(&context.doc->m_SceneGraph, params, afterStep));
}

static CommandResult SubdivisionSimple(CCommandContext& context) {
  return Report(context, CommandSubdivisionSimple(&context.doc->m_SceneGraph));
}

static CommandResult SubdivisionFractal(CCommandContext& context) {
  return Report(context, CommandSubdivisionFractal(&context.doc->m_SceneGraph));
}

static CommandResult LoopAdaptiveRandom(CCommandContext& context) {
  return Report(context,
                CommandLoopAdaptiveRandom(&context.doc->m_SceneGraph, context.doc->Random()));
}

static CommandResult LoopAdaptiveCurvature(CCommandContext& context) {
  return Report(context, CommandLoopAdaptiveCurvature(&context.doc->m_SceneGraph));
}

static CommandResult LoopAdaptiveActiveFace(CCommandContext& context) {
  return Report(context, CommandLoopAdaptiveActiveFace(&context.doc->m_SceneGraph,
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
