#include "app/side/MultiviewPaint.h"

#include <GL/gl.h>

#include "app/OrvexDoc.h"

namespace orvex {

CRenderViewState MultiviewPaneState(const CRenderViewState& shared, int pane) {
  CRenderViewState state = shared;
  state.m_Rotation[1] += kMultiviewYOffsets[pane % kMultiviewPanes];
  return state;
}

void glPaintMultiviewPane(const CRenderViewState& paneState, const COrvexDoc& doc) {
  glClearColor(paneState.m_ClearColor[0], paneState.m_ClearColor[1], paneState.m_ClearColor[2],
               1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  paneState.glApplyModelTransform();
  doc.glApplyDisplayState();
  doc.glDraw(paneState.m_DrawOptions);
  // The same scene as lines just in front of its faces.
  glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_LIGHTING_BIT);
  glDisable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glEnable(GL_POLYGON_OFFSET_LINE);
  glPolygonOffset(-1.27f, -1.0f);
  doc.glDraw(paneState.m_DrawOptions);
  glPopAttrib();
  glPopMatrix();
  glFlush();
}

} // namespace orvex
