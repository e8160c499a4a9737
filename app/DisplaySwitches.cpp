#include "app/DisplaySwitches.h"

#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"

namespace orvex {

void SetSmoothShading(COrvexDoc& doc, int smooth) {
  doc.m_Display.m_bSmoothShading = smooth ? 1 : 0;
  doc.m_Display.m_PanelGouraud = smooth ? 1 : 0;
  CSceneGraph3d& scene = doc.m_SceneGraph;
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    if (object->GetType() == TYPE_MESH3D)
      static_cast<CMesh3d*>(object)->SetNormalBinding(smooth ? 0 : 1);
    else
      object->SetModified();
  }
}

} // namespace orvex
