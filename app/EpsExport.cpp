#include "app/EpsExport.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "geometry/Mesh3d.h"

namespace orvex {

namespace {

// One feedback pass into a buffer of size floats: the count GL reports,
// negative when the buffer overflowed.
long DrawInFeedback(const COrvexDoc& doc, const CRenderViewState& view,
                    std::vector<float>& buffer) {
  glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR, buffer.data());
  glRenderMode(GL_FEEDBACK);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  view.glApplyModelTransform();
  doc.glApplyDisplayState();
  CDrawOptions options = view.m_DrawOptions;
  options.m_DisplayLists = false;
  doc.m_SceneGraph.glDrawContent(0, options);
  glPopMatrix();
  return long(glRenderMode(GL_RENDER));
}

// A first buffer large enough for the triangle meshes drawn whole (a
// polygon record of 3 vertices is 23 floats), so that a large scene is
// not drawn once per doubling; between least and most.
long FirstBufferFloats(const COrvexDoc& doc, long least, long most) {
  long faces = 0;
  for (int i = 0; i < doc.m_SceneGraph.NbObject(); i++) {
    CObject3d* object = doc.m_SceneGraph.GetAt(i);
    if (object && object->GetType() == TYPE_MESH3D)
      faces += static_cast<const CMesh3d*>(object)->NbFace();
  }
  const long wanted = faces / 8 * 9 * 23 + 1024; // an eighth more for clipped faces
  return std::min(most, std::max(least, wanted));
}

} // namespace

bool CaptureFeedback(const COrvexDoc& doc, const CRenderViewState& view, CFeedbackScene& scene,
                     CEpsPage& page, std::string& error, long firstFloats, long maxFloats) {
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  for (int i = 0; i < 4; i++) page.viewport[i] = float(viewport[i]);
  GLfloat clear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  for (int i = 0; i < 3; i++) page.clearColor[i] = clear[i];
  glGetFloatv(GL_POINT_SIZE, &page.pointSize);

  // an overflow doubles the buffer and draws again, up to the largest one
  for (long size = FirstBufferFloats(doc, firstFloats, maxFloats);;
       size = std::min(maxFloats, size * 2)) {
    std::vector<float> buffer(size_t(size), 0.0f);
    const long count = DrawInFeedback(doc, view, buffer);
    if (count >= 0) {
      scene = CFeedbackScene();
      return ParseFeedback(buffer.data(), count, scene, error);
    }
    if (size >= maxFloats) {
      error = "Scene too large for EPS export";
      return false;
    }
  }
}

} // namespace orvex
