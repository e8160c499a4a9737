#include "app/Handlers.h"

namespace orvex {

void Serve(CCommandRegistry& registry, const char* path, CommandHandler handler, Redraw redraw,
           bool changesScene) {
  CommandInfo* info = registry.Mutable(path);
  if (!info) return;
  info->handler = std::move(handler);
  info->redraw = redraw;
  info->changesScene = changesScene;
}

void ShowCheck(CCommandRegistry& registry, const char* path, DocumentQuery checked) {
  CommandInfo* info = registry.Mutable(path);
  if (!info) return;
  info->checkable = true;
  info->checked = std::move(checked);
}

CommandResult NoMesh(CCommandContext& context) {
  context.ui.ShowMessage(kNoMeshMessage);
  return CommandResult::Failed;
}

void BindDocumentHandlers(CCommandRegistry& registry) {
  BindModeHandlers(registry);
  BindSceneHandlers(registry);
  BindMeshHandlers(registry);
  BindGeometryHandlers(registry);
  BindExportHandlers(registry);
  BindSubdivisionHandlers(registry);
  BindViewHandlers(registry);
  BindValenceHandlers(registry);
}

} // namespace orvex
