#include <vector>

#include "geometry/Mesh3d.h"

// Empties every vertex's edge list and deletes the mesh's edges.
void CMesh3d::DeleteEdges() {
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->ClearEdges();
  for (CEdge3d* e : m_ArrayEdge) delete e;
  m_ArrayEdge.RemoveAll();
}

// Saves every vertex flag and sets it to 0.
static std::vector<int> SaveAndClearFlags(CArray3d<CVertex3d>& vertices) {
  std::vector<int> saved(static_cast<size_t>(vertices.GetSize()), 0);
  for (int i = 0; i < vertices.GetSize(); i++)
    if (CVertex3d* v = vertices[i]) {
      saved[static_cast<size_t>(i)] = v->m_Flag;
      v->m_Flag = 0;
    }
  return saved;
}

static void RestoreFlags(CArray3d<CVertex3d>& vertices, const std::vector<int>& saved) {
  for (int i = vertices.GetSize() - 1; i >= 0; i--)
    if (CVertex3d* v = vertices[i]) v->m_Flag = saved[static_cast<size_t>(i)];
}

void CMesh3d::BuildEdges(int tag) {
  DeleteEdges();
  std::vector<int> saved = SaveAndClearFlags(m_ArrayVertex);
  m_ArrayEdge.Reserve(NbVertex() + NbFace());
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->MutableEdgeList().Reserve(v->NbNeighbor());

  // one edge per neighbour pair, from the vertex that comes first; the
  // flag marks vertices whose edges are all made
  for (CVertex3d* q : m_ArrayVertex) {
    if (!q) continue;
    for (CVertex3d* r : q->m_ArrayVertexNeighbor) {
      if (!r || r->m_Flag != 0) continue;
      CEdge3d* e = new CEdge3d(q, r, tag);
      q->MutableEdgeList().Add(e);
      r->MutableEdgeList().Add(e);
      m_ArrayEdge.Add(e);
    }
    q->m_Flag = 1;
  }
  m_ArrayEdge.FreeExtra();
  RestoreFlags(m_ArrayVertex, saved);
}

// The first two faces of q's list that also hold r.
static void FindEdgeFaces(const CVertex3d* q, const CVertex3d* r, CEdge3d* e) {
  for (CFace3d* f : q->m_ArrayFaceNeighbor) {
    if (!f || !f->HasVertex(r)) continue;
    if (!e->m_pFace1) {
      e->m_pFace1 = f;
    } else {
      e->m_pFace2 = f;
      return;
    }
  }
}

void CMesh3d::BuildEdgeList(CArray3d<CEdge3d>& out, int markBoundary, int tag, int& found) {
  found = 0;
  SetFlagOnVertices(0);
  out.Reserve(out.GetSize() + NbVertex() + NbFace());

  // the same edges as BuildEdges, with their faces; the vertex flags are
  // left at 1
  for (CVertex3d* q : m_ArrayVertex) {
    if (!q) continue;
    bool qOnBoundary = markBoundary && q->IsBoundaryVertex();
    for (CVertex3d* r : q->m_ArrayVertexNeighbor) {
      if (!r || r->m_Flag != 0) continue;
      CEdge3d* e = new CEdge3d(q, r, 0);
      FindEdgeFaces(q, r, e);
      if (qOnBoundary && r->IsBoundaryVertex()) {
        e->m_Tag = tag;
        found = 1;
      }
      out.Add(e);
    }
    q->m_Flag = 1;
  }
}
