// The panel's controls that mark faces from its camera: "Forward" refines
// the marked faces, "Silhouette", "Camera view" and "Twice" colour them.

#include "app/OrvexDoc.h"
#include "app/PanelActions.h"
#include "geometry/Camera3d.h"
#include "geometry/Mesh3d.h"
#include "processing/FaceColoring.h"
#include "processing/LoopSubdivision.h"
#include "processing/Silhouette.h"

namespace orvex {

namespace {

// Flag of the faces "Forward" refines, and of the silhouette faces.
constexpr int kMarked = 1;
// Flag of the faces seen from the camera when marks are coloured, so that
// they show apart from the silhouette faces.
constexpr int kSeen = 2;

// Runs mark on every triangle mesh with the panel's camera position;
// 0 without a camera or a mesh.
template <typename Mark> int OnEveryMesh(CPanelTarget& t, Mark mark) {
  CSceneGraph3d& scene = t.doc.m_SceneGraph;
  CCamera3d* camera = t.panel.Camera(scene);
  if (!camera) return 0;
  const CVector3d eye = camera->m_Position;
  int meshes = 0;
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    if (!object || object->GetType() != TYPE_MESH3D) continue;
    auto* mesh = static_cast<CMesh3d*>(object);
    if (mesh->NbFace() == 0) continue;
    mark(mesh, eye);
    meshes++;
  }
  return meshes > 0 ? 1 : 0;
}

} // namespace

// Marks start from a clean slate: flags left by an earlier command would
// otherwise be refined as well.
int CameraForward(CPanelTarget& t, int cameraMarks, int silhouetteMarks) {
  t.panel.m_bCameraMarking = cameraMarks ? 1 : 0;
  t.panel.m_bSilhouetteMarking = silhouetteMarks ? 1 : 0;
  return OnEveryMesh(t, [cameraMarks, silhouetteMarks](CMesh3d* mesh, const CVector3d& eye) {
    mesh->SetFlagOnFaces(0);
    if (cameraMarks) FlagFrontFaces(mesh, eye, kMarked);
    if (silhouetteMarks) FlagSilhouette(mesh, eye);
    if (mesh->NbFaceWithFlag(kMarked) == 0) return;
    SubdivisionAdaptive(mesh, kMarked);
  });
}

int ColorCameraMarks(CPanelTarget& t, CameraMarks marks) {
  return OnEveryMesh(t, [marks](CMesh3d* mesh, const CVector3d& eye) {
    mesh->SetFlagOnFaces(0);
    if (marks != CameraMarks::CameraView) FlagSilhouette(mesh, eye);
    if (marks != CameraMarks::Silhouette) FlagFrontFaces(mesh, eye, kSeen);
    ColorFacesByFlag(mesh);
  });
}

} // namespace orvex
