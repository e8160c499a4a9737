#include "app/ViewProjection.h"

#include "app/OrvexDoc.h"

namespace orvex {

int ProjectWithViewMatrices(COrvexDoc& doc, const CRenderViewState& view, int index, int flag,
                            const ProjectionRoutine& project) {
  CObject3d* object = doc.m_SceneGraph.GetAt(index);
  if (!object || !project) return 0;
  project(*object, view.ComputeMatrices(), flag);
  return 1;
}

} // namespace orvex
