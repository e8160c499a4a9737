#include "app/offscreen/Snapshot.h"

#include <GL/gl.h>

#include "app/OrvexDoc.h"
#include "app/offscreen/OffscreenContext.h"
#include "geometry/GlListGroup.h"
#include "io/WritePng.h"

namespace orvex {

bool PrepareOffscreenView(COffscreenContext& context, CRenderViewState& view, int width, int height,
                          std::string& error) {
  if (!context.Create(error) || !context.MakeCurrent(width, height, error)) return false;
  view.glSetUp(width, height);
  view.glResize(width, height);
  // a framebuffer object has no back buffer: draw into its color buffer
  glDrawBuffer(GL_COLOR_ATTACHMENT0);
  return true;
}

bool RenderSnapshot(COffscreenContext& context, const COrvexDoc& doc, const CRenderViewState& view,
                    int width, int height, CRgbImage& image, std::string& error) {
  CRenderViewState state = view;
  if (!PrepareOffscreenView(context, state, width, height, error)) return false;
  CGlListGroupScope group(context.ListGroup());
  state.glPaint(doc);
  glFinish();
  return context.ReadPixels(image, error);
}

bool RenderSnapshot(const COrvexDoc& doc, const CRenderViewState& view, int width, int height,
                    CRgbImage& image, std::string& error) {
  COffscreenContext context;
  return RenderSnapshot(context, doc, view, width, height, image, error);
}

bool WriteSnapshot(const COrvexDoc& doc, const CRenderViewState& view, int width, int height,
                   const std::string& fileName, std::string& error) {
  CRgbImage image;
  if (!RenderSnapshot(doc, view, width, height, image, error)) return false;
  return WritePng(fileName, image, error) != 0;
}

} // namespace orvex
