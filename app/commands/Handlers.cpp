#include "app/commands/Handlers.h"

namespace orvex {

CommandResult NoMesh(CCommandContext& context) {
  context.ui.ShowMessage(kNoMeshMessage);
  return CommandResult::Failed;
}

std::vector<CommandBinding> DocumentBindings() {
  std::vector<CommandBinding> all;
  for (auto family :
       {FileCommands, ExportCommands, ModeCommands, SceneCommands, MeshCommands, GeometryCommands,
        SubdivisionCommands, ViewCommands, ValenceCommands, UndoCommands, PolygonCommands}) {
    std::vector<CommandBinding> bindings = family();
    all.insert(all.end(), std::make_move_iterator(bindings.begin()),
               std::make_move_iterator(bindings.end()));
  }
  return all;
}

} // namespace orvex
