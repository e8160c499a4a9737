#pragma once

// The menu commands of "&Algorithms/Surface simplification", without any
// toolkit: each does the whole work of its command on the first object of
// a scene and says what to show (Simplification.h holds the routines).

#include <string>

#include "processing/Simplification.h"
#include "processing/SubdivisionCommands.h"

class CSceneGraph3d;

constexpr const char* kMenuEdgeCollapse = "&Algorithms/Surface simplification/&Edge Collapse";
constexpr const char* kMenuIndependentCollapse =
    "&Algorithms/Surface simplification/Independant edge collapse";
constexpr const char* kMenuVertexRemovals = "&Algorithms/Surface simplification/Vertex removals";
constexpr const char* kMenuEdgeBased =
    "&Algorithms/Surface simplification/Edge-based simplification...";
constexpr const char* kMenuErrorAccumulation =
    "&Algorithms/Surface simplification/Error accumulation...";
constexpr const char* kMenuFaceBased =
    "&Algorithms/Surface simplification/Face-based simplification...";
constexpr const char* kMenuFastFaceCollapses =
    "&Algorithms/Surface simplification/&Debug/Fast face collapses";
constexpr const char* kMenuKeepFaces = "&Algorithms/Surface simplification/Keep # faces...";
constexpr const char* kMenuCoarseProgressive =
    "&Algorithms/Surface simplification/Coarse progressive mesh...";

// The "Save" file dialog of edge-based simplification.
constexpr const char* kSaveSimplificationFilter = "WRL Files (*.wrl)|*.wrl";
constexpr const char* kSaveSimplificationName = "mesh_volumic.wrl";
constexpr const char* kCanceledText = "The operation has been canceled";
// Geomorph steps of "&Debug/Fast face collapses".
constexpr int kFastFaceCollapseSteps = 20;

// Dialog "Scalable mesh coding by face collapsing".
struct CFaceBasedParams {
  int Final = 0;                // "Final" (faces)
  int VisualDebugging = 0;      // "Visual debugging"
  int MultipleFaceCollapse = 0; // "Flag for multiple face collapse"
  int SmoothGeomorph = 0;       // "Build smooth geomorph"
  int Stages = 1;               // "# stages"
  int Steps = 20;               // "# steps"
};

CSubdivisionOutcome CommandRandomEdgeCollapse(CSceneGraph3d* scene, CRandom15& random);
CSubdivisionOutcome CommandIndependentEdgeCollapse(CSceneGraph3d* scene);
CSubdivisionOutcome CommandVertexRemovals(CSceneGraph3d* scene);

// saveFile: the file the intermediate meshes go to, empty without "Save".
CSubdivisionOutcome CommandEdgeBased(CSceneGraph3d* scene, const CEdgeBasedParams& params,
                                     const std::string& saveFile,
                                     const CSimplificationHooks& hooks);

// clipboard receives the report table when the command ran.
CSubdivisionOutcome CommandErrorAccumulation(CSceneGraph3d* scene, int final, int visualDebugging,
                                             const CSimplificationHooks& hooks,
                                             std::string& clipboard);

CSubdivisionOutcome CommandFaceBased(CSceneGraph3d* scene, const CFaceBasedParams& params,
                                     const CSimplificationHooks& hooks);
CSubdivisionOutcome CommandFastFaceCollapses(CSceneGraph3d* scene,
                                             const CSimplificationHooks& hooks);

// Keep # faces...: the first faces of the first object; N < 0 does nothing.
CSubdivisionOutcome CommandKeepFaces(CSceneGraph3d* scene, int faces);
// Coarse progressive mesh...: levels - 1 truncated copies appended.
CSubdivisionOutcome CommandCoarseProgressive(CSceneGraph3d* scene, int levels);
