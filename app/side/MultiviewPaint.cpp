#include "app/side/MultiviewPaint.h"

#include <GL/gl.h>

#include "app/CaptureClientPixels.h"
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
  doc.glDrawAsLines(paneState.m_DrawOptions, -1.27f, -1.0f);
  glPopMatrix();
  glFlush();
}

bool glRenderMultiviewPicture(const CRenderViewState& shared, const COrvexDoc& doc, int paneWidth,
                              int paneHeight, CRgbImage& picture) {
  glEnable(GL_SCISSOR_TEST);
  for (int pane = 0; pane < kMultiviewPanes; ++pane) {
    // Panes from the top left; GL counts rows from the bottom.
    const int x = (pane % 2) * paneWidth, y = (1 - pane / 2) * paneHeight;
    CRenderViewState state = MultiviewPaneState(shared, pane);
    state.glResize(paneWidth, paneHeight);
    glViewport(x, y, paneWidth, paneHeight);
    glScissor(x, y, paneWidth, paneHeight);
    glPaintMultiviewPane(state, doc);
  }
  glDisable(GL_SCISSOR_TEST);
  glViewport(0, 0, 2 * paneWidth, 2 * paneHeight);
  glFinish();
  return CaptureClientPixels(2 * paneWidth, 2 * paneHeight, picture);
}

} // namespace orvex
