// The virtual drawing operations of the core classes, forwarded to the
// installed renderer (ObjectRenderer.h).

#include "geometry/ObjectRenderer.h"

#include <atomic>

#include "geometry/Camera3d.h"
#include "geometry/Face3d.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/TilingMesh3d.h"
#include "geometry/VectorSet3d.h"
#include "geometry/Vertex3d.h"
#include "geometry/VisualModeChooser3d.h"

namespace {
std::atomic<const CObjectRenderer*> g_Renderer{nullptr};

// Calls the renderer's entry `member` for object; 0 when none is installed.
template <class Fn, class Object> int Forward(Fn CObjectRenderer::*member, const Object& object) {
  const CObjectRenderer* renderer = g_Renderer.load(std::memory_order_acquire);
  if (!renderer || !(renderer->*member)) return 0;
  return (renderer->*member)(object);
}

template <class Fn, class Object>
void ForwardVoid(Fn CObjectRenderer::*member, const Object& object) {
  const CObjectRenderer* renderer = g_Renderer.load(std::memory_order_acquire);
  if (renderer && renderer->*member) (renderer->*member)(object);
}
} // namespace

void SetObjectRenderer(const CObjectRenderer* renderer) {
  g_Renderer.store(renderer, std::memory_order_release);
}

const CObjectRenderer* InstalledObjectRenderer() {
  return g_Renderer.load(std::memory_order_acquire);
}

int CMesh3d::glBuildList() const {
  return Forward(&CObjectRenderer::meshBuild, *this);
}

int CMesh3d::glDraw() const {
  return Forward(&CObjectRenderer::meshDraw, *this);
}

int CVertex3d::glDraw() const {
  return Forward(&CObjectRenderer::vertexDraw, *this);
}

void CFace3d::glDrawHighlight(const CColor& color, const CTransform* transform,
                              const CColor* neighborColor) const {
  const CObjectRenderer* renderer = g_Renderer.load(std::memory_order_acquire);
  if (renderer && renderer->faceHighlight)
    renderer->faceHighlight(*this, color, transform, neighborColor);
}

int CCamera3d::glDraw() const {
  return Forward(&CObjectRenderer::cameraDraw, *this);
}

int CVectorSet3d::glBuildList() const {
  return Forward(&CObjectRenderer::vectorSetBuild, *this);
}

int CVectorSet3d::glDraw() const {
  return Forward(&CObjectRenderer::vectorSetDraw, *this);
}

int CQuadMesh::glBuildList() const {
  return Forward(&CObjectRenderer::quadBuild, *this);
}

int CQuadMesh::glDraw() const {
  return Forward(&CObjectRenderer::quadDraw, *this);
}

void CQuadMesh::DrawContent() const {
  ForwardVoid(&CObjectRenderer::quadContent, *this);
}

int CPolygonMesh::glBuildList() const {
  return Forward(&CObjectRenderer::polygonBuild, *this);
}

int CPolygonMesh::glDraw() const {
  return Forward(&CObjectRenderer::polygonDraw, *this);
}

void CPolygonMesh::DrawContent() const {
  ForwardVoid(&CObjectRenderer::polygonContent, *this);
}

int CVisualModeChooser3d::glDraw() const {
  return Forward(&CObjectRenderer::chooserDraw, *this);
}

int CSceneGraph3d::glBuildList() const {
  return Forward(&CObjectRenderer::sceneBuild, *this);
}

int CTilingMesh3d::glBuildList() const {
  return Forward(&CObjectRenderer::tilingBuild, *this);
}

int CTilingMesh3d::glDraw() const {
  return Forward(&CObjectRenderer::tilingDraw, *this);
}
