#pragma once

// Shared by the files that declare how the commands of one menu family are
// served.

#include <string>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/OrvexDoc.h"
#include "app/UserInterface.h"
#include "processing/SubdivisionCommands.h"

enum class MetafileVariant;
struct CSimplificationHooks;

namespace orvex {

// Message of the commands that need a triangle mesh and find none.
constexpr const char* kNoMeshMessage = "Sorry, no mesh in scenegraph";

// The scene of the command's document.
inline CSceneGraph3d* Scene(CCommandContext& context) {
  return &context.doc->m_SceneGraph;
}

// Reports kNoMeshMessage and fails.
CommandResult NoMesh(CCommandContext& context);

// Whether the scene's first object is a triangle mesh (the commands that
// work on the first object need one there).
bool HasFirstMesh(CCommandContext& context);

// Asks where the intermediate meshes of a simplification go (offered as
// "mesh_volumic.wrl"); a cancelled question says so and gives false.
bool AskIntermediateFile(CCommandContext& context, std::string& path);

// Hooks of the simplification routines: their redraws repaint the views
// at once.
CSimplificationHooks RedrawHooks(CCommandContext& context);

// Shows what a toolkit-free command left (its status text and, when it
// refused, its message box) and says how it ended.
CommandResult ShowOutcome(CCommandContext& context, const CSubdivisionOutcome& outcome);

// Scene/Process camera: the eye point of the active view in the mesh's
// coordinates, kept as the document's camera position and returned.
CVector3d ProcessCamera(CCommandContext& context);

// A menu variant of the vector picture of mesh, written to the command's
// "File" field and put on the clipboard; fails with kNoMeshMessage without
// a mesh or an active view.
CommandResult ExportMeshPicture(CCommandContext& context, CMesh3d* mesh, MetafileVariant variant);

// Text of the "Properties" dialog for object index of the scene.
std::string PropertiesText(const COrvexDoc& doc, int index);

// The bindings of each menu family (each in its own file).
std::vector<CommandBinding> FileCommands();
std::vector<CommandBinding> ExportCommands();
std::vector<CommandBinding> ModeCommands();
std::vector<CommandBinding> SceneCommands();
std::vector<CommandBinding> MeshCommands();
std::vector<CommandBinding> GeometryCommands();
std::vector<CommandBinding> SubdivisionCommands();
// Edge and face collapses, error accumulation and the coarse-to-fine series.
std::vector<CommandBinding> SimplificationCommands();
// The spatial grid, the progressive mesh and the volume-based metric.
std::vector<CommandBinding> ApproximationCommands();
// Smoothing, mesh colouring and surface clean-up.
std::vector<CommandBinding> SurfaceCommands();
// sqrt(3) subdivision, its history and the silhouette commands.
std::vector<CommandBinding> Sqrt3Commands();
// Commands served by a render view, acting on the host's active view state.
std::vector<CommandBinding> ViewCommands();
// The valence-driven coder's commands (32986, 32988, 32989).
std::vector<CommandBinding> ValenceCommands();
// The progressive valence coder's commands (33007, 33037, 33003, 33000).
std::vector<CommandBinding> ProgressiveValenceCommands();
// The gate coders' commands (33010, 33011, 33018, 33019, 33020, 33024,
// 33025, 33032, 33026).
std::vector<CommandBinding> GateCodingCommands();
std::vector<CommandBinding> UndoCommands();
// The degree-and-offset structure coder and its decoder (32897, 32901).
std::vector<CommandBinding> StructureCodingCommands();
// Quad and polygon meshes, the predefined meshes and the quad export.
std::vector<CommandBinding> PolygonCommands();
// EPS, bitmap, clipboard picture, vector pictures of the first mesh and
// the video recording of the window.
std::vector<CommandBinding> CaptureCommands();
// The controls of the command panel ("Panel/Materials/Predefined", ...).
std::vector<CommandBinding> PanelCommands();
// The side windows' work without a window (Debug/Drome/Analysis, the
// Multiview picture).
std::vector<CommandBinding> SideWindowCommands();
// Side windows that only work interactively (Textures/Map, Window/Spline...).
bool NeedsAWindow(const CommandInfo& info);
// The progressive isosurface coder and the grid file export.
std::vector<CommandBinding> IsosurfaceCommands();
// Wavefront unmeshing and remeshing (Ctrl+U, Ctrl+B).
std::vector<CommandBinding> UnmeshingCommands();
// Surface tiling: building tilings and relaxing their nodes.
std::vector<CommandBinding> TilingCommands();

} // namespace orvex
