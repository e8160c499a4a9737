// One sqrt(3) step in place: centre split, smoothing of the old vertices,
// flip of the old edges and, for the piecewise step, the split of sharp
// edges at their midpoints. Every change pushes its undo record.

#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

#include "geometry/ElementPool.h"
#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "processing/Sqrt3Subdivision.h"

namespace {

// Bits of the piecewise step's per-face sharp-edge mask.
constexpr unsigned char kSharpBit = 1;      // edge k sharp: bit k
constexpr unsigned char kSplitSharpBit = 8; // sharp edge k split: bit k + 3

// Neighbours of a centre vertex after the flips.
constexpr int kCentreValence = 6;
// Redraws during the flip pass: ten times over the faces.
constexpr int kFlipRedraws = 10;

// W(n) for n = 3 ... 10: n (1 - a) / a with a = (4 - 2 cos(2 pi / n)) / 9,
// rounded to single precision; W(3) is 1.5 instead of the formula's 2.4.
constexpr float kWeights[8] = {1.5f,     5.0f,       8.30585f, 12.0f,
                               15.8839f, 19.844526f, 23.8213f, 27.7839f};

// Whether edge (a, b) is one of the face's edges, either way round.
bool HasEdge(const CFace3d* f, int j, const CVertex3d* a, const CVertex3d* b) {
  const CVertex3d* p = f->m_pVertex[j];
  const CVertex3d* q = f->m_pVertex[(j + 1) % 3];
  return (p == a && q == b) || (p == b && q == a);
}

// Re-points the outer face's link across edge (a, b) from oldF to newF.
// A link that does not name oldF on that edge (non-manifold or degenerate
// neighbourhoods) is left alone.
void Relink(CFace3d* outer, CFace3d* oldF, CFace3d* newF, const CVertex3d* a, const CVertex3d* b) {
  if (!outer) return;
  for (int j = 0; j < 3; j++)
    if (outer->m_pFace[j] == oldF && HasEdge(outer, j, a, b)) {
      outer->m_pFace[j] = newF;
      return;
    }
}

// A face the step can work on: three distinct corners.
bool Splittable(const CFace3d* f) {
  const CVertex3d* const* v = f->m_pVertex;
  return v[0] && v[1] && v[2] && v[0] != v[1] && v[1] != v[2] && v[0] != v[2];
}

CVertex3d* NewVertex(double x, double y, double z) {
  auto* v = new CVertex3d(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
  v->PushCreated();
  return v;
}

CFace3d* NewFace(CVertex3d* a, CVertex3d* b, CVertex3d* c) {
  auto* f = new CFace3d(a, b, c);
  f->PushCreated();
  return f;
}

// Replaces a corner of f, with its undo record.
void ReplaceCorner(CFace3d* f, int k, CVertex3d* v) {
  f->PushCorner(k);
  f->m_pVertex[k] = v;
}

// Each corner of a selected face gains one neighbour and up to two faces in
// the split: their lists grow once, here, instead of entry by entry.
void ReserveLists(CMesh3d* mesh, int nf) {
  for (int i = 0; i < nf; i++) {
    const CFace3d* f = mesh->GetFace(i);
    if (f && f->m_Flag == kSqrt3Selected && Splittable(f))
      for (int k = 0; k < 3; k++) f->m_pVertex[k]->m_Flag++;
  }
  for (CVertex3d* v : mesh->m_ArrayVertex) {
    if (!v || v->m_Flag == 0) continue;
    v->m_ArrayVertexNeighbor.Reserve(v->NbNeighbor() + v->m_Flag + 1);
    v->m_ArrayFaceNeighbor.Reserve(v->NbFace() + v->m_Flag + 1);
    v->m_Flag = 0;
  }
}

// Whether the links are those BuildAdjacency would give: every face has
// three distinct corners and names across each edge a face that names it
// back across the same edge, and the corners list as many faces as there
// are corners (a mesh whose adjacency was never built fails here).
bool LinksAreMutual(const CMesh3d* mesh) {
  long long listed = 0;
  for (const CVertex3d* v : mesh->m_ArrayVertex)
    if (v) listed += v->NbFace();
  if (listed != 3LL * mesh->NbFace()) return false;
  for (const CFace3d* f : mesh->m_ArrayFace) {
    if (!f || !Splittable(f)) return false;
    for (int k = 0; k < 3; k++) {
      const CFace3d* g = f->m_pFace[k];
      if (!g) continue;
      const CVertex3d* a = f->m_pVertex[k];
      const CVertex3d* b = f->m_pVertex[(k + 1) % 3];
      bool back = false;
      for (int j = 0; j < 3 && !back; j++) back = g->m_pFace[j] == f && HasEdge(g, j, a, b);
      if (!back) return false;
    }
  }
  return true;
}

class CSqrt3Step {
public:
  CSqrt3Step(CMesh3d* mesh, const CSqrt3Options& options) : m_Mesh(mesh), m_Options(options) {}
  int Run();

private:
  CMesh3d* m_Mesh;
  const CSqrt3Options& m_Options;
  int m_NbOldVertex = 0;
  // Per face index after the split, for the piecewise step: the mask bits
  // of the old edge that is the face's edge 0.
  std::vector<unsigned char> m_Edge0;

  void Split(int index, CFace3d* f);
  void Smooth();
  void Flip(CFace3d* f);
  void SplitSharpEdge(CFace3d* f);
  bool Piecewise() const { return m_Options.sharpEdges != nullptr; }
  void Redraw() const {
    if (m_Options.redraw) m_Options.redraw();
  }
};

int CSqrt3Step::Run() {
  // the step makes several elements and records per face: batched requests
  const CElementStashes stashes;
  CMesh3d* mesh = m_Mesh;
  const int nf = mesh->NbFace();
  m_NbOldVertex = mesh->NbVertex();

  // links kept in place stay those of BuildAdjacency only from mutual ones
  if (m_Options.linksKept) *m_Options.linksKept = LinksAreMutual(mesh);

  // select and reserve: the arrays grow once to their final size
  mesh->SetFlagOnVertices(0);
  int selected = 0;
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f) continue;
    if (!m_Options.adaptive) f->m_Flag = kSqrt3Selected;
    if (f->m_Flag == kSqrt3Selected && Splittable(f)) selected++;
  }
  mesh->m_ArrayFace.Reserve(nf + 2 * selected);
  mesh->m_ArrayVertex.Reserve(m_NbOldVertex + selected);
  ReserveLists(mesh, nf);
  if (Piecewise()) m_Edge0.assign(static_cast<size_t>(nf + 2 * selected), 0);

