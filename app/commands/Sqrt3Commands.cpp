// "&Algorithms/Surface subdivision/V3", "&Scene/&Process camera" and the
// silhouette colouring of "&Algorithms/Color mesh", run on the document's
// scene with the active render view (the batch runner's default view when
// there is no window).

#include "processing/Sqrt3Commands.h"

#include "app/DocumentHost.h"
#include "app/ViewProjection.h"
#include "app/commands/Handlers.h"
#include "geometry/Mesh3d.h"
#include "processing/Silhouette.h"
#include "processing/Sqrt3Subdivision.h"

namespace orvex {
namespace {

// The view whose camera and matrices the commands use.
const CRenderViewState& ActiveView(CCommandContext& context) {
  static const CRenderViewState kDefaultView;
  CRenderViewState* view =
      context.host && context.doc ? context.host->ActiveViewState(context.doc) : nullptr;
  return view ? *view : kDefaultView;
}

} // namespace

CVector3d ProcessCamera(CCommandContext& context) {
  const CRenderViewState& view = ActiveView(context);
  CVector3d camera = CameraPosition(view.m_Rotation, view.m_Translation, view.m_Scale);
  context.doc->m_Camera.m_Position = camera;
  return camera;
}

namespace {

// The projection routine the silhouette commands hand to the view: a
// triangle mesh takes the view's matrices and keeps nothing of them, so
// projecting never changes the mesh.
void ProjectMesh(CObject3d&, const CViewMatrices&, int) {}

CSqrt3Hooks Hooks(CCommandContext& context) {
  CSqrt3Hooks hooks;
  hooks.redraw = [&context] { context.ui.RedrawNow(); };
  hooks.status = [&context](const std::string& text) { context.ui.SetStatusText(text); };
  hooks.project = [&context] {
    ProjectWithViewMatrices(*context.doc, ActiveView(context), 0, 0, ProjectMesh);
  };
  return hooks;
}

CommandResult FlipEdges(CCommandContext& context) {
  return ShowOutcome(context, CommandV3FlipEdges(Scene(context), Hooks(context)));
}

CommandResult Alone(CCommandContext& context) {
  return ShowOutcome(context, CommandV3Alone(Scene(context)));
}

CommandResult FixedTwoNinths(CCommandContext& context) {
  return ShowOutcome(context, CommandV3Fixed(Scene(context), kSqrt3FixedTwoNinths));
}

CommandResult FixedOneThird(CCommandContext& context) {
  return ShowOutcome(context, CommandV3Fixed(Scene(context), kSqrt3FixedOneThird));
}

CommandResult MaxVertices(CCommandContext& context) {
  return ShowOutcome(
      context,
      CommandV3MaxVertices(Scene(context), context.params.Integer("Iterations"), Hooks(context)));
}

CommandResult Piecewise(CCommandContext& context) {
  return ShowOutcome(context, CommandV3Piecewise(Scene(context), Hooks(context)));
}

CommandResult Parameters(CCommandContext& context) {
  const ParamValues& p = context.params;
  CV3Params params;
  params.FlipEdges = p.Check("Flip edges (rotation)");
  params.Smooth = p.Check("Smooth");
  params.Adaptive = p.Check("Adaptative mode");
  params.Ratio = p.Real("Ratio");
  params.Seed = p.Integer("Seed");
  params.Iterations = p.Integer("# iters");
  params.Decrease = p.Real("dec. ratio");
  params.Piecewise = p.Check("Piecewise");
  params.Sharp = p.Real("Sharp");
  params.Flat = p.Real("Flat");
  params.SplitSharpEdges = p.Check("Split sharp edges");
  return ShowOutcome(context, CommandV3Parameters(Scene(context), params, Hooks(context)));
}

CommandResult Regularize(CCommandContext& context) {
  return ShowOutcome(context, CommandV3Regularize(Scene(context), Hooks(context)));
}

CommandResult SilhouetteOne(CCommandContext& context) {
  return ShowOutcome(context, CommandV3SilhouetteOne(Scene(context), Hooks(context)));
}

CommandResult SilhouetteFour(CCommandContext& context) {
  CVector3d camera = ProcessCamera(context);
  return ShowOutcome(context,
                     CommandV3SilhouetteRefine(Scene(context), camera, 2, 2, true, Hooks(context)));
}

CommandResult SilhouetteNoDebug(CCommandContext& context) {
  CVector3d camera = ProcessCamera(context);
  return ShowOutcome(context, CommandV3SilhouetteNoDebug(Scene(context), camera, Hooks(context)));
}

CommandResult SilhouetteParameters(CCommandContext& context) {
  CVector3d camera = ProcessCamera(context);
  return ShowOutcome(context, CommandV3SilhouetteRefine(
                                  Scene(context), camera, context.params.Integer("Camera"),
                                  context.params.Integer("Silhouette"), false, Hooks(context)));
}

CommandResult Undo(CCommandContext& context) {
  return ShowOutcome(context, CommandV3Undo(Scene(context)));
}

CommandResult RecursiveUndo(CCommandContext& context) {
  return ShowOutcome(context, CommandV3RecursiveUndo(Scene(context)));
}

CommandResult Camera(CCommandContext& context) {
  ProcessCamera(context);
  return CommandResult::Done;
}

CommandResult ColorSilhouette(CCommandContext& context) {
  CVector3d camera = ProcessCamera(context);
  return ShowOutcome(context, CommandColorSilhouette(Scene(context), camera, false));
}

CommandResult ColorFrontAndSilhouette(CCommandContext& context) {
  CVector3d camera = ProcessCamera(context);
  return ShowOutcome(context, CommandColorSilhouette(Scene(context), camera, true));
}

} // namespace

std::vector<CommandBinding> Sqrt3Commands() {
  // a step moves, adds and reconnects vertices and leaves its marks in the
  // face flags and colours
  constexpr Effects kRefines =
      kEffectPositions | kEffectNormals | kEffectTopology | kEffectAttributes;
  return {
      {kMenuV3FlipEdges, FlipEdges, kRefines},
      {kMenuV3Alone, Alone, kRefines},
      {kMenuV3FixedTwoNinths, FixedTwoNinths, kRefines},
      {kMenuV3FixedOneThird, FixedOneThird, kRefines},
      {kMenuV3MaxVertices, MaxVertices, kRefines},
      {kMenuV3Piecewise, Piecewise, kRefines},
      {kMenuV3Parameters, Parameters, kRefines},
      {kMenuV3Regularize, Regularize, kRefines},
      {kMenuV3SilhouetteOne, SilhouetteOne, kRefines},
      {kMenuV3SilhouetteFour, SilhouetteFour, kRefines},
      {kMenuV3SilhouetteNoDebug, SilhouetteNoDebug, kRefines},
      {kMenuV3SilhouetteParameters, SilhouetteParameters, kRefines},
      {kMenuV3Undo, Undo, kRefines},
      {kMenuV3RecursiveUndo, RecursiveUndo, kRefines},
      // the camera position is the document's own, not part of the scene
      {kMenuProcessCamera, Camera, kEffectNone, Redraw::None},
      {kMenuColorSilhouette, ColorSilhouette, kEffectAttributes},
      {kMenuColorFrontAndSilhouette, ColorFrontAndSilhouette, kEffectAttributes},
  };
}

} // namespace orvex
