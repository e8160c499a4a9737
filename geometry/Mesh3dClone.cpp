// Faithful copies and exchanges of whole meshes: Clone copies every element
// with all its attributes and links (mapped into the clone), Swap exchanges
// the contents of two meshes, and the move operations are built on Swap.

#include <memory>
#include <utility>
#include <vector>

#include "geometry/Mesh3d.h"

namespace {

// The clone of each element of one kind, found by the source element's
// address. Pointers to elements the source does not own (or null) map to
// themselves.
template <class T> class CCloneMap {
public:
  // Gives every distinct element of source a clone (made by make) and lists
  // the clones in target in the same order; an element listed twice is
  // cloned once and listed twice, a null entry stays null.
  template <class Make> void CloneList(const CArray3d<T>& source, CArray3d<T>& target, Make make) {
    target.Reserve(source.GetSize());
    for (T* p : source) {
      if (p && m_Index.Set(p, static_cast<int>(m_Made.size()))) m_Made.push_back(make(p));
      target.Add(Map(p));
    }
  }
  void Reserve(std::size_t count) { m_Index.Reset(count); }
  T* Map(T* p) const {
    int i = m_Index.Get(p);
    return i < 0 ? p : m_Made[static_cast<size_t>(i)];
  }
  const std::vector<T*>& Made() const { return m_Made; }

private:
  CSlotIndex m_Index;
  std::vector<T*> m_Made;
};

template <class T, int N>
void MapList(const CArray3d<T, N>& source, CArray3d<T, N>& target, const CCloneMap<T>& map) {
  target.Reserve(source.GetSize());
  for (T* p : source) target.Add(map.Map(p));
}

struct CCloneMaps {
  CCloneMap<CVertex3d> vertices;
  CCloneMap<CFace3d> faces;
  CCloneMap<CEdge3d> edges;
};

// Attributes and links of a vertex clone; undo records are not carried.
void CopyVertex(const CVertex3d* s, CVertex3d* c, const CCloneMaps& maps) {
  c->x = s->x;
  c->y = s->y;
  c->z = s->z;
  c->m_Normal = s->m_Normal;
  c->m_Color = s->m_Color;
  c->m_Flag = s->m_Flag;
  MapList(s->m_ArrayVertexNeighbor, c->m_ArrayVertexNeighbor, maps.vertices);
  MapList(s->m_ArrayFaceNeighbor, c->m_ArrayFaceNeighbor, maps.faces);
  if (!s->HasExtra()) return;
  // the side block: saved position, counter and tags as they are, links mapped
  const CVertexExtra3d& se = s->Extra();
  CVertexExtra3d& ce = c->MutableExtra();
  ce.sx = se.sx;
  ce.sy = se.sy;
  ce.sz = se.sz;
  ce.m_Counter = se.m_Counter;
  ce.m_TagA = se.m_TagA;
  ce.m_TagB = se.m_TagB;
  ce.m_TagD = se.m_TagD;
  ce.m_pTarget = maps.vertices.Map(se.m_pTarget);
  ce.m_Id = se.m_Id;
  MapList(se.m_ArrayEdge, ce.m_ArrayEdge, maps.edges);
}

void CopyFace(const CFace3d* s, CFace3d* c, const CCloneMaps& maps) {
  for (int k = 0; k < 3; k++) c->m_pVertex[k] = maps.vertices.Map(s->m_pVertex[k]);
  for (int k = 0; k < 3; k++) c->m_pFace[k] = maps.faces.Map(s->m_pFace[k]);
  c->m_Normal = s->m_Normal;
  c->m_Color = s->m_Color;
  c->m_Flag = s->m_Flag;
  if (s->HasExtra()) {
    c->MutableExtra().m_Aux = s->GetAux();
    c->MutableExtra().m_Tag = s->GetTag();
    c->MutableExtra().m_Id = s->GetId();
  }
}

void CopyEdge(const CEdge3d* s, CEdge3d* c, const CCloneMaps& maps) {
  c->m_pVertex1 = maps.vertices.Map(s->m_pVertex1);
  c->m_pVertex2 = maps.vertices.Map(s->m_pVertex2);
  c->m_pFace1 = maps.faces.Map(s->m_pFace1);
  c->m_pFace2 = maps.faces.Map(s->m_pFace2);
  c->m_Tag = s->m_Tag;
}

// Mesh-wide attributes; the clone has no display list of its own yet.
void CopyMeshAttributes(const CMesh3d& s, CMesh3d& c) {
  c.m_Color = s.m_Color;
  c.m_Transform = s.m_Transform;
  c.m_Name = s.m_Name;
  c.m_Material = s.m_Material;
  c.m_NormalBinding = s.m_NormalBinding;
  c.m_ColorBinding = s.m_ColorBinding;
  c.m_UseMeshColor = s.m_UseMeshColor;
  c.m_PositionsSwapped = s.m_PositionsSwapped;
  c.m_DisplayListMode = s.m_DisplayListMode;
  c.m_IndexTexture = s.m_IndexTexture;
  c.SetTextureCoordinates(s.m_pTextureCoordinate, s.m_NbTextureCoordinate,
                          s.m_pTextureCoordinateIndex, s.m_NbTextureCoordinateIndex);
  c.m_Show = s.m_Show;
  c.m_ShowGrid = s.m_ShowGrid;
  if (s.m_pGrid && c.AllocateGrid(s.m_nx, s.m_ny, s.m_nz))
    for (int i = 0; i < s.m_nx; i++)
      for (int j = 0; j < s.m_ny; j++)
        for (int k = 0; k < s.m_nz; k++) c.m_pGrid[i][j][k] = s.m_pGrid[i][j][k];
  c.m_Modified = 1;
}

} // namespace