  // split every selected face at its centre, in array order
  int split = 0;
  for (int i = 0; i < nf; i++) {
    if ((i & 0x3fff) == 0) ReportProgress(0.5 * i / nf, "splitting faces");
    CFace3d* f = mesh->GetFace(i);
    if (f && f->m_Flag == kSqrt3Selected && Splittable(f)) {
      Split(i, f);
      split++;
    }
  }
  Redraw();

  if (m_Options.smooth) Smooth();
  if (m_Options.redraw && !m_Options.flip) {
    mesh->SetModified();
    return split;
  }
  Redraw();

  // flip the old edges of the split faces (edge 0 of each)
  if (m_Options.flip) {
    const int count = mesh->NbFace();
    const int every = std::max(1, count / kFlipRedraws);
    for (int i = 0; i < count; i++) {
      if ((i & 0x3fff) == 0) ReportProgress(0.5 + 0.5 * i / count, "flipping edges");
      CFace3d* f = mesh->GetFace(i);
      if (f && f->m_Flag == kSqrt3Split && !(Piecewise() && (m_Edge0[i] & kSharpBit))) Flip(f);
      if (m_Options.redraw && (i + 1) % every == 0) Redraw();
    }
  }

  // piecewise: the sharp edges to split, at their midpoints
  if (Piecewise()) {
    const int count = static_cast<int>(m_Edge0.size());
    for (int i = 0; i < count; i++)
      if (m_Edge0[i] & kSplitSharpBit) SplitSharpEdge(mesh->GetFace(i));
  }
  mesh->SetModified();
  return split;
}

