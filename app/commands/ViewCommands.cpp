// Commands a render view serves: they act on the view state the host names
// as the document's active view (the batch runner's default view when
// there is no window).

#include <array>

#include "app/DocumentHost.h"
#include "app/RenderViewState.h"
#include "app/commands/Handlers.h"
#include "geometry/Mesh3d.h"
#include "geometry/VisualModeChooser3d.h"
#include "processing/SubdivisionCommands.h"

namespace orvex {
namespace {

// The F7 preset maps the first mesh onto this cube.
constexpr float kPresetRangeMin = 0.0f;
constexpr float kPresetRangeMax = 20.0f;
// Immediate repaints after the visual-mode chooser appears.
constexpr int kVisualModeRepaints = 30;

CRenderViewState* ActiveView(CCommandContext& context) {
  return context.host && context.doc ? context.host->ActiveViewState(context.doc) : nullptr;
}

// A handler that runs action on the active view.
template <typename Action> CommandHandler OnView(Action action) {
  return [action](CCommandContext& context) {
    CRenderViewState* view = ActiveView(context);
    if (!view) return CommandResult::Unavailable;
    action(context, *view);
    return CommandResult::Done;
  };
}

// F7: one Loop step of the first mesh (the single-step form of the
// multiple Loop command, with its memory check), its range mapped onto
// [0, 20] on every axis, then the view's preset transform.
CommandResult ViewPreset(CCommandContext& context) {
  CRenderViewState* view = ActiveView(context);
  if (!view) return CommandResult::Unavailable;
  CSceneGraph3d& scene = context.doc->m_SceneGraph;
  if (CMesh3d* mesh = context.doc->GetFirstMesh()) {
    mesh->SetFlagOnFaces(0);
    CMultipleSmoothParams oneStep;
    oneStep.Iterations = 1;
    oneStep.DuplicateInSceneGraph = 0;
    CSubdivisionOutcome outcome = CommandLoopMultiple(&scene, oneStep);
    if (!outcome.message.empty()) {
      context.ui.ShowMessage(outcome.message);
      return CommandResult::Failed;
    }
    for (int axis = 0; axis < 3; axis++) mesh->Range(axis, kPresetRangeMin, kPresetRangeMax);
  }
  view->ApplyPreset();
  return CommandResult::Done;
}

int FindChooser(const CSceneGraph3d& scene) {
  for (int i = 0; i < scene.NbObject(); i++)
    if (scene.GetAt(i)->GetType() == TYPE_VISUAL_CHOOSER) return i;
  return -1;
}

// Mode/Visual mode: puts the chooser over the model; pressed again while a
// chooser is shown, it takes the chooser away and leaves the mode.
CommandResult VisualMode(CCommandContext& context) {
  CRenderViewState* view = ActiveView(context);
  if (!view) return CommandResult::Unavailable;
  CSceneGraph3d& scene = context.doc->m_SceneGraph;
  int shown = FindChooser(scene);
  if (shown >= 0) {
    scene.DeleteAt(shown);
    return CommandResult::Done;
  }

  std::array<int, CVisualModeChooser3d::kNbRandom> random;
  CRandom15& generator = context.doc->Random();
  for (int& value : random) value = generator.Next();
  double aspect = CRenderViewState::Aspect(view->m_Width, view->m_Height);
  scene.Add(new CVisualModeChooser3d(view->m_FieldOfView, aspect, random));
  for (int i = 0; i < scene.NbObject(); i++)
    if (scene.GetAt(i)->GetType() == TYPE_MESH3D)
      static_cast<CMesh3d*>(scene.GetAt(i))->m_DisplayListMode = 0;

  for (int i = 0; i < kVisualModeRepaints; i++) context.ui.RedrawNow();
  context.redraw = Redraw::None;
  return CommandResult::Done;
}

// A camera-mode drag of the active view moves the scene's first camera.
CommandResult CameraDrag(CCommandContext& context) {
  CRenderViewState* view = ActiveView(context);
  if (!view) return CommandResult::Unavailable;
  return view->ApplyCameraDrag(context.doc->m_SceneGraph) ? CommandResult::Done
                                                          : CommandResult::NothingDone;
}

} // namespace

std::vector<CommandBinding> ViewCommands() {
  constexpr Effects kRefines =
      kEffectPositions | kEffectNormals | kEffectTopology | kEffectAttributes;
  auto hasObjects = [](const COrvexDoc& doc) { return doc.m_SceneGraph.NbObject() > 0; };
  return {
      {"&Geometry/Reset", OnView([](CCommandContext&, CRenderViewState& view) { view.Reset(); }),
       kEffectView},
      {"&Geometry/Speed/Rotation/Increase",
       OnView([](CCommandContext&, CRenderViewState& view) { view.IncreaseRotationSpeed(); }),
       kEffectView, Redraw::None},
      {"&Geometry/Speed/Rotation/Decrease",
       OnView([](CCommandContext&, CRenderViewState& view) { view.DecreaseRotationSpeed(); }),
       kEffectView, Redraw::None},
      {"&Geometry/Speed/Translation/Increase",
       OnView([](CCommandContext&, CRenderViewState& view) { view.IncreaseTranslationSpeed(); }),
       kEffectView, Redraw::None},
      {"&Geometry/Speed/Translation/Decrease",
       OnView([](CCommandContext&, CRenderViewState& view) { view.DecreaseTranslationSpeed(); }),
       kEffectView, Redraw::None},
      {"&Geometry/Swap rotation axes", OnView([](CCommandContext& context, CRenderViewState& view) {
         view.SwapRotationAxes();
         context.ui.RedrawNow();
       }),
       kEffectView, Redraw::None},
      {"&Debug/Viewing/Push", OnView([](CCommandContext& context, CRenderViewState& view) {
         view.Push(context.host->ViewingSlot());
       }),
       kEffectView, Redraw::None},
      {"&Debug/Viewing/Pop", OnView([](CCommandContext& context, CRenderViewState& view) {
         view.Pop(context.host->ViewingSlot());
       }),
       kEffectView},
      CommandBinding("View preset", ViewPreset, kEffectView | kRefines).EnabledWhen(hasObjects),
      {"&Algorithms/Color mesh/Always color silhouette",
       OnView([](CCommandContext&, CRenderViewState& view) { view.m_bAlwaysColorSilhouette = 1; }),
       kEffectView},
      {"&Debug/Advanced/Multi refinement 1->3",
       OnView([](CCommandContext& context, CRenderViewState& view) {
         context.host->StartViewTimer(context.doc, 2, 4000);
         context.host->StartViewTimer(context.doc, 1, 10);
         view.m_SpinStep[1] = 2.0f;
       }),
       kEffectView, Redraw::None},
      {"&Mode/Visual mode", VisualMode, kEffectOverlay | kEffectDisplay},
      {"Camera drag", CameraDrag, kEffectView | kEffectObjects},
  };
}

} // namespace orvex
