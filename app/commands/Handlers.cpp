#include "app/commands/Handlers.h"

#include "processing/Simplification.h"
#include "processing/SimplificationCommands.h"

namespace orvex {

CommandResult NoMesh(CCommandContext& context) {
  context.ui.ShowMessage(kNoMeshMessage);
  return CommandResult::Failed;
}

bool HasFirstMesh(CCommandContext& context) {
  CObject3d* first = Scene(context)->GetAt(0);
  return first && first->GetType() == TYPE_MESH3D;
}

bool AskIntermediateFile(CCommandContext& context, std::string& path) {
  path = kSaveSimplificationName;
  if (context.ui.AskSaveFileName(path)) return true;
  context.ui.ShowMessage(kCanceledText);
  return false;
}

CSimplificationHooks RedrawHooks(CCommandContext& context) {
  CSimplificationHooks hooks;
  hooks.redraw = [&context] { context.ui.RedrawNow(); };
  return hooks;
}

CommandResult ShowOutcome(CCommandContext& context, const CSubdivisionOutcome& outcome) {
  if (!outcome.status.empty()) context.ui.SetStatusText(outcome.status);
  if (!outcome.message.empty()) {
    context.ui.ShowMessage(outcome.message);
    return CommandResult::Failed;
  }
  return outcome.changed ? CommandResult::Done : CommandResult::NothingDone;
}

std::vector<CommandBinding> DocumentBindings() {
  std::vector<CommandBinding> all;
  for (auto family : {FileCommands,
                      ExportCommands,
                      ModeCommands,
                      SceneCommands,
                      MeshCommands,
                      GeometryCommands,
                      SubdivisionCommands,
                      SimplificationCommands,
                      SurfaceCommands,
                      Sqrt3Commands,
                      ViewCommands,
                      ValenceCommands,
                      ProgressiveValenceCommands,
                      GateCodingCommands,
                      UndoCommands,
                      PolygonCommands,
                      PanelCommands,
                      StructureCodingCommands,
                      CaptureCommands,
                      IsosurfaceCommands,
                      SideWindowCommands,
                      UnmeshingCommands,
                      TilingCommands,
                      ApproximationCommands}) {
    std::vector<CommandBinding> bindings = family();
    all.insert(all.end(), std::make_move_iterator(bindings.begin()),
               std::make_move_iterator(bindings.end()));
  }
  return all;
}

} // namespace orvex
