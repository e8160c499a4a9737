#pragma once

// The menu commands of "&Algorithms/Surface modification", "&Algorithms/
// Color mesh" (measures, vertices from faces, faces by valence) and
// "&Geometry/Mean compacity", without any toolkit: each does the whole work
// of its command on a scene and says what to show (CSubdivisionOutcome:
// changed, status text, message box). The document's dispatcher brackets
// them (wait cursor, modified flag, redraw).

#include <functional>
#include <string>

#include "geometry/Color.h"
#include "processing/MeshColoring.h"
#include "processing/SubdivisionCommands.h"

class CSceneGraph3d;

// Menu paths as stored.
constexpr const char* kMenuSmooth = "&Algorithms/Surface modification/Smooth";
constexpr const char* kMenuMultipleSmooth = "&Algorithms/Surface modification/Multiple smooth...";
constexpr const char* kMenuRemoveNoNeighbor =
    "&Algorithms/Surface modification/Remove faces/no neighbor";
constexpr const char* kMenuRemoveOneNeighbor =
    "&Algorithms/Surface modification/Remove faces/1 neighbor";
constexpr const char* kMenuRemoveTwoNeighbors =
    "&Algorithms/Surface modification/Remove faces/2 neighbors";
constexpr const char* kMenuRemoveDuplicate =
    "&Algorithms/Surface modification/Remove faces/duplicate";
constexpr const char* kMenuRemoveHole = "&Algorithms/Surface modification/Remove hole";
constexpr const char* kMenuImproveCompacity = "&Algorithms/Surface modification/Improve compacity";
constexpr const char* kMenuSpring = "&Algorithms/Surface modification/Spring/Adaptative...";
constexpr const char* kMenuPackFrequency =
    "&Algorithms/Surface modification/Pack vertices/Set frequency...";
constexpr const char* kMenuMultiplePack =
    "&Algorithms/Surface modification/Pack vertices/Multiple pack...";
constexpr const char* kMenuColorCurvature = "&Algorithms/Color mesh/Curvature";
constexpr const char* kMenuColorNormalSpace = "&Algorithms/Color mesh/Normal space";
constexpr const char* kMenuColorHeight = "&Algorithms/Color mesh/Height";
constexpr const char* kMenuColorCompacity = "&Algorithms/Color mesh/Compacity";
constexpr const char* kMenuColorVerticesFromFaces = "&Algorithms/Color mesh/Vertices from faces";
constexpr const char* kMenuColorFacesByValence = "&Algorithms/Color mesh/Faces/# vertex valence";
constexpr const char* kMenuMeanCompacity = "&Geometry/Mean compacity";

// Spring/Adaptative...: the crease angle (degrees) and the iterations.
constexpr double kSpringAngle = 20.0;
constexpr int kSpringIterations = 50;
// Multiple pack: the frequencies of the copies.
constexpr int kFirstPackFrequency = 2;
constexpr int kLastPackFrequency = 16;

// Smooth: one Smooth step (boundaries moving) of every triangle mesh; quad
// meshes stay as they are.
CSubdivisionOutcome CommandSmooth(CSceneGraph3d* scene);

// Multiple smooth...: on the first scene object when it is a triangle mesh.
// Without duplication Iterations steps in place, afterStep (when given)
// following each; with duplication every level is a copy of the previous
// one (the first object for the first level), smoothed once and appended to
// the scene. Refused with "Insuffisant memory" when the copies do not fit.
CSubdivisionOutcome CommandMultipleSmooth(CSceneGraph3d* scene, const CMultipleSmoothParams& params,
                                          const std::function<void(int step)>& afterStep = nullptr);

// Curvature, Normal space, Height, Compacity: every triangle mesh coloured
// by the measure through the rainbow ramp. The colouring commands draw the
// meshes with the colours they set (vertex colours, face colours for
// Compacity and valence).
CSubdivisionOutcome CommandColorByMeasure(CSceneGraph3d* scene, CMeasure measure);

// Vertices from faces: ColorVerticesFromFaces on every triangle mesh.
CSubdivisionOutcome CommandColorVerticesFromFaces(CSceneGraph3d* scene);

// Faces/# vertex valence: ColorFacesByValence on the first object.
CSubdivisionOutcome CommandColorFacesByValence(CSceneGraph3d* scene, int k, int n,
                                               const CColor& color);

// Remove faces/no neighbor, 1 neighbor, 2 neighbors: the first object's
// faces with exactly count neighbours go; adjacency and vertex normals are
// rebuilt.
CSubdivisionOutcome CommandRemoveFacesWithNeighbors(CSceneGraph3d* scene, int count);

// Remove faces/duplicate: degenerate, then duplicate faces of the first
// object go; ends with Rebuild.
CSubdivisionOutcome CommandRemoveDuplicateFaces(CSceneGraph3d* scene);

// Remove hole: FillHole on the first object, then Rebuild.
CSubdivisionOutcome CommandRemoveHole(CSceneGraph3d* scene);

// Improve compacity: valence-3 vertices removed, then passes of
// SwapForCompacity until one swaps nothing; progress (when given) gets
// "Improve compacity...%d edges swapped" after every pass that swapped.
// Status "Improve compacity done (%d edges swapped)." with the total.
CSubdivisionOutcome
CommandImproveCompacity(CSceneGraph3d* scene,
                        const std::function<void(const std::string& status)>& progress = nullptr);

// Mean compacity: status "Mean compacity: %g" of the first object.
CSubdivisionOutcome CommandMeanCompacity(CSceneGraph3d* scene);

// Spring/Adaptative...: SpringRelax(20, 50) of the first object, the
// normals following the new positions.
CSubdivisionOutcome
CommandSpring(CSceneGraph3d* scene,
              const std::function<void(int iteration)>& afterIteration = nullptr);

// Pack vertices/Set frequency...: PackVertices(f) of the first object and
// Rebuild; f < 2 does nothing.
CSubdivisionOutcome CommandPackVertices(CSceneGraph3d* scene, int f);

// Pack vertices/Multiple pack...: for f = 2 ... 16 a copy of the first
// object packed with frequency f, rebuilt, named "freq : %d" and appended
// to the scene. Refused with "Insuffisant memory" when the copies do not
// fit.
CSubdivisionOutcome CommandMultiplePack(CSceneGraph3d* scene,
                                        const std::function<void(int f)>& afterCopy = nullptr);
