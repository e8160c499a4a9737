#pragma once

// What the toolkit-free menu commands share: the triangle meshes of a scene
// they work on and the outcomes they leave.

#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "processing/SubdivisionCommands.h"

// The object as a triangle mesh, or null.
inline CMesh3d* AsMesh(CObject3d* object) {
  return object && object->GetType() == TYPE_MESH3D ? static_cast<CMesh3d*>(object) : nullptr;
}

// The first scene object when it is a triangle mesh.
inline CMesh3d* FirstMesh(CSceneGraph3d* scene) {
  return scene && scene->NbObject() > 0 ? AsMesh(scene->GetAt(0)) : nullptr;
}

// Every triangle mesh of the scene, in scene order.
inline std::vector<CMesh3d*> AllMeshes(CSceneGraph3d* scene) {
  std::vector<CMesh3d*> meshes;
  if (!scene) return meshes;
  for (int i = 0; i < scene->NbObject(); i++)
    if (CMesh3d* mesh = AsMesh(scene->GetAt(i))) meshes.push_back(mesh);
  return meshes;
}

// A command that changed the scene (or not), or that refused for memory.
inline CSubdivisionOutcome Changed(int changed = 1) {
  CSubdivisionOutcome outcome;
  outcome.changed = changed;
  return outcome;
}
inline CSubdivisionOutcome Refused() {
  CSubdivisionOutcome outcome;
  outcome.message = kInsufficientMemoryText;
  return outcome;
}
