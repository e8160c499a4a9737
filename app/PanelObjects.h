#pragma once

// The scene objects the command panel adds and steps through: normal and
// sharp-edge vector sets, the levels of detail.

#include <functional>

class CSceneGraph3d;
class CVectorSet3d;

namespace orvex {

class CCommandPanelState;

constexpr const char* kNormalSetName = "NormalSet";
constexpr const char* kSharpEdgeSetName = "SharpEdgesSet";

// Runs change on every vector set of the scene named `name` (every vector
// set when name is null).
void ForEachVectorSet(CSceneGraph3d& scene, const char* name,
                      const std::function<void(CVectorSet3d&)>& change);
// Removes and deletes every vector set named `name`, and only those;
// returns how many went.
int DeleteVectorSets(CSceneGraph3d& scene, const char* name);

// One set of face normals per triangle mesh (from the face centroids),
// with the given length factor and color; returns how many were added.
int AddNormalSets(CSceneGraph3d& scene, float lengthFactor, unsigned char r, unsigned char g,
                  unsigned char b);
// One set of sharp edges per triangle mesh that has any, length factor 1,
// red; returns how many were added.
int AddSharpEdgeSets(CSceneGraph3d& scene, double threshold);

// Shows only the object at the LOD slider's position and fills the
// panel's "Name", "Faces" and "Index" from it.
void ShowLodLevel(CCommandPanelState& panel, CSceneGraph3d& scene);

} // namespace orvex