// F = (P0, P1, P2) becomes (P0, P1, M); G = (P1, P2, M) and H = (P2, P0, M)
// are appended, G first.
void CSqrt3Step::Split(int index, CFace3d* f) {
  CVertex3d* p0 = f->m_pVertex[0];
  CVertex3d* p1 = f->m_pVertex[1];
  CVertex3d* p2 = f->m_pVertex[2];

  // centre vertex
  CVertex3d* m = NewVertex((p0->x + p1->x + p2->x) / 3.0, (p0->y + p1->y + p2->y) / 3.0,
                           (p0->z + p1->z + p2->z) / 3.0);
  m->m_Normal = f->m_Normal;
  // a centre ends with six neighbours and six faces once its edges flip
  m->m_ArrayVertexNeighbor.Reserve(kCentreValence);
  m->m_ArrayFaceNeighbor.Reserve(kCentreValence);
  p0->m_Flag++;
  p1->m_Flag++;
  p2->m_Flag++;
  m_Mesh->m_ArrayVertex.Add(m);

  // the two new faces, and the face itself
  CFace3d* g = NewFace(p1, p2, m);
  CFace3d* h = NewFace(p2, p0, m);
  int gi = m_Mesh->m_ArrayFace.Add(g);
  m_Mesh->m_ArrayFace.Add(h);
  ReplaceCorner(f, 2, m);
  f->CalculateNormal();
  g->CalculateNormal();
  h->CalculateNormal();
  f->m_Flag = g->m_Flag = h->m_Flag = kSqrt3Split;
  if (Piecewise()) {
    unsigned char mask = (*m_Options.sharpEdges)[static_cast<size_t>(index)];
    for (int k = 0; k < 3; k++) {
      unsigned char bits =
          static_cast<unsigned char>(((mask >> k) & kSharpBit) | ((mask >> k) & kSplitSharpBit));
      m_Edge0[static_cast<size_t>(k == 0 ? index : gi + k - 1)] = bits;
    }
  }

  // neighbours across the old edges go to the faces that now hold them
  CFace3d* n1 = f->m_pFace[1];
  CFace3d* n2 = f->m_pFace[2];
  g->SetNeighbors(n1, h, f);
  h->SetNeighbors(n2, f, g);
  f->m_pFace[1] = g;
  f->m_pFace[2] = h;
  Relink(n1, f, g, p1, p2);
  Relink(n2, f, h, p2, p0);

  // incident faces and one-rings
  m->m_ArrayFaceNeighbor.Add(f);
  m->m_ArrayFaceNeighbor.Add(g);
  m->m_ArrayFaceNeighbor.Add(h);
  // (G, H and M are new: no list holds them yet)
  const int at = p2->m_ArrayFaceNeighbor.Find(f);
  if (at >= 0)
    p2->m_ArrayFaceNeighbor[at] = g;
  else
    p2->m_ArrayFaceNeighbor.Add(g);
  p2->m_ArrayFaceNeighbor.Add(h);
  p0->m_ArrayFaceNeighbor.Add(h);
  p1->m_ArrayFaceNeighbor.Add(g);
  m->m_ArrayVertexNeighbor.Add(p2);
  m->m_ArrayVertexNeighbor.Add(p0);
  m->m_ArrayVertexNeighbor.Add(p1);
  p0->m_ArrayVertexNeighbor.Add(m);
  p1->m_ArrayVertexNeighbor.Add(m);
  p2->m_ArrayVertexNeighbor.Add(m);
}

