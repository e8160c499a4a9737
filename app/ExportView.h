#pragma once

#include "app/BatchRunner.h"
#include "app/RenderViewState.h"
#include "processing/VectorDrawing.h"

namespace orvex {

// The view as the export commands see it: a view that never had a window
// (the batch runner's) gets the size of a default snapshot.
inline CRenderViewState ExportView(const CRenderViewState& view) {
  CRenderViewState sized = view;
  if (sized.m_Width <= 0 || sized.m_Height <= 0) {
    sized.m_Width = kSnapshotWidth;
    sized.m_Height = kSnapshotHeight;
  }
  return sized;
}

// The matrices and viewport the vector drawings project with.
inline CVectorView VectorViewOf(const CRenderViewState& view) {
  const CViewMatrices matrices = ExportView(view).ComputeMatrices();
  CVectorView out;
  for (int i = 0; i < 16; i++) {
    out.modelView[i] = matrices.m_ModelView[i];
    out.projection[i] = matrices.m_Projection[i];
  }
  for (int i = 0; i < 4; i++) out.viewport[i] = matrices.m_Viewport[i];
  return out;
}

} // namespace orvex
