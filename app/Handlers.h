#pragma once

// Shared by the files that attach handlers to the registry.

#include "app/CommandRegistry.h"
#include "app/OrvexDoc.h"
#include "app/UserInterface.h"

namespace orvex {

// Message of the commands that need a triangle mesh and find none.
constexpr const char* kNoMeshMessage = "Sorry, no mesh in scenegraph";

// Installs a handler and its options on a registered command.
void Serve(CCommandRegistry& registry, const char* path, CommandHandler handler,
           Redraw redraw = Redraw::Invalidate, bool changesScene = false);
// Check-mark query of a registered command.
void ShowCheck(CCommandRegistry& registry, const char* path, DocumentQuery checked);

// Reports kNoMeshMessage and fails.
CommandResult NoMesh(CCommandContext& context);

// Text of the "Properties" dialog for object index of the scene.
std::string PropertiesText(const COrvexDoc& doc, int index);

void BindModeHandlers(CCommandRegistry& registry);
void BindSceneHandlers(CCommandRegistry& registry);
void BindMeshHandlers(CCommandRegistry& registry);
void BindGeometryHandlers(CCommandRegistry& registry);
void BindExportHandlers(CCommandRegistry& registry);
void BindSubdivisionHandlers(CCommandRegistry& registry);
// Commands served by a render view, acting on the host's active view state.
void BindViewHandlers(CCommandRegistry& registry);
// The valence-driven coder's commands (32986, 32988, 32989).
void BindValenceHandlers(CCommandRegistry& registry);

} // namespace orvex
