#include "app/UndoStep.h"

#include <array>
#include <utility>

#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"

namespace orvex {

namespace {

// The document's highlight indices and switches, in a fixed order.
template <class Doc> auto HighlightFields(Doc& doc) {
  return std::array<decltype(&doc.m_HighlightVertexIndex), 6>{
      &doc.m_HighlightVertexIndex, &doc.m_HighlightSecondVertexIndex,
      &doc.m_HighlightFaceIndex,   &doc.m_bHighlightFace,
      &doc.m_bHighlightVertex,     &doc.m_bHighlightSecondVertex};
}

} // namespace

CUndoStep::CUndoStep(std::string label, const COrvexDoc& doc)
    : m_Label(std::move(label)), m_Display(doc.m_Display), m_Modified(doc.IsModified()) {
  auto fields = HighlightFields(doc);
  for (size_t i = 0; i < fields.size(); i++) m_Highlight[i] = *fields[i];
}

void CUndoStep::Exchange(COrvexDoc& doc) {
  ExchangeScene(doc.m_SceneGraph);
  ExchangeDocumentState(doc);
  // every object draws anew from what it now holds
  doc.m_SceneGraph.SetModifiedAll();
}

void CUndoStep::ExchangeDocumentState(COrvexDoc& doc) {
  auto fields = HighlightFields(doc);
  for (size_t i = 0; i < fields.size(); i++) std::swap(m_Highlight[i], *fields[i]);
  std::swap(m_Display, doc.m_Display);
  bool modified = doc.IsModified();
  doc.SetModifiedFlag(m_Modified);
  m_Modified = modified;
}

CSceneUndoStep::CSceneUndoStep(std::string label, const COrvexDoc& doc,
                               std::unique_ptr<CSceneGraph3d> copy, std::size_t bytes)
    : CUndoStep(std::move(label), doc), m_Scene(std::move(copy)), m_Bytes(bytes) {}

CSceneUndoStep::~CSceneUndoStep() = default;

void CSceneUndoStep::ExchangeScene(CSceneGraph3d& scene) {
  scene.Swap(*m_Scene);
}

std::size_t EstimateSceneBytes(const CSceneGraph3d& scene) {
  // an element, its slot in its array and its share of the links to it
  constexpr std::size_t kLink = sizeof(void*);
  constexpr std::size_t kVertex = sizeof(CVertex3d) + kLink * 13;
  constexpr std::size_t kFace = sizeof(CFace3d) + kLink;
  constexpr std::size_t kEdge = sizeof(CEdge3d) + kLink * 3;
  std::size_t bytes = sizeof(CSceneGraph3d);
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    if (object && object->GetType() == TYPE_QUAD_MESH) {
      bytes += QuadMeshBytes(*static_cast<const CQuadMesh*>(object));
      continue;
    }
    if (object && object->GetType() == TYPE_POLYGON_MESH) {
      bytes += PolygonMeshBytes(*static_cast<const CPolygonMesh*>(object));
      continue;
    }
    if (!object || object->GetType() != TYPE_MESH3D) {
      bytes += 4096;
      continue;
    }
    const auto* mesh = static_cast<const CMesh3d*>(object);
    bytes += sizeof(CMesh3d);
    bytes += kVertex *
             static_cast<std::size_t>(mesh->NbVertex() + mesh->m_ArrayDetachedVertex.GetSize());
    bytes += kFace * static_cast<std::size_t>(mesh->NbFace());
    bytes += kEdge * static_cast<std::size_t>(mesh->NbEdge());
    bytes += sizeof(float) * 2 * static_cast<std::size_t>(mesh->m_NbTextureCoordinate);
    bytes += sizeof(int) * 3 * static_cast<std::size_t>(mesh->m_NbTextureCoordinateIndex);
  }
  for (int i = 0; i < scene.NbTexture(); i++)
    if (const CTextureImage* texture = scene.GetTexture(i))
      bytes += static_cast<std::size_t>(texture->GetRowBytes() > 0 ? texture->GetRowBytes() : 0) *
               texture->GetHeight();
  return bytes;
}

} // namespace orvex
