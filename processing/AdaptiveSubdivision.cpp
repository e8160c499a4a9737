// Adaptive refinement: selected faces are split into four at edge
// midpoints, their neighbours into two or three, without T-junctions.

#include "geometry/Mesh3d.h"
#include "processing/LoopSubdivision.h"
#include "processing/SubdivisionPasses.h"

// Edge vertex of edge (a, b) of face fi when its neighbour g across it was
// processed earlier: g's decision is copied (possibly no vertex). found is
// set to false when g was not processed yet.
static CVertex3d* ProcessedNeighborEdge(const CMesh3d* mesh, const CEdgeVertices& edges, int fi,
                                        const CFace3d* g, const CVertex3d* a, const CVertex3d* b,
                                        bool& found) {
  const int gi = ProcessedIndex(mesh, g, fi);
  found = gi >= 0;
  if (!found) return nullptr;
  int j = CommonEdge(g, a, b);
  return j < 0 ? nullptr : edges.Row(gi)[j];
}

// Edge pass: the first of two faces in the array decides whether their
// common edge is split (exactly when it is selected); the later one copies.
// A face with a null corner is processed with no edge vertex, and a
// neighbour of it keeps their common edge whole. Returns the edge vertices
// filled.
static int AdaptiveEdgePass(CMesh3d* mesh, int selection, CEdgeVertices& edges) {
  int nf = mesh->NbFace();
  int filled = 0;
  for (int fi = 0; fi < nf; fi++) {
    CFace3d* f = mesh->GetFace(fi);
    if (!f) continue;
    bool selected = f->m_Flag == selection;
    bool broken = f->HasNullVertex();
    CVertex3d** row = edges.Row(fi);
    for (int i = 0; i < 3; i++) {
      CVertex3d* a = f->m_pVertex[i];
      CVertex3d* b = f->m_pVertex[(i + 1) % 3];
      const CFace3d* g = f->m_pFace[i];
      bool decided;
      CVertex3d* s = ProcessedNeighborEdge(mesh, edges, fi, g, a, b, decided);
      // an undecided edge of a selected face is split, unless the face
      // across it cannot be split
      bool neighborBroken = g && g->HasNullVertex();
      if (!decided && selected && !broken && !neighborBroken) s = AppendMidpoint(mesh, a, b);
      row[i] = s;
      if (s) filled++;
    }
    f->m_Flag = fi;
  }
  return filled;
}

void SubdivisionAdaptive(CMesh3d* mesh, int selection) {
  if (!mesh) return;
  // the step rewrites faces: undo records of earlier steps would restore
  // corners into a mesh they no longer describe
  mesh->DropHistory();
  int nbFace = mesh->NbFace();

  // edge midpoints decided face by face
  CEdgeVertices edges(nbFace);
  int filled = AdaptiveEdgePass(mesh, selection, edges);

  // split faces
  SplitFaces(mesh, nbFace, filled, edges);
  mesh->Rebuild();
}
