// Remeshing along wavefronts: new vertices on the edges inside a ring (two
// per edge, at its thirds) or between rings (one per edge, at its
// midpoint), shared edges found through the face neighbours, faces split by
// fixed patterns.

#include <array>
#include <vector>

#include "geometry/Mesh3d.h"
#include "processing/SubdivisionPasses.h"
#include "processing/Wavefront.h"

namespace {

// The two ends of edge i of f.
struct CEdgeEnds {
  CVertex3d* a;
  CVertex3d* b;
};
CEdgeEnds EdgeOf(const CFace3d* f, int i) {
  return {f->m_pVertex[i], f->m_pVertex[(i + 1) % 3]};
}

bool TakesPart(const CFace3d* f) {
  return f && !f->HasNullVertex() && !f->IsDegenerate();
}

bool InsideRing(const CEdgeEnds& e) {
  return e.a->GetTagA() >= 0 && e.a->GetTagA() == e.b->GetTagA();
}

bool BetweenRings(const CEdgeEnds& e) {
  return e.a->GetTagA() >= 0 && e.b->GetTagA() >= 0 && e.a->GetTagA() != e.b->GetTagA();
}

// Faces and face-sides counted for a forecast: sides[k] is the number of
// faces with k edges passing the test.
template <class Test> std::array<double, 4> CountSides(const CMesh3d* mesh, Test test) {
  std::array<double, 4> sides{0.0, 0.0, 0.0, 0.0};
  for (const CFace3d* f : mesh->m_ArrayFace) {
    if (!TakesPart(f)) continue;
    int k = 0;
    for (int i = 0; i < 3; i++) k += test(EdgeOf(f, i)) ? 1 : 0;
    sides[static_cast<size_t>(k)] += 1.0;
  }
  return sides;
}

// A new face (a, b, c) with the colour and ring of the face it comes from.
void AppendFace(CMesh3d* mesh, const CFace3d* from, CVertex3d* a, CVertex3d* b, CVertex3d* c) {
  CFace3d* f = new CFace3d(a, b, c);
  f->m_Color = from->m_Color;
  f->SetTag(from->GetTag());
  mesh->AddFace(f);
}

// The thirds of every face edge: slot 2i holds the point near corner i,
// slot 2i + 1 the point near corner i + 1.
using CThirds = std::vector<std::array<CVertex3d*, 6>>;

// Creates the two thirds of edge i of face fi (index fi) inside a ring and
// hands them to the neighbour across the edge, in its orientation. The face
// flags hold the face indices during the pass.
void CreateThirds(CMesh3d* mesh, CThirds& thirds, int fi, int i) {
  CFace3d* f = mesh->GetFace(fi);
  CEdgeEnds e = EdgeOf(f, i);
  double dx = e.b->x - e.a->x, dy = e.b->y - e.a->y, dz = e.b->z - e.a->z;
  CVertex3d* nearA = AppendVertex(mesh, e.a->x + dx / 3.0, e.a->y + dy / 3.0, e.a->z + dz / 3.0);
  CVertex3d* nearB =
      AppendVertex(mesh, e.a->x + 2.0 * dx / 3.0, e.a->y + 2.0 * dy / 3.0, e.a->z + 2.0 * dz / 3.0);
  nearA->SetTagA(e.a->GetTagA());
  nearB->SetTagA(e.a->GetTagA());
  thirds[static_cast<size_t>(fi)][2 * i] = nearA;
  thirds[static_cast<size_t>(fi)][2 * i + 1] = nearB;

  // the neighbour across the edge shares both points
  CFace3d* g = f->m_pFace[i];
  if (!g) return;
  int gi = g->m_Flag;
  if (gi < 0 || gi >= mesh->NbFace() || mesh->GetFace(gi) != g) return;
  int j = CommonEdge(g, e.a, e.b);
  if (j < 0) return;
  bool reversed = g->m_pVertex[j] == e.b;
  thirds[static_cast<size_t>(gi)][2 * j] = reversed ? nearB : nearA;
  thirds[static_cast<size_t>(gi)][2 * j + 1] = reversed ? nearA : nearB;
}

// Splits f by its thirds: one edge gives a fan of three from the third
// corner, three edges give the corner ears and the inner hexagon fanned
// from its first point.
void SplitByThirds(CMesh3d* mesh, CFace3d* f, const std::array<CVertex3d*, 6>& t) {
  int filled = 0, edge = 0;
  for (int i = 0; i < 3; i++)
    if (t[2 * i]) {
      filled++;
      edge = i;
    }

  // one edge inside the ring: fan from the opposite corner
  if (filled == 1) {
    CEdgeEnds e = EdgeOf(f, edge);
    CVertex3d* o = f->m_pVertex[(edge + 2) % 3];
    CVertex3d* nearA = t[2 * edge];
    CVertex3d* nearB = t[2 * edge + 1];
    f->Set(e.a, nearA, o);
    AppendFace(mesh, f, nearA, nearB, o);
    AppendFace(mesh, f, nearB, e.b, o);
    return;
  }
  if (filled != 3) return;

  // three edges: the corner ears
  CVertex3d* p[3] = {f->m_pVertex[0], f->m_pVertex[1], f->m_pVertex[2]};
  f->Set(p[0], t[0], t[5]);
  AppendFace(mesh, f, p[1], t[2], t[1]);
  AppendFace(mesh, f, p[2], t[4], t[3]);
  // the inner hexagon t0 t1 t2 t3 t4 t5, fanned from t0
  for (int k = 1; k <= 4; k++) AppendFace(mesh, f, t[0], t[k], t[k + 1]);
}

} // namespace

