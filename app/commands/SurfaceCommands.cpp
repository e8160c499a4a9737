// "&Algorithms/Surface modification", the measure colourings of
// "&Algorithms/Color mesh" and "&Geometry/Mean compacity", run on the
// document's scene.

#include "processing/SurfaceCommands.h"
#include "app/commands/Handlers.h"

namespace orvex {

static CommandResult Smooth(CCommandContext& context) {
  return ShowOutcome(context, CommandSmooth(Scene(context)));
}

static CommandResult MultipleSmooth(CCommandContext& context) {
  CMultipleSmoothParams params;
  params.Iterations = context.params.Integer("Iterations");
  params.MoveBoundaries = context.params.Check("Move boundaries");
  params.DuplicateInSceneGraph = context.params.Check("Duplicate in scene graph");
  // the views follow the smoothing step by step
  auto afterStep = [&context](int) { context.ui.RedrawNow(); };
  return ShowOutcome(context, CommandMultipleSmooth(Scene(context), params, afterStep));
}

// The colouring by one measure.
static CommandHandler ColorBy(CMeasure measure) {
  return [measure](CCommandContext& context) {
    return ShowOutcome(context, CommandColorByMeasure(Scene(context), measure));
  };
}

static CommandResult ColorVerticesFromFaces(CCommandContext& context) {
  return ShowOutcome(context, CommandColorVerticesFromFaces(Scene(context)));
}

static CommandResult ColorFacesByValence(CCommandContext& context) {
  int k = context.params.Integer("Nb vertices");
  int n = context.params.Integer("Valence");
  CColor color;
  if (!context.ui.AskColor(color)) return CommandResult::Cancelled;
  return ShowOutcome(context, CommandColorFacesByValence(Scene(context), k, n, color));
}

// Remove faces/no neighbor, 1 neighbor, 2 neighbors.
static CommandHandler RemoveFaces(int count) {
  return [count](CCommandContext& context) {
    return ShowOutcome(context, CommandRemoveFacesWithNeighbors(Scene(context), count));
  };
}

static CommandResult RemoveDuplicate(CCommandContext& context) {
  return ShowOutcome(context, CommandRemoveDuplicateFaces(Scene(context)));
}

static CommandResult RemoveHole(CCommandContext& context) {
  CommandResult result = ShowOutcome(context, CommandRemoveHole(Scene(context)));
  context.ui.RedrawNow();
  return result;
}

static CommandResult ImproveCompacity(CCommandContext& context) {
  // each pass shows its swaps and the surface it left
  auto progress = [&context](const std::string& status) {
    context.ui.SetStatusText(status);
    context.ui.RedrawNow();
  };
  return ShowOutcome(context, CommandImproveCompacity(Scene(context), progress));
}

static CommandResult MeanCompacity(CCommandContext& context) {
  return ShowOutcome(context, CommandMeanCompacity(Scene(context)));
}

static CommandResult Spring(CCommandContext& context) {
  auto afterIteration = [&context](int) { context.ui.RedrawNow(); };
  return ShowOutcome(context, CommandSpring(Scene(context), afterIteration));
}

static CommandResult PackFrequency(CCommandContext& context) {
  return ShowOutcome(context,
                     CommandPackVertices(Scene(context), context.params.Integer("Iterations")));
}

static CommandResult MultiplePack(CCommandContext& context) {
  auto afterCopy = [&context](int) { context.ui.RedrawNow(); };
  return ShowOutcome(context, CommandMultiplePack(Scene(context), afterCopy));
}

std::vector<CommandBinding> SurfaceCommands() {
  // smoothing moves vertices and rebuilds normals and adjacency; clean-up
  // changes the faces and leaves its marks in the element flags
  constexpr Effects kMoves = kEffectPositions | kEffectNormals;
  constexpr Effects kCleans = kEffectTopology | kEffectNormals | kEffectAttributes;
  return {
      {kMenuSmooth, Smooth, kMoves},
      {kMenuMultipleSmooth, MultipleSmooth, kMoves | kEffectObjects},
      {kMenuColorCurvature, ColorBy(CMeasure::Curvature), kEffectAttributes},
      {kMenuColorNormalSpace, ColorBy(CMeasure::NormalSpace), kEffectAttributes},
      {kMenuColorHeight, ColorBy(CMeasure::Height), kEffectAttributes},
      {kMenuColorCompacity, ColorBy(CMeasure::Compacity), kEffectAttributes},
      {kMenuColorVerticesFromFaces, ColorVerticesFromFaces, kEffectAttributes},
      {kMenuColorFacesByValence, ColorFacesByValence, kEffectAttributes},
      {kMenuRemoveNoNeighbor, RemoveFaces(0), kCleans},
      {kMenuRemoveOneNeighbor, RemoveFaces(1), kCleans},
      {kMenuRemoveTwoNeighbors, RemoveFaces(2), kCleans},
      {kMenuRemoveDuplicate, RemoveDuplicate, kCleans},
      {kMenuRemoveHole, RemoveHole, kCleans | kEffectPositions},
      {kMenuImproveCompacity, ImproveCompacity, kCleans | kEffectPositions},
      {kMenuMeanCompacity, MeanCompacity, kEffectNone},
      {kMenuSpring, Spring, kMoves | kEffectAttributes},
      {kMenuPackFrequency, PackFrequency, kCleans | kEffectPositions},
      {kMenuMultiplePack, MultiplePack, kEffectObjects},
  };
}

} // namespace orvex
