// The panel's controls that add, remove, show and hide scene objects:
// normals, sharp edges, levels of detail, objects "0" and "1", the camera.

#include "app/OrvexDoc.h"
#include "app/PanelActions.h"
#include "app/PanelObjects.h"
#include "app/RenderViewState.h"
#include "geometry/Camera3d.h"

namespace orvex {

namespace {

CColor ToColor(PanelColor color) {
  return CColor(static_cast<unsigned char>(PanelRed(color)),
                static_cast<unsigned char>(PanelGreen(color)),
                static_cast<unsigned char>(PanelBlue(color)));
}

// A camera in the panel's color with the Opening slider's value.
void InitCamera(CCommandPanelState& panel, CCamera3d& camera) {
  const CCamera3d fresh;
  camera.m_Position = fresh.m_Position;
  camera.m_Direction = fresh.m_Direction;
  camera.m_Up = fresh.m_Up;
  camera.SetColor(ToColor(panel.m_CameraColor));
  camera.SetOpening(static_cast<float>(panel.Value(PanelSlider::Opening)));
}

} // namespace

int ToggleNormals(CPanelTarget& t) {
  CSceneGraph3d& scene = t.doc.m_SceneGraph;
  if (scene.NbObject() == 0) return 0;
  CCommandPanelState& panel = t.panel;
  panel.m_bNormalsShown = !panel.m_bNormalsShown;
  if (!panel.m_bNormalsShown) {
    DeleteVectorSets(scene, kNormalSetName);
    return 1;
  }
  const CColor color = ToColor(panel.m_VectorColor);
  AddNormalSets(scene, static_cast<float>(panel.Value(PanelSlider::NormalsScale)), color.r, color.g,
                color.b);
  return 1;
}

int SetNormalsColor(CPanelTarget& t, PanelColor color) {
  t.panel.m_VectorColor = color;
  return 1;
}

int ToggleSharpEdges(CPanelTarget& t, double threshold) {
  CSceneGraph3d& scene = t.doc.m_SceneGraph;
  if (scene.NbObject() == 0) return 0;
  CCommandPanelState& panel = t.panel;
  panel.m_Threshold = threshold;
  panel.m_bSharpEdgesShown = !panel.m_bSharpEdgesShown;
  if (!panel.m_bSharpEdgesShown) {
    DeleteVectorSets(scene, kSharpEdgeSetName);
    return 1;
  }
  AddSharpEdgeSets(scene, threshold);
  return 1;
}

int LodInit(CPanelTarget& t) {
  CSceneGraph3d& scene = t.doc.m_SceneGraph;
  if (scene.NbObject() < 2) return 0;
  CCommandPanelState& panel = t.panel;
  panel.m_LodMode = 1;
  panel.m_bLodEnabled = 1;
  panel.m_LodMax = scene.NbObject() - 1;
  panel.SetPosition(PanelSlider::Lod, 0);
  ShowLodLevel(panel, scene);
  return 1;
}

// Every object Init hid is shown again (not only the triangle meshes:
// others would stay hidden for good).
int LodRestore(CPanelTarget& t) {
  CSceneGraph3d& scene = t.doc.m_SceneGraph;
  for (int i = 0; i < scene.NbObject(); i++) scene.GetAt(i)->Show(1);
  t.panel.m_LodMode = 0;
  t.panel.m_bLodEnabled = 0;
  return 1;
}

int ToggleObject(CPanelTarget& t, int index) {
  CSceneGraph3d& scene = t.doc.m_SceneGraph;
  if (index < 0 || index >= scene.NbObject()) return 0;
  int& shown = index == 0 ? t.panel.m_bObject0 : t.panel.m_bObject1;
  shown = !shown;
  scene.GetAt(index)->Show(shown);
  return 1;
}

int CameraAdd(CPanelTarget& t) {
  CCommandPanelState& panel = t.panel;
  if (panel.Camera(t.doc.m_SceneGraph)) return 0;
  auto* camera = new CCamera3d;
  InitCamera(panel, *camera);
  t.doc.m_SceneGraph.Add(camera);
  panel.m_pCamera = camera;
  return 1;
}

int CameraRemove(CPanelTarget& t) {
  CSceneGraph3d& scene = t.doc.m_SceneGraph;
  CCamera3d* camera = t.panel.Camera(scene);
  if (!camera) return 0;
  scene.DeleteAt(scene.Find(camera));
  t.panel.m_pCamera = nullptr;
  return 1;
}

// Camera mode moves the scene's first camera, whoever added it.
int CameraMove(CPanelTarget& t) {
  if (!t.doc.m_SceneGraph.FindObjectOfType(TYPE_CAMERA)) return 0;
  t.panel.m_bCameraMove = !t.panel.m_bCameraMove;
  if (t.view) t.view->m_bCameraMode = !t.view->m_bCameraMode;
  return 1;
}

int CameraInit(CPanelTarget& t) {
  CCamera3d* camera = t.panel.Camera(t.doc.m_SceneGraph);
  if (!camera) return 0;
  InitCamera(t.panel, *camera);
  return 1;
}

int SetCameraColor(CPanelTarget& t, PanelColor color) {
  t.panel.m_CameraColor = color;
  if (CCamera3d* camera = t.panel.Camera(t.doc.m_SceneGraph)) camera->SetColor(ToColor(color));
  return 1;
}

} // namespace orvex
