// Loop's subdivision scheme and the midpoint 1-to-4 split.

#include "processing/LoopSubdivision.h"

#include <cmath>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "processing/SubdivisionPasses.h"

long double LoopAlpha(int n) {
  if (n <= 0) return 0.0L;
  const long double twoPi = static_cast<long double>(6.2831855f); // single-precision 2 pi
  long double x = std::cos(twoPi / n);
  long double w = 5.0L / 8.0L - (3.0L + 2.0L * x) * (3.0L + 2.0L * x) / 64.0L;
  return n * (1.0L - w) / w;
}

static int TakesPartInLoop(const CFace3d* f) {
  return f->IsValid();
}

// Adds w to the list of boundary neighbours (at most 3 kept) unless present.
static void AddBoundaryNeighbor(const CVertex3d* w, const CVertex3d* found[3], int& count) {
  for (int k = 0; k < count; k++)
    if (found[k] == w) return;
  if (count < 3) found[count++] = w;
}

// New position of a boundary vertex, (6v + b0 + b1) / 8, where b0 and b1 are
// joined to v by the boundary edges of the faces split in the edge pass
// (the first nbFace faces). A vertex with other than two boundary edges
// (non-manifold) stays put.
static void BoundaryVertexPosition(const CMesh3d* mesh, int nbFace, const CVertex3d* v,
                                   double* out) {
  const CVertex3d* found[3];
  int count = 0;
  for (const CFace3d* f : v->m_ArrayFaceNeighbor) {
    int k;
    if (ProcessedIndex(mesh, f, nbFace) < 0 || !f->IndexOfVertex(v, k)) continue;
    if (!f->m_pFace[k]) AddBoundaryNeighbor(f->m_pVertex[(k + 1) % 3], found, count);
    if (!f->m_pFace[(k + 2) % 3]) AddBoundaryNeighbor(f->m_pVertex[(k + 2) % 3], found, count);
  }
  if (count != 2) return;
  out[0] = (6.0 * v->x + found[0]->x + found[1]->x) / 8.0;
  out[1] = (6.0 * v->y + found[0]->y + found[1]->y) / 8.0;
  out[2] = (6.0 * v->z + found[0]->z + found[1]->z) / 8.0;
}

// New position of any other vertex: (alpha(n) v + sum of the one-ring) /
// (alpha(n) + n); alpha comes from the cache, filled on first use.
static void InteriorVertexPosition(const CVertex3d* v, std::vector<long double>& alphaOf,
                                   double* out) {
  int n = v->NbNeighbor();
  if (n == 0) return;
  if (n >= static_cast<int>(alphaOf.size())) alphaOf.resize(static_cast<size_t>(n) + 1, -1.0L);
  if (alphaOf[n] < 0.0L) alphaOf[n] = LoopAlpha(n);
  long double alpha = alphaOf[n];
  double sx = 0.0, sy = 0.0, sz = 0.0;
  for (const CVertex3d* p : v->m_ArrayVertexNeighbor) {
    sx += p->x;
    sy += p->y;
    sz += p->z;
  }
  out[0] = static_cast<double>((alpha * v->x + sx) / (alpha + n));
  out[1] = static_cast<double>((alpha * v->y + sy) / (alpha + n));
  out[2] = static_cast<double>((alpha * v->z + sz) / (alpha + n));
}

// Vertex pass of the Loop step: new positions of the first nbVertex
// vertices, computed from old positions only (and while the faces are still
// whole, to find the boundary edges).
static std::vector<double> LoopVertexPositions(const CMesh3d* mesh, int nbVertex, int nbFace) {
  std::vector<double> position(3 * static_cast<size_t>(nbVertex));
  std::vector<long double> alphaOf;
  for (int i = 0; i < nbVertex; i++) {
    ReportLoopProgress(i, nbVertex);
    const CVertex3d* v = mesh->GetVertex(i);
    if (!v) continue;
    double* out = &position[3 * static_cast<size_t>(i)];
    out[0] = v->x;
    out[1] = v->y;
    out[2] = v->z;
    if (v->m_Flag == 1)
      BoundaryVertexPosition(mesh, nbFace, v, out);
    else
      InteriorVertexPosition(v, alphaOf, out);
  }
  return position;
}

static void MoveVertices(CMesh3d* mesh, const std::vector<double>& position) {
  int nv = static_cast<int>(position.size() / 3);
  for (int i = 0; i < nv; i++)
    if (CVertex3d* v = mesh->GetVertex(i))
      v->Set(position[3 * i], position[3 * i + 1], position[3 * i + 2]);
}

int SubdivisionLoop(CMesh3d* mesh) {
  if (!mesh) return 1;
  // the step rewrites faces: undo records of earlier steps would restore
  // corners into a mesh they no longer describe
  mesh->DropHistory();
  int nbVertex = mesh->NbVertex();
  int nbFace = mesh->NbFace();
  mesh->SetFlagOnVertices(0);

  // edge vertices (faces failing IsValid stay whole)
  ReportProgress(0.0, "edge vertices");
  CWholeFaces whole;
  whole.Mark(mesh, TakesPartInLoop);
  CEdgeVertices edges(nbFace);
  int filled;
  {
    CProgressSpan span(0.0, 0.3);
    filled = UniformEdgePass(mesh, EdgeRule::LoopMasks, whole, edges);
  }

  // new positions of the old vertices, from the faces before the split
  std::vector<double> position;
  {
    CProgressSpan span(0.3, 0.45);
    position = LoopVertexPositions(mesh, nbVertex, nbFace);
  }

  // split faces, then move the old vertices
  ReportProgress(0.45, "splitting faces");
  SplitFaces(mesh, nbFace, filled, edges);
  MoveVertices(mesh, position);
  ReportProgress(0.6, "adjacency");
  mesh->Rebuild();
  return 1;
}

void Subdivision1To4(CMesh3d* mesh) {
  if (!mesh) return;
  // the step rewrites faces: undo records of earlier steps would restore
  // corners into a mesh they no longer describe
  mesh->DropHistory();
  int nbFace = mesh->NbFace();

  // midpoints of every edge (faces with a null corner stay whole)
  CWholeFaces whole;
  whole.Mark(mesh, FaceHasThreeCorners);
  CEdgeVertices edges(nbFace);
  int filled;
  {
    CProgressSpan span(0.0, 0.4);
    filled = UniformEdgePass(mesh, EdgeRule::Midpoints, whole, edges);
  }

  // split faces
  ReportProgress(0.4, "splitting faces");
  SplitFaces(mesh, nbFace, filled, edges);
  ReportProgress(0.6, "adjacency");
  mesh->Rebuild();
}
