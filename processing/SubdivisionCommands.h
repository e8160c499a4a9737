#pragma once

// The menu commands of "&Algorithms/Surface subdivision", without any
// toolkit: each does the whole work of its command on a scene and says what
// to show. The document's dispatcher brackets them (wait cursor, modified
// flag, redraw) and shows the outcome.

#include <functional>
#include <string>

#include "geometry/Random15.h"

class CSceneGraph3d;

// Menu paths as stored, with their mnemonic ampersands.
constexpr const char* kMenuLoopStd = "&Algorithms/Surface subdivision/Loop/&Std";
constexpr const char* kAccelLoopStd = "Ctrl+L";
constexpr const char* kMenuLoopMultiple = "&Algorithms/Surface subdivision/Loop/&Multiple...";
constexpr const char* kMenuSubdivisionSimple = "&Algorithms/Surface subdivision/Simple (1->4)";
constexpr const char* kMenuSubdivisionFractal = "&Algorithms/Surface subdivision/Fractal";
constexpr const char* kMenuLoopAdaptiveRandom =
    "&Algorithms/Surface subdivision/Loop/&Adaptive/Random";
constexpr const char* kMenuLoopAdaptiveCurvature =
    "&Algorithms/Surface subdivision/Loop/&Adaptive/Curvature";
constexpr const char* kMenuLoopAdaptiveActiveFace =
    "&Algorithms/Surface subdivision/Loop/&Adaptive/On active face";

// Text of the message box shown when a command would exhaust memory.
constexpr const char* kInsufficientMemoryText = "Insuffisant memory";

// What a command leaves for the user: changed is 1 when the scene was
// modified (redraw it); status is the status-bar text, empty when the command
// shows none; message is the text of a message box, empty when none.
struct CSubdivisionOutcome {
  int changed = 0;
  std::string status;
  std::string message;
};

// Dialog "Multiple smooth" (shared with the multiple smoothing).
struct CMultipleSmoothParams {
  static constexpr const char* kTitle = "Multiple smooth";
  static constexpr int kIterationsMin = 1;
  static constexpr int kIterationsMax = 999;
  int Iterations = 1;            // "Iterations", 1 ... 999: number of Loop steps
  int MoveBoundaries = 1;        // "Move boundaries": not used by the Loop command
  int DuplicateInSceneGraph = 0; // "Duplicate in scene graph"
};

// Probability numerator of "Random": a face is selected when the generator
// draws below it (3276 / 32768, about one face in ten).
constexpr int kRandomSelectionThreshold = 3276;

// Loop/Std: one Loop step of every triangle mesh of the scene; status
// "Loop done, %d -> %d faces, %g s..." with the face counts summed over the
// meshes before and after and the elapsed seconds.
CSubdivisionOutcome CommandLoopStd(CSceneGraph3d* scene);

// Loop/Multiple...: Iterations Loop steps of the first scene object when it
// is a triangle mesh. Without duplication it is refined in place and
// afterStep (when given) runs after each step, for the views to follow; with
// duplication each level is a new mesh copied from the previous level and
// appended to the scene, which ends holding every level. Refused with
// "Insuffisant memory" when the forecast does not fit.
CSubdivisionOutcome CommandLoopMultiple(CSceneGraph3d* scene, const CMultipleSmoothParams& params,
                                        const std::function<void(int step)>& afterStep = nullptr);

// Simple (1->4) and Fractal: one split of every triangle mesh of the scene.
CSubdivisionOutcome CommandSubdivisionSimple(CSceneGraph3d* scene);
CSubdivisionOutcome CommandSubdivisionFractal(CSceneGraph3d* scene);

// Loop/Adaptive/Random: selects each face of the first scene object with
// probability 3276/32768 (one draw of the generator per face, in face order)
// and refines the selection. The command draws from its document's
// generator.
CSubdivisionOutcome CommandLoopAdaptiveRandom(CSceneGraph3d* scene, CRandom15& random);

// Loop/Adaptive/Curvature: selects the faces of the first scene object whose
// largest summed normal deviation at a corner exceeds 0.95 times the largest
// maximum normal deviation of any vertex, and refines them.
CSubdivisionOutcome CommandLoopAdaptiveCurvature(CSceneGraph3d* scene);

// Loop/Adaptive/On active face: refines face activeFace of the first scene
// object; an index out of range does nothing.
CSubdivisionOutcome CommandLoopAdaptiveActiveFace(CSceneGraph3d* scene, int activeFace);