CMesh3d* CMesh3d::Clone() const {
  auto clone = std::make_unique<CMesh3d>();
  CCloneMaps maps;

  // the elements, array by array, in the same order
  maps.vertices.Reserve(static_cast<size_t>(NbVertex() + m_ArrayDetachedVertex.GetSize()));
  maps.faces.Reserve(static_cast<size_t>(NbFace()));
  maps.edges.Reserve(static_cast<size_t>(NbEdge()));
  auto newVertex = [](CVertex3d*) { return new CVertex3d; };
  maps.vertices.CloneList(m_ArrayVertex, clone->m_ArrayVertex, newVertex);
  maps.vertices.CloneList(m_ArrayDetachedVertex, clone->m_ArrayDetachedVertex, newVertex);
  maps.faces.CloneList(m_ArrayFace, clone->m_ArrayFace, [](CFace3d*) { return new CFace3d; });
  maps.edges.CloneList(m_ArrayEdge, clone->m_ArrayEdge, [](CEdge3d*) { return new CEdge3d; });

  // their attributes and links, now that every clone exists
  CCloneMaps& m = maps;
  for (CVertex3d* v : m_ArrayVertex)
    if (v) CopyVertex(v, m.vertices.Map(v), m);
  for (CVertex3d* v : m_ArrayDetachedVertex)
    if (v) CopyVertex(v, m.vertices.Map(v), m);
  for (CFace3d* f : m_ArrayFace)
    if (f) CopyFace(f, m.faces.Map(f), m);
  for (CEdge3d* e : m_ArrayEdge)
    if (e) CopyEdge(e, m.edges.Map(e), m);

  // the stable ids, under the same numbers
  for (CVertex3d* v : clone->m_ArrayVertex)
    if (v) clone->m_VertexIds.Put(v->GetId(), v);
  for (CFace3d* f : clone->m_ArrayFace)
    if (f) clone->m_FaceIds.Put(f->GetId(), f);
  if (clone->m_VertexIds.Count() < m_VertexIds.Count())
    clone->m_VertexIds.Put(static_cast<std::uint32_t>(m_VertexIds.Count()), nullptr);
  if (clone->m_FaceIds.Count() < m_FaceIds.Count())
    clone->m_FaceIds.Put(static_cast<std::uint32_t>(m_FaceIds.Count()), nullptr);

  CopyMeshAttributes(*this, *clone);
  return clone.release();
}

void CMesh3d::Swap(CMesh3d& other) noexcept {
  if (this == &other) return;
  m_ArrayVertex.Swap(other.m_ArrayVertex);
  m_ArrayFace.Swap(other.m_ArrayFace);
  m_ArrayEdge.Swap(other.m_ArrayEdge);
  std::swap(m_Color, other.m_Color);
  std::swap(m_Transform, other.m_Transform);
  m_Name.swap(other.m_Name);
  std::swap(m_Material, other.m_Material);
  std::swap(m_NormalBinding, other.m_NormalBinding);
  std::swap(m_ColorBinding, other.m_ColorBinding);
  std::swap(m_UseMeshColor, other.m_UseMeshColor);
  std::swap(m_PositionsSwapped, other.m_PositionsSwapped);
  std::swap(m_DisplayListMode, other.m_DisplayListMode);
  std::swap(m_IndexTexture, other.m_IndexTexture);
  std::swap(m_pTextureCoordinate, other.m_pTextureCoordinate);
  std::swap(m_pTextureCoordinateIndex, other.m_pTextureCoordinateIndex);
  std::swap(m_NbTextureCoordinate, other.m_NbTextureCoordinate);
  std::swap(m_NbTextureCoordinateIndex, other.m_NbTextureCoordinateIndex);
  m_GlList.Swap(other.m_GlList);
  std::swap(m_Revision, other.m_Revision);
  std::swap(m_Modified, other.m_Modified);
  std::swap(m_Show, other.m_Show);
  std::swap(m_pGrid, other.m_pGrid);
  std::swap(m_nx, other.m_nx);
  std::swap(m_ny, other.m_ny);
  std::swap(m_nz, other.m_nz);
  std::swap(m_ShowGrid, other.m_ShowGrid);
  m_ArrayDetachedVertex.Swap(other.m_ArrayDetachedVertex);
  std::swap(m_HistoryFreeAt, other.m_HistoryFreeAt);
  m_VertexSlots.Swap(other.m_VertexSlots);
  m_FaceSlots.Swap(other.m_FaceSlots);
  m_VertexIds.Swap(other.m_VertexIds);
  m_FaceIds.Swap(other.m_FaceIds);
}

CMesh3d::CMesh3d(CMesh3d&& other) noexcept {
  Swap(other);
}

CMesh3d& CMesh3d::operator=(CMesh3d&& other) noexcept {
  if (this != &other) {
    // this mesh's old contents end with the temporary
    CMesh3d old(std::move(other));
    Swap(old);
  }
  return *this;
}
