// The plain quadratic simplification loops the tests compare the heap-driven
// routines with.

#include "tests/support/SimplificationReference.h"

#include <cmath>
#include <map>
#include <unordered_map>

#include "geometry/Mesh3d.h"
#include "geometry/Random15.h"
#include "tests/support/TestMeshes.h"

namespace simplificationreference {

//////////////////////////////////////////////////////////////////////
// Edge-based simplification
//////////////////////////////////////////////////////////////////////

namespace {
struct CEdge {
  CVertex3d *first, *second;
  double sqlen, curv;
};
} // namespace

static void Evaluate(CEdge& e) {
  e.sqlen = DistanceSquared(e.first, e.second);
  e.curv = EdgeCurveness(e.first, e.second);
}

// The record a scan picks: lowest cost, or the shortest under the first
// curveness bound that admits any; -1 for none.
static int Pick(const std::vector<CEdge>& list, const CEdgeBasedParams& p) {
  if (list.empty()) return -1;
  if (!p.Combination) {
    auto cost = [&p](const CEdge& e) { return p.Curveness ? e.curv : e.sqlen; };
    int best = 0;
    for (int i = 1; i < static_cast<int>(list.size()); i++)
      if (cost(list[i]) < cost(list[best])) best = i;
    return best;
  }
  double a = p.AlphaInit;
  if (a > 1.0) return -1;
  for (;;) {
    int best = -1;
    for (int i = 0; i < static_cast<int>(list.size()); i++)
      if (list[i].curv <= a && (best < 0 || list[i].sqlen < list[best].sqlen)) best = i;
    if (best >= 0) return best;
    if (!(p.AlphaStep > 0.0)) return -1;
    a += p.AlphaStep;
    if (a > 1.0) return -1;
  }
}

int EdgeBased(CMesh3d* mesh, const CEdgeBasedParams& p) {
  std::vector<CEdge> list;
  mesh->SetFlagOnVertices(0);
  for (CVertex3d* v : mesh->m_ArrayVertex) {
    for (CVertex3d* n : v->m_ArrayVertexNeighbor)
      if (n->m_Flag == 0 && n != v) list.push_back({v, n, 0.0, 0.0});
    v->m_Flag = 1;
  }
  for (CEdge& e : list) Evaluate(e);

  int collapsed = 0;
  while (mesh->NbVertex() > p.Final && !list.empty()) {
    int i = Pick(list, p);
    if (i < 0) break;
    CEdge e = list[i];
    list.erase(list.begin() + i);
    CVector3d position = EdgeCollapsePosition(e.first, e.second, p);
    bool boundary = e.first->IsBoundaryVertex() || e.second->IsBoundaryVertex();
    if ((boundary && !p.CollapseBoundaries) ||
        !mesh->CollapseEdge(e.first, e.second, position, nullptr, 0))
      continue;
    collapsed++;
    std::vector<CEdge> kept;
    for (const CEdge& r : list)
      if (r.first != e.first && r.first != e.second && r.second != e.first && r.second != e.second)
        kept.push_back(r);
    list.swap(kept);
    for (CVertex3d* n : e.first->m_ArrayVertexNeighbor) list.push_back({e.first, n, 0.0, 0.0});
    for (CEdge& r : list)
      if (r.first == e.first || r.second == e.first || e.first->HasNeighbor(r.first) ||
          e.first->HasNeighbor(r.second))
        Evaluate(r);
    mesh->RemoveVertex(e.second);
  }
  mesh->Rebuild();
  return collapsed;
}

//////////////////////////////////////////////////////////////////////
// Error accumulation
//////////////////////////////////////////////////////////////////////

namespace {
struct CCandidate {
  CVertex3d *kept, *removed;
  CFace3d* faces[2];
  double cost;
  bool active;
  bool Names(const CVertex3d* v) const { return kept == v || removed == v; }
  bool Names(const CFace3d* f) const { return f && (faces[0] == f || faces[1] == f); }
};
} // namespace

double AccumulationCost(CVertex3d* kept, CVertex3d* removed) {
  std::vector<CFace3d*> moved;
  for (CFace3d* f : removed->m_ArrayFaceNeighbor)
    if (!f->HasVertex(kept)) moved.push_back(f);
  double before = 0.0, after = 0.0;
  for (CFace3d* f : moved) before += f->Area();
  for (CFace3d* f : moved) f->UpdateVertex(removed, kept);
  for (CFace3d* f : moved) after += f->Area();
  bool folded = false;
  for (size_t i = 0; i < moved.size(); i++)
    for (size_t j = i + 1; j < moved.size(); j++)
      if (NormalAngle(moved[i], moved[j]) > 1.570796326795) folded = true;
  for (CFace3d* f : moved) f->UpdateVertex(kept, removed);
  double change = std::fabs(after - before);
  return folded ? 2.0 * change : change;
}

static CCandidate MakeCandidate(CVertex3d* kept, CVertex3d* removed) {
  CCandidate c{kept, removed, {nullptr, nullptr}, 0.0, true};
  int found = 0;
  for (CFace3d* f : removed->m_ArrayFaceNeighbor)
    if (f->HasVertex(kept) && found < 2) c.faces[found++] = f;
  c.cost = ::AccumulationCost(kept, removed);
  return c;
}

int ErrorAccumulation(CMesh3d* mesh, int final) {
  mesh->Rebuild();
  if (final >= mesh->NbVertex()) return -1;
  int start = mesh->NbVertex();
  std::vector<CCandidate> list;
  std::unordered_map<const CVertex3d*, float> error;
  for (CVertex3d* v : mesh->m_ArrayVertex)
    for (CVertex3d* n : v->m_ArrayVertexNeighbor)
      if (n != v) list.push_back(MakeCandidate(v, n));

  while (mesh->NbVertex() > final) {
    int best = -1;
    double bestKey = 1e38;
    for (int i = 0; i < static_cast<int>(list.size()); i++) {
      const CCandidate& c = list[i];
      double key = static_cast<double>(error[c.kept]) + c.cost;
      if (c.active && key < bestKey) {
        best = i;
        bestKey = key;
      }
    }
    if (best < 0) break;
    CCandidate c = list[best];

    // a valence-3 third corner goes instead
    bool handled = false;
    for (CFace3d* f : c.faces) {
      if (!f) continue;
      CVertex3d* t = f->OtherVertex(c.kept, c.removed);
      if (!t || t->NbFace() > 3 || t->IsBoundaryVertex()) continue;
      CFace3d* gone[2] = {t->NbFace() > 1 ? t->GetFace(1) : nullptr,
                          t->NbFace() > 2 ? t->GetFace(2) : nullptr};
      if (mesh->RemoveValence3Vertex(t)) {
        for (CCandidate& d : list)
          if (d.Names(t) || d.Names(gone[0]) || d.Names(gone[1])) d.active = false;
      } else {
        list[best].active = false;
      }
      handled = true;
      break;
    }
    if (handled) continue;

    if (!mesh->CollapseEdge(c.kept, c.removed, c.kept->Position(), nullptr, 1)) {
      list[best].active = false;
      continue;
    }
    for (CCandidate& d : list)
      if (d.Names(c.removed) || d.Names(c.faces[0]) || d.Names(c.faces[1]) || d.Names(c.kept))
        d.active = false;
    for (CVertex3d* n : c.kept->m_ArrayVertexNeighbor) {
      list.push_back(MakeCandidate(c.kept, n));
      list.push_back(MakeCandidate(n, c.kept));
    }
    error[c.kept] = AccumulatedError(error[c.kept], c.cost, error[c.removed]);
  }
  int removed = start - mesh->NbVertex();
  mesh->SetFlagOnVertices(0);
  mesh->SetFlagOnFaces(0);
  mesh->Rebuild();
  return removed;
}

//////////////////////////////////////////////////////////////////////
// Face-based simplification
//////////////////////////////////////////////////////////////////////

int FaceBased(CMesh3d* mesh, int final) {
  mesh->Rebuild();
  if (final >= mesh->NbFace()) return -1;
  std::unordered_map<const CFace3d*, CFaceCollapseRecord> record;
  for (CFace3d* f : mesh->m_ArrayFace) record[f] = FaceCollapseRecord(f);

  int collapsed = 0;
  while (mesh->NbFace() > final) {
    CFace3d* best = nullptr;
    double bestCost = 1e308;
    for (CFace3d* f : mesh->m_ArrayFace)
      if (record[f].cost < bestCost && IsFaceCollapsible(f)) {
        best = f;
        bestCost = record[f].cost;
      }
    if (best) {
      CollapseFace(mesh, best, record[best].corner, nullptr);
      collapsed++;
    }
    mesh->RemoveValence3Vertices();
    if (!best) break;
  }
  mesh->SetFlagOnVertices(0);
  mesh->SetFlagOnFaces(0);
  mesh->Rebuild();
  return collapsed;
}

//////////////////////////////////////////////////////////////////////
// Digests and meshes
//////////////////////////////////////////////////////////////////////

CMeshDigest Digest(const CMesh3d& mesh) {
  CMeshDigest digest;
  std::map<const CVertex3d*, int> place;
  for (int i = 0; i < mesh.NbVertex(); i++) {
    const CVertex3d* v = mesh.GetVertex(i);
    place[v] = i;
    digest.positions.insert(digest.positions.end(), {v->x, v->y, v->z});
  }
  for (const CFace3d* f : mesh.m_ArrayFace)
    for (int k = 0; k < 3; k++)
      digest.corners.push_back(place.count(f->v(k)) ? place[f->v(k)] : -1);
  return digest;
}

// A value in [-amplitude, amplitude] from the generator.
static double Noise(CRandom15& random, double amplitude) {
  return amplitude * (2.0 * random.Next() / CRandom15::kMax - 1.0);
}

CMesh3d* MakeNoisySphere(int level, double amplitude, unsigned seed) {
  CMesh3d* mesh = testmeshes::MakeIcoSphere(level);
  CRandom15 random(seed);
  for (CVertex3d* v : mesh->m_ArrayVertex) {
    double scale = 1.0 + Noise(random, amplitude);
    v->Set(v->x * scale, v->y * scale, v->z * scale);
  }
  mesh->Rebuild();
  return mesh;
}

CMesh3d* MakeNoisyGridWithHoles(int nx, int ny, int holes, double amplitude, unsigned seed) {
  CMesh3d* mesh = testmeshes::MakeGridWithHoles(nx, ny, holes);
  CRandom15 random(seed);
  for (CVertex3d* v : mesh->m_ArrayVertex) v->z += Noise(random, amplitude);
  mesh->Rebuild();
  return mesh;
}

} // namespace simplificationreference
