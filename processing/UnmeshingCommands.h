#pragma once

// The wavefront commands without a menu entry, without any toolkit:
// "Unmeshing" (Ctrl+U) and "Remeshing" (Ctrl+B) on the first scene object.

#include <functional>
#include <string>

#include "processing/SubdivisionCommands.h"

class CSceneGraph3d;

// Dialog "Unmeshing wavefront...".
struct CUnmeshingParams {
  static constexpr const char* kTitle = "Unmeshing wavefront...";
  int SeedFace = 0;       // "Seed face"
  int AlongUnmesh = 1;    // "Unmesh" (group "Along")
  int AlongDebug = 0;     // "Debug" (group "Along")
  int AlongPeriod = 1;    // period of the "Along" group, 1 ... 10000
  double Ratio = 0.5;     // "Ratio": shown, the command uses 0.5
  int AcrossUnmesh = 1;   // "Unmesh" (group "Across")
  int AcrossDebug = 0;    // "Debug" (group "Across")
  int AcrossPeriod = 1;   // period of the "Across" group, 1 ... 10000
  int AcrossFirst = 1;    // "Across first"
  int CopyToScene = 0;    // "Copy to scenegraph"
  int ColorFaces = 0;     // "Color faces from wavefront"
  int SmoothGeomorph = 0; // "Smooth geomorph"
};

// What the commands show while they run.
struct CWavefrontHooks {
  std::function<void()> redraw;
  std::function<void(const std::string&)> status;
};

// The ratio the along unmeshing always runs with.
constexpr double kAlongRatio = 0.5;

// Unmeshing: the wavefront from the seed face, then the passes in the order
// the dialog sets; ends with "Unmeshing wavefront done (%g)". The first
// scene object must be a triangle mesh (else nothing is done); a seed face
// that is not a face of it is refused with a message.
CSubdivisionOutcome CommandUnmeshing(CSceneGraph3d* scene, const CUnmeshingParams& params,
                                     const CWavefrontHooks& hooks);

// Remeshing: the wavefront from face 0, two vertices per edge along the
// rings, then one vertex per edge across them. Refused with "Insuffisant
// memory" when a pass would not fit.
CSubdivisionOutcome CommandRemeshing(CSceneGraph3d* scene, const CWavefrontHooks& hooks);
