#include "app/SceneMaterials.h"

#include "geometry/Mesh3d.h"
#include "geometry/QuadMesh.h"
#include "geometry/SceneGraph3d.h"

namespace orvex {

int ForEachSceneMaterial(CSceneGraph3d& scene, const std::function<void(CMaterial&)>& change) {
  int count = 0;
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    if (!object) continue;
    const int type = object->GetType();
    if (type == TYPE_MESH3D) {
      change(static_cast<CMesh3d*>(object)->m_Material);
      count++;
    } else if (type == TYPE_QUAD_MESH) {
      change(static_cast<CQuadMesh*>(object)->m_Material);
      object->SetModified();
      count++;
    }
  }
  return count;
}

} // namespace orvex