// Old vertices next to a split face move to (W v + sum of the old one-ring)
// / (W + n), n the old valence (the neighbour count less the centres the
// split appended, which are last in the list). Every new position is found
// before any vertex moves.
void CSqrt3Step::Smooth() {
  CMesh3d* mesh = m_Mesh;
  const int nv = m_NbOldVertex;

  // piecewise: the ends of sharp old edges keep their place
  std::unordered_set<const CVertex3d*> pinned;
  for (size_t i = 0; i < m_Edge0.size(); i++)
    if (m_Edge0[i] & kSharpBit) {
      const CFace3d* f = mesh->GetFace(static_cast<int>(i));
      pinned.insert(f->m_pVertex[0]);
      pinned.insert(f->m_pVertex[1]);
    }

  // new positions first, in one single-precision array
  std::vector<float> position(3 * static_cast<size_t>(nv));
  std::vector<char> moves(static_cast<size_t>(nv), 0);
  for (int i = 0; i < nv; i++) {
    const CVertex3d* v = mesh->GetVertex(i);
    if (!v || v->m_Flag <= 0 || (!pinned.empty() && pinned.count(v))) continue;
    const int n = v->NbNeighbor() - v->m_Flag;
    if (n < 3 || n > 10) continue;
    const double w = m_Options.fixedWeight ? m_Options.weight : Sqrt3Weight(n);
    double sx = w * v->x, sy = w * v->y, sz = w * v->z;
    for (int j = 0; j < n; j++) {
      const CVertex3d* q = v->GetNeighbor(j);
      sx += q->x;
      sy += q->y;
      sz += q->z;
    }
    const double d = w + n;
    if (d == 0.0) continue;
    position[3 * i] = static_cast<float>(sx / d);
    position[3 * i + 1] = static_cast<float>(sy / d);
    position[3 * i + 2] = static_cast<float>(sz / d);
    moves[i] = 1;
  }

  // then every moved vertex records its old place and takes the new one
  for (int i = 0; i < nv; i++) {
    if (!moves[i]) continue;
    CVertex3d* v = mesh->GetVertex(i);
    v->PushPosition();
    v->Set(position[3 * i], position[3 * i + 1], position[3 * i + 2]);
  }
}

// Flips F's edge 0 (P0 P1, an old edge) with the face D across it: F
// becomes (Q, P1, M) and D gets M in place of P1, so the edge P0 P1 is
// replaced by Q M.
void CSqrt3Step::Flip(CFace3d* f) {
  CFace3d* d = f->m_pFace[0];
  if (!d || d == f || d->m_Flag == kSqrt3Flipped || d->HasNullVertex()) return;
  CVertex3d* p0 = f->m_pVertex[0];
  CVertex3d* p1 = f->m_pVertex[1];
  CVertex3d* m = f->m_pVertex[2];

  // D must hold the edge the other way round (P1, P0) at its edge k; its
  // corner i = k + 2 is Q
  int k = -1;
  for (int j = 0; j < 3; j++)
    if (d->m_pVertex[j] == p1 && d->m_pVertex[(j + 1) % 3] == p0) k = j;
  if (k < 0) return;
  const int i = (k + 2) % 3;
  const int i1 = (i + 1) % 3; // == k, the slot of P1 in D
  CVertex3d* q = d->m_pVertex[i];
  if (q == m || q == p0 || q == p1 || q->HasNeighbor(m)) return;

  CFace3d* dOuter = d->m_pFace[i]; // across Q P1
  CFace3d* fOuter = f->m_pFace[2]; // across M P0
  ReplaceCorner(f, 0, q);
  ReplaceCorner(d, i1, m);
  f->CalculateNormal();
  d->CalculateNormal();
  f->m_Flag = d->m_Flag = kSqrt3Flipped;

  // F = (Q, P1, M), D = (Q, M, P0) from corner i
  f->m_pFace[0] = dOuter;
  f->m_pFace[2] = d;
  d->m_pFace[i] = f;
  d->m_pFace[i1] = fOuter;
  Relink(dOuter, d, f, q, p1);
  Relink(fOuter, f, d, m, p0);

  // incident faces and one-rings of the four corners
  // (Q was no corner of F, M none of D, and Q and M were not joined)
  p0->RemoveFace(f);
  p1->RemoveFace(d);
  q->m_ArrayFaceNeighbor.Add(f);
  m->m_ArrayFaceNeighbor.Add(d);
  p0->RemoveNeighbor(p1);
  p1->RemoveNeighbor(p0);
  q->m_ArrayVertexNeighbor.Add(m);
  m->AddNeighbor(q);
}

