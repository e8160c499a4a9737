#pragma once

#include <functional>

class CMaterial;
class CSceneGraph3d;

namespace orvex {

// Runs change on the material of every triangle mesh and quad mesh of the
// scene; returns how many there were. Triangle meshes apply their material
// outside their display lists and keep them; a quad mesh compiles its
// material into its list, which is rebuilt.
int ForEachSceneMaterial(CSceneGraph3d& scene, const std::function<void(CMaterial&)>& change);

} // namespace orvex
