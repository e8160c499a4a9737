// Edge swaps that make faces more compact (closer to equilateral).

#include "geometry/Mesh3d.h"
#include "processing/SurfaceCleanup.h"

// Compacity of the triangle (p, q, r), computed as CFace3d::Compacity does
// for a face with these corners.
static double TriangleCompacity(const CVertex3d* p, const CVertex3d* q, const CVertex3d* r) {
  double perimeter = Distance(p, q) + Distance(q, r) + Distance(r, p);
  if (perimeter == 0.0) return 0.0;
  return 4.0 * PI_3D * Area(p, q, r) / (perimeter * perimeter);
}

static CVector3d TriangleCross(const CVertex3d* p, const CVertex3d* q, const CVertex3d* r) {
  return CVector3d(p, q) ^ CVector3d(p, r);
}

// Number of faces around p that also have q.
static int SharedFaceCount(const CVertex3d* p, const CVertex3d* q) {
  int n = 0;
  for (const CFace3d* f : p->m_ArrayFaceNeighbor)
    if (f && f->HasVertex(q)) n++;
  return n;
}

// Swaps the edge F (of compacity compacityF) shares with its neighbour G
// when it is sound and makes the pair more compact; 1 when swapped.
static int SwapIfMoreCompact(CFace3d* F, double compacityF, CFace3d* G) {
  // both faces valid, the edge (p, q) met as (q, p) by G
  if (!G || G == F || !G->IsValid()) return 0;
  int i, k;
  if (!F->IndexOfNeighbor(G, i) || !G->IndexOfNeighbor(F, k)) return 0;
  CVertex3d* p = F->m_pVertex[i];
  CVertex3d* q = F->m_pVertex[(i + 1) % 3];
  CVertex3d* a = F->m_pVertex[(i + 2) % 3];
  CVertex3d* b = G->m_pVertex[(k + 2) % 3];
  if (G->m_pVertex[k] != q || G->m_pVertex[(k + 1) % 3] != p) return 0;
  if (a == b || b == p || b == q) return 0;

  // more compact on average (the cheap test that rejects most pairs)
  double before = (compacityF + G->Compacity()) / 2.0;
  double after = (TriangleCompacity(p, b, a) + TriangleCompacity(q, a, b)) / 2.0;
  if (!(after > before + kCompacityGain)) return 0;

  // the new edge (a, b) is new; p and q keep at least 3 faces each; the
  // old edge is manifold
  if (a->HasNeighbor(b) || b->HasNeighbor(a)) return 0;
  if (p->NbFace() < 4 || q->NbFace() < 4) return 0;
  if (SharedFaceCount(p, q) != 2) return 0;

  // the new faces (p, b, a) and (q, a, b) are not degenerate and face the
  // side the old pair faces
  CVector3d side = TriangleCross(p, q, a) + TriangleCross(q, p, b);
  CVector3d nA = TriangleCross(p, b, a), nB = TriangleCross(q, a, b);
  if (nA.LengthSquared() == 0.0 || nB.LengthSquared() == 0.0) return 0;
  if (nA * side <= 0.0 || nB * side <= 0.0) return 0;
  return F->FlipEdge(G);
}

int SwapForCompacity(CMesh3d* mesh) {
  if (!mesh) return 0;
  int swapped = 0;
  int nf = mesh->NbFace();
  for (int fi = 0; fi < nf; fi++) {
    CFace3d* F = mesh->GetFace(fi);
    if (!F || !F->IsValid()) continue;
    // the first neighbour that swaps ends the face's turn
    double compacity = F->Compacity();
    for (int e = 0; e < 3; e++)
      if (SwapIfMoreCompact(F, compacity, F->m_pFace[e])) {
        swapped++;
        break;
      }
  }
  if (swapped) mesh->SetModified();
  return swapped;
}
