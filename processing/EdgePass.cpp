// Uniform edge pass of the Loop step, the 1-to-4 split and the fractal
// split, with the guard that keeps the edges of unsplit faces whole.

#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "processing/SubdivisionPasses.h"

//////////////////////////////////////////////////////////////////////
// Faces left whole
//////////////////////////////////////////////////////////////////////

void CWholeFaces::Mark(CMesh3d* mesh, int (*takesPart)(const CFace3d*)) {
  m_Corners.clear();
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f) continue;
    if (takesPart(f)) {
      f->m_Flag = 0;
      continue;
    }
    f->m_Flag = kFaceLeftWhole;
    for (int k = 0; k < 3; k++)
      if (f->m_pVertex[k]) m_Corners.insert(f->m_pVertex[k]);
  }
}

bool CWholeFaces::HoldsEdge(const CVertex3d* a, const CVertex3d* b) const {
  if (m_Corners.empty() || !m_Corners.count(a) || !m_Corners.count(b)) return false;
  // both ends touch a face left whole: look for one holding both
  for (const CFace3d* g : a->m_ArrayFaceNeighbor)
    if (g && g->m_Flag == kFaceLeftWhole && g->HasVertex(b)) return true;
  return false;
}

//////////////////////////////////////////////////////////////////////
// Edge vertices
//////////////////////////////////////////////////////////////////////

// Vertex of a boundary edge: its midpoint; Loop's rule flags both ends as
// boundary vertices.
static CVertex3d* BoundaryEdgeVertex(CMesh3d* mesh, CVertex3d* a, CVertex3d* b, EdgeRule rule) {
  if (rule == EdgeRule::LoopMasks) a->m_Flag = b->m_Flag = 1;
  return AppendMidpoint(mesh, a, b);
}

// Vertex of the edge (a, b) of face fi shared with g: g's when g was
// processed, else a new one (Loop's mask (3A + 3B + O + Q) / 8, or the
// midpoint). Null when the edge stays whole (g is left whole or does not
// hold the edge).
static CVertex3d* SharedEdgeVertex(CMesh3d* mesh, const CEdgeVertices& edges, int fi,
                                   const CFace3d* g, CVertex3d* a, CVertex3d* b, const CVertex3d* o,
                                   EdgeRule rule) {
  if (g->m_Flag == kFaceLeftWhole) return nullptr;
  int j = CommonEdge(g, a, b);
  if (j < 0) return nullptr;
  int gi = ProcessedIndex(mesh, g, fi);
  if (gi >= 0) return edges.Row(gi)[j];
  if (rule == EdgeRule::Midpoints) return AppendMidpoint(mesh, a, b);
  const CVertex3d* q = g->m_pVertex[(j + 2) % 3];
  return AppendVertex(mesh, (3.0 * (a->x + b->x) + o->x + q->x) / 8.0,
                      (3.0 * (a->y + b->y) + o->y + q->y) / 8.0,
                      (3.0 * (a->z + b->z) + o->z + q->z) / 8.0);
}

int UniformEdgePass(CMesh3d* mesh, EdgeRule rule, const CWholeFaces& whole, CEdgeVertices& edges) {
  int nf = mesh->NbFace();
  // a closed mesh gets 3F/2 edge vertices; an open one a few more
  mesh->m_ArrayVertex.Reserve(mesh->NbVertex() + nf + nf / 2 + nf / 8 + 16);
  int filled = 0;
  for (int fi = 0; fi < nf; fi++) {
    ReportLoopProgress(fi, nf);
    CFace3d* f = mesh->GetFace(fi);
    if (!f || f->m_Flag == kFaceLeftWhole) continue;
    CVertex3d** row = edges.Row(fi);
    for (int i = 0; i < 3; i++) {
      CVertex3d* a = f->m_pVertex[i];
      CVertex3d* b = f->m_pVertex[(i + 1) % 3];
      CFace3d* g = f->m_pFace[i];
      CVertex3d* s = nullptr;
      if (whole.HoldsEdge(a, b))
        s = nullptr; // an unsplit face holds the edge: keep it whole
      else if (!g)
        s = BoundaryEdgeVertex(mesh, a, b, rule);
      else
        s = SharedEdgeVertex(mesh, edges, fi, g, a, b, f->m_pVertex[(i + 2) % 3], rule);
      row[i] = s;
      if (s) filled++;
    }
    f->m_Flag = fi;
  }
  return filled;
}
