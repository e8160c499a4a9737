#pragma once

// The menu commands of "&Algorithms/Surface subdivision/V3" and the
// silhouette colouring of "&Algorithms/Color mesh", without any toolkit:
// each does the whole work of its command on a scene and says what to show.
// The camera position comes from the caller (the active view's eye point,
// Silhouette.h).

#include <functional>
#include <string>

#include "geometry/Vector3d.h"
#include "processing/SubdivisionCommands.h"

class CSceneGraph3d;

constexpr const char* kMenuV3FlipEdges = "&Algorithms/Surface subdivision/V3/&Flip edges";
constexpr const char* kMenuV3Alone = "&Algorithms/Surface subdivision/V3/&Alone";
constexpr const char* kMenuV3FixedTwoNinths = "&Algorithms/Surface subdivision/V3/Fixed alpha/2/9";
constexpr const char* kMenuV3FixedOneThird = "&Algorithms/Surface subdivision/V3/Fixed alpha/1/3";
constexpr const char* kMenuV3MaxVertices = "&Algorithms/Surface subdivision/V3/Max #vertices...";
constexpr const char* kMenuV3Piecewise = "&Algorithms/Surface subdivision/V3/Piecewise";
constexpr const char* kMenuV3Parameters = "&Algorithms/Surface subdivision/V3/Parameters...";
constexpr const char* kMenuV3Regularize =
    "&Algorithms/Surface subdivision/V3/Regularize from surface ratios";
constexpr const char* kMenuV3SilhouetteOne =
    "&Algorithms/Surface subdivision/V3/On colored silhouette/1 iter";
constexpr const char* kMenuV3SilhouetteFour =
    "&Algorithms/Surface subdivision/V3/On colored silhouette/4 iters";
constexpr const char* kMenuV3SilhouetteNoDebug =
    "&Algorithms/Surface subdivision/V3/On colored silhouette/4 iters (no debug)";
constexpr const char* kMenuV3SilhouetteParameters =
    "&Algorithms/Surface subdivision/V3/On colored silhouette/Parameters...";
constexpr const char* kMenuV3Undo = "&Algorithms/Surface subdivision/V3/History/Undo";
constexpr const char* kMenuV3RecursiveUndo =
    "&Algorithms/Surface subdivision/V3/History/Recursive undo";
constexpr const char* kMenuProcessCamera = "&Scene/&Process camera";
constexpr const char* kMenuColorSilhouette =
    "&Algorithms/Color mesh/Silhouette from current camera";
constexpr const char* kMenuColorFrontAndSilhouette =
    "&Algorithms/Color mesh/Front faces and silhouette";

// Regularize stops after this many passes even when faces stay large.
constexpr int kRegularizeMaxPasses = 32;
// Vertex limit steps of "Max #vertices...".
constexpr int kMaxVerticesSteps = 4;

// How a command shows its work: redraw the view at once, show a status
// text, let the view project the first object with its current matrices.
// Any may be empty.
struct CSqrt3Hooks {
  std::function<void()> redraw;
  std::function<void(const std::string&)> status;
  std::function<void()> project;
};

// Dialog "V3 subdivision".
struct CV3Params {
  int FlipEdges = 1;       // "Flip edges (rotation)"
  int Smooth = 1;          // "Smooth"
  int Adaptive = 0;        // "Adaptative mode"
  double Ratio = 0.2;      // "Ratio"
  int Seed = 0;            // "Seed"
  int Iterations = 1;      // "# iters"
  double Decrease = 0.8;   // "dec. ratio"
  int Piecewise = 0;       // "Piecewise"
  double Sharp = 40.0;     // "Sharp"
  double Flat = 5.0;       // "Flat"
  int SplitSharpEdges = 1; // "Split sharp edges"
};

// Flip edges, Alone, Fixed alpha: one step of every triangle mesh; Flip edges
// redraws as it goes and shows "V3 done (%g s)...".
CSubdivisionOutcome CommandV3FlipEdges(CSceneGraph3d* scene, const CSqrt3Hooks& hooks);
CSubdivisionOutcome CommandV3Alone(CSceneGraph3d* scene);
CSubdivisionOutcome CommandV3Fixed(CSceneGraph3d* scene, float weight);
// Up to four steps of every mesh while it has fewer than maxVertices
// vertices, with "%d out of %d..." per object and "V3 done (%g s)...".
CSubdivisionOutcome CommandV3MaxVertices(CSceneGraph3d* scene, int maxVertices,
                                         const CSqrt3Hooks& hooks);
// Piecewise (50, 0, split sharp edges) of the first object.
CSubdivisionOutcome CommandV3Piecewise(CSceneGraph3d* scene, const CSqrt3Hooks& hooks);
// Parameters...: the piecewise step, or adaptive steps around a seed vertex.
CSubdivisionOutcome CommandV3Parameters(CSceneGraph3d* scene, const CV3Params& params,
                                        const CSqrt3Hooks& hooks);
CSubdivisionOutcome CommandV3Regularize(CSceneGraph3d* scene, const CSqrt3Hooks& hooks);
// On colored silhouette/1 iter: an adaptive step of the faces flagged 1.
CSubdivisionOutcome CommandV3SilhouetteOne(CSceneGraph3d* scene, const CSqrt3Hooks& hooks);
// Silhouette refinement from the undone mesh: frontPasses passes on the
// silhouette and the front faces, then silhouettePasses on the silhouette,
// then the colouring; with messages, every stage says so on the status line.
CSubdivisionOutcome CommandV3SilhouetteRefine(CSceneGraph3d* scene, const CVector3d& camera,
                                              int frontPasses, int silhouettePasses, bool messages,
                                              const CSqrt3Hooks& hooks);
// 4 iters (no debug): undo everything, six silhouette passes, colouring.
CSubdivisionOutcome CommandV3SilhouetteNoDebug(CSceneGraph3d* scene, const CVector3d& camera,
                                               const CSqrt3Hooks& hooks);
CSubdivisionOutcome CommandV3Undo(CSceneGraph3d* scene);
CSubdivisionOutcome CommandV3RecursiveUndo(CSceneGraph3d* scene);
// Colour the first object by its silhouette (and its front faces).
CSubdivisionOutcome CommandColorSilhouette(CSceneGraph3d* scene, const CVector3d& camera,
                                           bool frontFaces);
