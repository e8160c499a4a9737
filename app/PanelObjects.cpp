#include "app/PanelObjects.h"

#include <string>

#include "app/CommandPanelState.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VectorSet3d.h"

namespace orvex {

namespace {

CVectorSet3d* AsVectorSet(CObject3d* object, const char* name) {
  if (!object || object->GetType() != TYPE_VECTORSET3D) return nullptr;
  auto* set = static_cast<CVectorSet3d*>(object);
  return !name || set->m_Name == name ? set : nullptr;
}

// Adds make(mesh) for every triangle mesh of the scene (the meshes there
// before the first set was added); returns how many sets were added.
template <typename Make> int AddPerMesh(CSceneGraph3d& scene, Make make) {
  const int count = scene.NbObject();
  int added = 0;
  for (int i = 0; i < count; i++) {
    CObject3d* object = scene.GetAt(i);
    if (!object || object->GetType() != TYPE_MESH3D) continue;
    if (CVectorSet3d* set = make(static_cast<CMesh3d*>(object))) {
      scene.Add(set);
      added++;
    }
  }
  return added;
}

// Face count of an object that has faces, else 0.
int FacesOf(CObject3d* object) {
  switch (object->GetType()) {
  case TYPE_MESH3D:
    return static_cast<CMesh3d*>(object)->NbFace();
  case TYPE_QUAD_MESH:
    return static_cast<CQuadMesh*>(object)->NbFace();
  case TYPE_POLYGON_MESH:
    return static_cast<CPolygonMesh*>(object)->NbFace();
  default:
    return 0;
  }
}

std::string NameOf(CObject3d* object) {
  if (object->GetType() == TYPE_MESH3D) return static_cast<CMesh3d*>(object)->m_Name;
  if (CVectorSet3d* set = AsVectorSet(object, nullptr)) return set->m_Name;
  return std::string();
}

} // namespace

void ForEachVectorSet(CSceneGraph3d& scene, const char* name,
                      const std::function<void(CVectorSet3d&)>& change) {
  for (int i = 0; i < scene.NbObject(); i++)
    if (CVectorSet3d* set = AsVectorSet(scene.GetAt(i), name)) change(*set);
}

int DeleteVectorSets(CSceneGraph3d& scene, const char* name) {
  int removed = 0;
  for (int i = scene.NbObject() - 1; i >= 0; i--)
    if (AsVectorSet(scene.GetAt(i), name)) {
      scene.DeleteAt(i);
      removed++;
    }
  return removed;
}

int AddNormalSets(CSceneGraph3d& scene, float lengthFactor, unsigned char r, unsigned char g,
                  unsigned char b) {
  return AddPerMesh(scene, [&](CMesh3d* mesh) {
    CVectorSet3d* set = NewFaceNormalSet(mesh);
    set->SetLengthFactor(lengthFactor);
    set->SetColor(CColor(r, g, b));
    return set;
  });
}

int AddSharpEdgeSets(CSceneGraph3d& scene, double threshold) {
  return AddPerMesh(scene, [threshold](CMesh3d* mesh) {
    CVectorSet3d* set = NewSharpEdgeSet(mesh, threshold);
    if (set) {
      set->SetLengthFactor(1.0f);
      set->SetColor(CColor(255, 0, 0));
    }
    return set;
  });
}

void ShowLodLevel(CCommandPanelState& panel, CSceneGraph3d& scene) {
  const int count = scene.NbObject();
  if (count == 0) return;
  // objects may have gone since Init: the slider stays inside the scene
  panel.m_LodMax = count - 1;
  panel.SetPosition(PanelSlider::Lod, panel.Position(PanelSlider::Lod));
  const int selected = panel.Position(PanelSlider::Lod);
  for (int i = 0; i < count; i++) scene.GetAt(i)->Show(i == selected ? 1 : 0);
  CObject3d* object = scene.GetAt(selected);
  panel.m_LodName = NameOf(object);
  panel.m_LodFaces = FacesOf(object);
}

} // namespace orvex
