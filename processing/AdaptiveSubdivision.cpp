// Adaptive refinement: selected faces are split into four at edge
// midpoints, their neighbours into two or three, without T-junctions.

#include <climits>

#include "geometry/Mesh3d.h"
#include "processing/LoopSubdivision.h"
#include "processing/SubdivisionPasses.h"

// Slot of edge (a, b) of f when its neighbour g across it was processed
// earlier: g's decision is copied (possibly an empty slot). found is set to
// false when g was not processed yet.
static CVertex3d* ProcessedNeighborSlot(const CFace3d* g, const CVertex3d* a, const CVertex3d* b,
                                        int processed, bool& found) {
  found = g && g->m_Flag == processed;
  if (!found) return nullptr;
  int j = CommonEdge(g, a, b);
  return j < 0 ? nullptr : g->m_pVertex[3 + j];
}

// Edge pass: the first of two faces in the array decides whether their
// common edge is split (exactly when it is selected); the later one copies.
// A face with a null corner is processed with no edge vertex, and a
// neighbour of it keeps their common edge whole. Returns the slots filled.
static int AdaptiveEdgePass(CMesh3d* mesh, int selection) {
  const int processed = selection == INT_MAX ? INT_MIN : selection + 1;
  int nf = mesh->NbFace();
  int filled = 0;
  for (int fi = 0; fi < nf; fi++) {
    CFace3d* f = mesh->GetFace(fi);
    if (!f) continue;
    bool selected = f->m_Flag == selection;
    bool broken = f->HasNullVertex();
    for (int i = 0; i < 3; i++) {
      CVertex3d* a = f->m_pVertex[i];
      CVertex3d* b = f->m_pVertex[(i + 1) % 3];
      const CFace3d* g = f->m_pFace[i];
      bool decided;
      CVertex3d* s = ProcessedNeighborSlot(g, a, b, processed, decided);
      // an undecided edge of a selected face is split, unless the face
      // across it cannot be split
      bool neighborBroken = g && g->HasNullVertex();
      if (!decided && selected && !broken && !neighborBroken) s = AppendMidpoint(mesh, a, b);
      f->m_pVertex[3 + i] = s;
      if (s) filled++;
    }
    f->m_Flag = processed;
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
  int filled = AdaptiveEdgePass(mesh, selection);

  // split faces
  SplitFaces(mesh, nbFace, filled);
  mesh->Rebuild();
}
