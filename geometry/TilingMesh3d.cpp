// Tiles, polygons of tiles and the tiling mesh's own bookkeeping (growth
// and the other algorithms live in processing/Tiling*.cpp).

#include "geometry/TilingMesh3d.h"

#include <algorithm>

#include "geometry/VertexIndexMap.h"

int CTile3d::HasNeighbor(const CTile3d* t) const {
  return std::find(m_ArrayNeighbor.begin(), m_ArrayNeighbor.end(), t) != m_ArrayNeighbor.end();
}

int CTile3d::Link(CTile3d* t) {
  if (!t || t == this) return 0;
  int added = 0;
  if (!HasNeighbor(t)) {
    m_ArrayNeighbor.push_back(t);
    added = 1;
  }
  if (!t->HasNeighbor(this)) {
    t->m_ArrayNeighbor.push_back(this);
    added = 1;
  }
  return added;
}

void CTile3d::SetPosition(const CVector3d& p) {
  m_Position[0] = static_cast<float>(p.x);
  m_Position[1] = static_cast<float>(p.y);
  m_Position[2] = static_cast<float>(p.z);
}

double CTile3d::SizeMeasure() const {
  if (m_pFace) return m_pFace->Perimeter() / 3.0;
  if (!m_pVertex || m_pVertex->NbNeighbor() == 0) return 0.0;
  double sum = 0.0;
  for (int i = 0; i < m_pVertex->NbNeighbor(); i++)
    sum += Distance(m_pVertex, m_pVertex->GetNeighbor(i));
  return sum / m_pVertex->NbNeighbor();
}

CTile3d* CTilingMesh3d::AddTile(CVertex3d* centre, CFace3d* face) {
  auto tile = std::make_unique<CTile3d>();
  tile->m_pVertex = centre;
  tile->m_pFace = face;
  tile->m_Index = NbTile();
  m_ArrayTile.push_back(std::move(tile));
  return m_ArrayTile.back().get();
}

void CTilingMesh3d::ClearTiles() {
  m_ArrayPolygon.clear();
  m_ArrayTile.clear();
  m_FaceTile.clear();
  SetModified();
}

CTilingMesh3d* CTilingMesh3d::Clone() const {
  std::unique_ptr<CMesh3d> mesh(CMesh3d::Clone());
  auto clone = std::make_unique<CTilingMesh3d>();
  clone->CMesh3d::Swap(*mesh);

  // elements of the copy are at the same indices in the clone; a face
  // tile's face is found through the faces' tile records
  const CVertexIndexMap vertexIndex(m_ArrayVertex);
  std::vector<int> faceOfTile(m_ArrayTile.size(), -1);
  const int nf = std::min(NbFace(), static_cast<int>(m_FaceTile.size()));
  for (int i = 0; i < nf; i++) {
    const CTile3d* t = m_FaceTile[size_t(i)];
    if (t && t->m_pFace == GetFace(i)) faceOfTile[size_t(t->m_Index)] = i;
  }

  for (const auto& tile : m_ArrayTile) {
    const int v = vertexIndex.IndexOf(tile->m_pVertex);
    const int f = faceOfTile[size_t(tile->m_Index)];
    CTile3d* copy = clone->AddTile(v >= 0 ? clone->GetVertex(v) : nullptr,
                                   f >= 0 ? clone->GetFace(f) : nullptr);
    std::copy(tile->m_Position, tile->m_Position + 3, copy->m_Position);
    copy->m_Drawn = tile->m_Drawn;
  }
  for (const auto& tile : m_ArrayTile)
    for (const CTile3d* n : tile->m_ArrayNeighbor)
      clone->GetTile(tile->m_Index)->m_ArrayNeighbor.push_back(clone->GetTile(n->m_Index));
  for (const auto& polygon : m_ArrayPolygon) {
    auto copy = std::make_unique<CTilePolygon3d>();
    for (const CTile3d* t : polygon->m_ArrayTile)
      copy->m_ArrayTile.push_back(clone->GetTile(t->m_Index));
    copy->m_Closed = polygon->m_Closed;
    clone->m_ArrayPolygon.push_back(std::move(copy));
  }
  clone->m_FaceTile.resize(m_FaceTile.size(), nullptr);
  for (size_t i = 0; i < m_FaceTile.size(); i++)
    if (m_FaceTile[i]) clone->m_FaceTile[i] = clone->GetTile(m_FaceTile[i]->m_Index);
  return clone.release();
}