// Splits the sharp edge P0 P1 (edge 0 of F = (P0, P1, M)) at its midpoint
// S, and the two faces on it: F = (P0, S, M) and F' = (S, P1, M); D, which
// holds (P1, P0) at edge k with R opposite, keeps P1 and R with S in place
// of P0, and D' = (S, P0, R).
void CSqrt3Step::SplitSharpEdge(CFace3d* f) {
  if (!f || f->HasNullVertex()) return;
  CVertex3d* p0 = f->m_pVertex[0];
  CVertex3d* p1 = f->m_pVertex[1];
  CVertex3d* m = f->m_pVertex[2];
  CFace3d* d = f->m_pFace[0];
  // special case: already split from D's side (the face then holds half of
  // the edge, one end new: new vertices have flag 0, the ends of split
  // faces a positive flag), or no face across
  if (!d || d == f || d->HasNullVertex() || p0->m_Flag <= 0 || p1->m_Flag <= 0 ||
      !p0->HasNeighbor(p1))
    return;
  int k = -1;
  for (int j = 0; j < 3; j++)
    if (d->m_pVertex[j] == p1 && d->m_pVertex[(j + 1) % 3] == p0) k = j;
  if (k < 0) return;
  const int k1 = (k + 1) % 3, k2 = (k + 2) % 3;
  CVertex3d* r = d->m_pVertex[k2];
  if (r == m) return;

  CVertex3d* s = NewVertex((p0->x + p1->x) / 2.0, (p0->y + p1->y) / 2.0, (p0->z + p1->z) / 2.0);
  m_Mesh->m_ArrayVertex.Add(s);
  CFace3d* f2 = NewFace(s, p1, m);
  CFace3d* d2 = NewFace(s, p0, r);
  m_Mesh->m_ArrayFace.Add(f2);
  m_Mesh->m_ArrayFace.Add(d2);
  ReplaceCorner(f, 1, s);
  ReplaceCorner(d, k1, s);
  for (CFace3d* g : {f, f2, d, d2}) g->CalculateNormal();
  f2->m_Flag = f->m_Flag;
  d2->m_Flag = d->m_Flag;

  // neighbours: the outer faces on P1 M and P0 R change owner
  CFace3d* fOuter = f->m_pFace[1];  // across P1 M
  CFace3d* dOuter = d->m_pFace[k1]; // across P0 R
  f->SetNeighbors(d2, f2, f->m_pFace[2]);
  f2->SetNeighbors(d, fOuter, f);
  d->m_pFace[k] = f2;
  d->m_pFace[k1] = d2;
  d2->SetNeighbors(f, dOuter, d);
  Relink(fOuter, f, f2, p1, m);
  Relink(dOuter, d, d2, p0, r);

  // incident faces
  for (CFace3d* g : {f, f2, d, d2}) s->m_ArrayFaceNeighbor.Add(g);
  p1->RemoveFace(f);
  p1->AddFace(f2);
  p0->RemoveFace(d);
  p0->AddFace(d2);
  m->AddFace(f2);
  r->AddFace(d2);

  // one-rings: P0 and P1 part, S joins all four
  p0->RemoveNeighbor(p1);
  p1->RemoveNeighbor(p0);
  for (CVertex3d* v : {p0, p1, m, r}) {
    s->AddNeighbor(v);
    v->AddNeighbor(s);
  }
}

} // namespace

void FinishSqrt3Step(CMesh3d* mesh, bool linksKept) {
  if (!mesh) return;
  if (!linksKept) {
    mesh->Rebuild();
    return;
  }
  mesh->CalculateNormalPerFace();
  mesh->CalculateNormalPerVertex();
  mesh->SetModified();
}

float Sqrt3Weight(int n) {
  return n >= 3 && n <= 10 ? kWeights[n - 3] : 0.0f;
}

int SubdivisionSqrt3(CMesh3d* mesh, const CSqrt3Options& options) {
  if (!mesh) return 0;
  CSqrt3Step step(mesh, options);
  return step.Run();
}

int SubdivisionSqrt3(CMesh3d* mesh, int flip, int smooth, int adaptive, const Sqrt3Redraw& redraw,
                     int fixedWeight, float weight) {
  CSqrt3Options options;
  options.flip = flip != 0;
  options.smooth = smooth != 0;
  options.adaptive = adaptive != 0;
  options.fixedWeight = fixedWeight != 0;
  options.weight = weight;
  options.redraw = redraw;
  return SubdivisionSqrt3(mesh, options);
}
