#pragma once

// The approximation commands without any toolkit: the spatial grid of the
// first object, the progressive mesh and the volume-based metric (whose
// worker lives in the application, app/VolumicWorker.h).

#include "processing/Approximation.h"
#include "processing/SubdivisionCommands.h"

class CSceneGraph3d;

constexpr const char* kMenuHashTable = "&Algorithms/Hash table...";
constexpr const char* kMenuProgressiveMesh =
    "&Algorithms/Surface simplification/&Progressive mesh...";
constexpr const char* kMenuVolumeBased =
    "&Algorithms/Surface simplification/&Volume-based metric...";
constexpr const char* kMenuStopVolumeBased =
    "&Algorithms/Surface simplification/Stop volume-based metric";

// Grid sizes the dialogs accept.
constexpr int kHashSizeMax = 256;

// Hash table...: a grid of size n over the first object (a triangle mesh)
// appended to the scene, then nine queries (the box centre and its
// corners); with showGrid the queries mark the cells they visit and
// redraw after every ring. status reports the cells and the queries.
CSubdivisionOutcome CommandHashTable(CSceneGraph3d* scene, int size, int showGrid,
                                     const CSimplificationHooks& hooks);

// Progressive mesh...: the first object simplified to params.Final
// vertices; nothing happens when the routine refuses.
CSubdivisionOutcome CommandProgressiveMesh(CSceneGraph3d* scene,
                                           const CProgressiveMeshParams& params,
                                           const CSimplificationHooks& hooks);
