#pragma once

// The menu commands of "&Algorithms/Surface tiling" on a scene, without any
// toolkit.

#include <functional>
#include <string>

#include "processing/SubdivisionCommands.h"

class CSceneGraph3d;

constexpr const char* kMenuTilingBuild = "&Algorithms/Surface tiling/Build...";
constexpr const char* kMenuTilingOptimize =
    "&Algorithms/Surface tiling/Optimize nodal positions...";
// Message of "Optimize nodal positions..." when object 1 is not a tiling.
constexpr const char* kNotATilingText = "Object 1 is not a tiling";
// Relaxation steps of "Optimize nodal positions...".
constexpr int kOptimizeIterations = 20;

// Dialog "Tiling".
struct CTilingParams {
  int VertexSeed = 0; // "Vertex seed": seed of the generated levels
  int Split = 0;      // "Split polygons"
  int MultiMesh = 0;  // "Multi-mesh": one tiling per seed in [First, Last)
  int First = 0;
  int Last = 20;
  int RetainMin = 0;    // "Retain min # tiles": keep only the tiling of fewest polygons
  int GenerateMesh = 0; // "Generate mesh"
  int Recursive = 0;    // "Recursive mesh": Levels generated levels instead of one
  int Levels = 3;
};

// What Build leaves besides its outcome: the multi-mesh report ("seed\tpolygons"
// lines), put on the clipboard when hasReport is set (even when empty).
struct CTilingReport {
  int hasReport = 0;
  std::string text;
};

// Build...: tiles the first scene object (a triangle mesh) and appends the
// tilings, and with Generate mesh the generated levels, to the scene.
// Without a triangle mesh first the outcome carries "Sorry, no mesh in
// scenegraph"; copies beyond the memory forecast are refused with
// "Insuffisant memory". A seed out of range for a generated level stops the
// levels there, with a message.
CSubdivisionOutcome CommandTilingBuild(CSceneGraph3d* scene, const CTilingParams& params,
                                       CTilingReport& report);

// Optimize nodal positions...: relaxes the tiling at scene object 1,
// calling repaint after each step; refused with kNotATilingText otherwise.
CSubdivisionOutcome CommandTilingOptimize(CSceneGraph3d* scene,
                                          const std::function<void()>& repaint);
