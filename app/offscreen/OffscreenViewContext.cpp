#include "app/offscreen/OffscreenViewContext.h"

#include <GL/gl.h>

#include <memory>

#include "app/OrvexDoc.h"
#include "app/offscreen/OffscreenContext.h"
#include "app/offscreen/Snapshot.h"
#include "geometry/GlListGroup.h"

namespace orvex {

ViewContextProvider OffscreenViewContextProvider() {
  auto context = std::make_shared<COffscreenContext>();
  return [context](const COrvexDoc& doc, const CRenderViewState& view, bool paint,
                   const ViewContextWork& work, std::string& error) {
    CRenderViewState state = view;
    if (!PrepareOffscreenView(*context, state, view.m_Width, view.m_Height, error)) return false;
    CGlListGroupScope group(context->ListGroup());
    if (paint) {
      state.glPaint(doc);
      glFinish();
    }
    return work(state, error);
  };
}

} // namespace orvex
