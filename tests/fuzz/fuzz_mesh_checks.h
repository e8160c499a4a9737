#pragma once

// Checks that every face a reader created points at vertices of its own
// mesh, so that garbage geometry shows up as a crash.

#include <cstdlib>
#include <unordered_set>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"

inline void CheckMesh(const CMesh3d& mesh) {
  std::unordered_set<const CVertex3d*> vertices(mesh.m_ArrayVertex.begin(),
                                                mesh.m_ArrayVertex.end());
  for (const CFace3d* f : mesh.m_ArrayFace)
    for (int k = 0; k < 3; k++)
      if (!f || !vertices.count(f->v(k))) std::abort();
  if (mesh.m_pTextureCoordinateIndex) {
    for (int i = 0; i < 3 * mesh.m_NbTextureCoordinateIndex; i++) {
      const int t = mesh.m_pTextureCoordinateIndex[i];
      if (t < 0 || t >= mesh.m_NbTextureCoordinate) std::abort();
    }
  }
}

inline void CheckScene(const CSceneGraph3d& scene) {
  for (CObject3d* object : scene.m_ArrayObject) {
    if (object->GetType() != TYPE_MESH3D) std::abort();
    const CMesh3d* mesh = static_cast<CMesh3d*>(object);
    CheckMesh(*mesh);
    if (mesh->m_IndexTexture >= scene.NbTexture()) std::abort();
  }
}