CRemeshGrowth RemeshAlongGrowth(const CMesh3d* mesh) {
  std::array<double, 4> sides = CountSides(mesh, InsideRing);
  CRemeshGrowth growth;
  growth.vertices = 2.0 * (sides[1] + 3.0 * sides[3]);
  growth.faces = 2.0 * sides[1] + 6.0 * sides[3];
  return growth;
}

CRemeshGrowth RemeshAcrossGrowth(const CMesh3d* mesh) {
  std::array<double, 4> sides = CountSides(mesh, BetweenRings);
  CRemeshGrowth growth;
  growth.vertices = sides[1] + 2.0 * sides[2] + 3.0 * sides[3];
  growth.faces = growth.vertices;
  return growth;
}

int RemeshAlong(CMesh3d* mesh) {
  int nf = mesh->NbFace();
  int nv = mesh->NbVertex();

  // the face flags hold the face indices while the thirds are shared
  for (int fi = 0; fi < nf; fi++)
    if (CFace3d* f = mesh->GetFace(fi)) f->m_Flag = fi;
  CThirds thirds(static_cast<size_t>(nf));
  for (auto& t : thirds) t.fill(nullptr);

  // edge pass: each edge inside a ring gets its two thirds once
  for (int fi = 0; fi < nf; fi++) {
    CFace3d* f = mesh->GetFace(fi);
    if (!TakesPart(f)) continue;
    for (int i = 0; i < 3; i++)
      if (InsideRing(EdgeOf(f, i)) && !thirds[static_cast<size_t>(fi)][2 * i])
        CreateThirds(mesh, thirds, fi, i);
  }

  // face pass, then the flags go back to 0
  for (int fi = 0; fi < nf; fi++) {
    CFace3d* f = mesh->GetFace(fi);
    if (TakesPart(f)) SplitByThirds(mesh, f, thirds[static_cast<size_t>(fi)]);
  }
  mesh->SetFlagOnFaces(0);
  mesh->Rebuild();
  return mesh->NbVertex() - nv;
}

int RemeshAcross(CMesh3d* mesh) {
  int nf = mesh->NbFace();
  int nv = mesh->NbVertex();
  for (CFace3d* f : mesh->m_ArrayFace)
    if (f) f->m_Flag = 0;

  // edge pass: one midpoint per edge between rings, found again from the
  // neighbour that created it
  CEdgeVertices edges(nf);
  int filled = 0;
  for (int fi = 0; fi < nf; fi++) {
    CFace3d* f = mesh->GetFace(fi);
    if (!TakesPart(f)) continue;
    CVertex3d** row = edges.Row(fi);
    for (int i = 0; i < 3; i++) {
      CEdgeEnds e = EdgeOf(f, i);
      if (!BetweenRings(e)) continue;
      CVertex3d* mid = nullptr;
      const CFace3d* g = f->m_pFace[i];
      int gi = ProcessedIndex(mesh, g, fi);
      if (gi >= 0) {
        int j = CommonEdge(g, e.a, e.b);
        if (j >= 0) mid = edges.Row(gi)[j];
      }
      if (!mid) {
        mid = AppendMidpoint(mesh, e.a, e.b);
        mid->SetTagA(kNoLayer);
      }
      row[i] = mid;
      filled++;
    }
    f->m_Flag = fi;
  }

  // face pass by the subdivision split table
  SplitFaces(mesh, nf, filled, edges);
  mesh->SetFlagOnFaces(0);
  mesh->Rebuild();
  return mesh->NbVertex() - nv;
}
