#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/Mesh3dIndexer.h"

// Adjacency is built in the order that fixes its results: a vertex lists
// its faces in face array order; its one-ring is every other corner of
// those faces, faces in list order and corners in face order (not a cyclic
// order); neighbour i of a face is the first face, other than itself, in
// the list of v(i) that also holds v(i + 1), so on a non-manifold edge the
// first one wins and on a boundary edge it stays null.
//
// Two paths give the same results. The flat path works on integer tables
// (corner indices per face, face indices per vertex, grouped by a counting
// sort) so the scans run over contiguous memory. The general path works on
// the pointer lists and is taken when some corner is a vertex foreign to
// the vertex array.

namespace {

// Flat incidence tables of a mesh whose corners all belong to its array.
// One set per thread is kept between builds: rebuilding a large mesh then
// reuses the memory instead of faulting fresh pages in every time.
struct CIncidence {
  std::vector<int> corner; // 3 per face: canonical vertex index, -1 for null
  std::vector<int> start;  // per vertex, first entry of its faces; one more
  std::vector<int> faceOf; // face indices grouped by vertex, in face order
  std::vector<int> cursor; // scratch: next free entry per vertex
  std::vector<int> seenBy; // scratch: last one-ring a vertex joined
  std::vector<int> ring;   // scratch: one-ring being gathered
};

// A list that fits inside its vertex again gives its block back.
template <class List> void ShrinkToInline(List& list) {
  if (list.GetCapacity() > CVertex3d::kInlineNeighbors &&
      list.GetSize() <= CVertex3d::kInlineNeighbors)
    list.FreeExtra();
}

} // namespace

// The element loops below chase pointers from one array into objects spread
// over the heap; asking for the objects a few iterations ahead hides most of
// the memory latency. A prefetch is only a hint: it never faults and does
// not change any result.
constexpr int kPrefetchAhead = 8;

static void PrefetchCorners(const CFace3d* f) {
  if (!f) return;
  for (int k = 0; k < 3; k++)
    if (const CVertex3d* v = f->m_pVertex[k]) __builtin_prefetch(&v->x);
}

// The flags hold the vertex indices while the adjacency is built.
static void PrefetchCornerFlags(const CFace3d* f) {
  if (!f) return;
  for (int k = 0; k < 3; k++)
    if (const CVertex3d* v = f->m_pVertex[k]) __builtin_prefetch(&v->m_Flag);
}

// True when corner k of f repeats one of its earlier corners.
static bool RepeatsEarlierCorner(const CFace3d* f, int k) {
  for (int j = 0; j < k; j++)
    if (f->v(j) == f->v(k)) return true;
  return false;
}

// Fills the flat tables; returns false when a corner is foreign to the array.
static bool BuildIncidence(const CMesh3d* mesh, const CVertexIndexer& indexer, CIncidence& inc) {
  int nv = mesh->NbVertex();
  int nf = mesh->NbFace();

  // corner indices and incidence counts (a repeated corner counts once)
  inc.corner.assign(3 * static_cast<size_t>(nf), -1);
  inc.start.assign(static_cast<size_t>(nv) + 1, 0);
  for (int fi = 0; fi < nf; fi++) {
    if (fi + kPrefetchAhead < nf) PrefetchCornerFlags(mesh->GetFace(fi + kPrefetchAhead));
    const CFace3d* f = mesh->GetFace(fi);
    if (!f) continue;
    int* c = &inc.corner[3 * static_cast<size_t>(fi)];
    for (int k = 0; k < 3; k++) {
      const CVertex3d* v = f->v(k);
      if (!v) continue;
      c[k] = indexer.IndexOf(v);
      if (c[k] < 0) return false;
      if (!RepeatsEarlierCorner(f, k)) inc.start[static_cast<size_t>(c[k]) + 1]++;
    }
  }

  // group the face indices by vertex, keeping face order
  for (int i = 0; i < nv; i++) inc.start[i + 1] += inc.start[i];
  inc.faceOf.resize(static_cast<size_t>(inc.start[nv]));
  inc.cursor.assign(inc.start.begin(), inc.start.end() - 1);
  std::vector<int>& cursor = inc.cursor;
  for (int fi = 0; fi < nf; fi++) {
    const int* c = &inc.corner[3 * static_cast<size_t>(fi)];
    if (c[0] >= 0) inc.faceOf[cursor[c[0]]++] = fi;
    if (c[1] >= 0 && c[1] != c[0]) inc.faceOf[cursor[c[1]]++] = fi;
    if (c[2] >= 0 && c[2] != c[0] && c[2] != c[1]) inc.faceOf[cursor[c[2]]++] = fi;
  }
  return true;
}

// Face lists and one-rings of every vertex from the flat tables.
static void BuildListsFlat(CMesh3d* mesh, const CVertexIndexer& indexer, CIncidence& inc) {
  int nv = mesh->NbVertex();
  inc.seenBy.assign(static_cast<size_t>(nv), -1);
  std::vector<int>& seenBy = inc.seenBy;
  for (int i = 0; i < nv; i++) {
    CVertex3d* p = mesh->GetVertex(i);
    if (!p || indexer.IndexOf(p) != i) continue; // a vertex listed twice is done once
    int first = inc.start[i], last = inc.start[i + 1];

    // incident faces
    auto& faces = p->m_ArrayFaceNeighbor;
    faces.Truncate(0);
    faces.Reserve(last - first);
    for (int e = first; e < last; e++) faces.Add(mesh->GetFace(inc.faceOf[e]));
    ShrinkToInline(faces);

    // one-ring, gathered first so that the list is sized exactly (a ring
    // of six stays inside the vertex)
    std::vector<int>& gathered = inc.ring;
    gathered.clear();
    for (int e = first; e < last; e++) {
      const int* c = &inc.corner[3 * static_cast<size_t>(inc.faceOf[e])];
      for (int k = 0; k < 3; k++) {
        int r = c[k];
        if (r < 0 || r == i || seenBy[r] == i) continue;
        seenBy[r] = i;
        gathered.push_back(r);
      }
    }
    auto& ring = p->m_ArrayVertexNeighbor;
    ring.Truncate(0);
    ring.Reserve(static_cast<int>(gathered.size()));
    for (int r : gathered) ring.Add(mesh->GetVertex(r));
    ShrinkToInline(ring);
  }
}

// The first face of a's list, other than f, that also holds b; null when
// a or b is missing or the edge is on the boundary.
static CFace3d* FindEdgeNeighborFlat(const CMesh3d* mesh, const CIncidence& inc, const CFace3d* f,
                                     int a, int b) {
  if (a < 0 || b < 0) return nullptr;
  for (int e = inc.start[a]; e < inc.start[a + 1]; e++) {
    int gi = inc.faceOf[e];
    const int* d = &inc.corner[3 * static_cast<size_t>(gi)];
    if ((d[0] == b || d[1] == b || d[2] == b) && mesh->GetFace(gi) != f) return mesh->GetFace(gi);
  }
  return nullptr;
}

// Neighbours across edges from the flat tables; all three are written, so
// no separate clearing pass is needed.
static void LinkNeighborsFlat(CMesh3d* mesh, const CIncidence& inc) {
  int nf = mesh->NbFace();
  for (int fi = 0; fi < nf; fi++) {
    CFace3d* f = mesh->GetFace(fi);
    if (!f) continue;
    const int* c = &inc.corner[3 * static_cast<size_t>(fi)];
    f->SetNeighbors(FindEdgeNeighborFlat(mesh, inc, f, c[0], c[1]),
                    FindEdgeNeighborFlat(mesh, inc, f, c[1], c[2]),
                    FindEdgeNeighborFlat(mesh, inc, f, c[2], c[0]));
  }
}

// General path, face lists: the lists of array vertices are emptied first;
// a foreign corner's list is not, so it gets the face only when absent.
static void BuildFaceListsGeneral(CMesh3d* mesh, const CVertexIndexer& indexer) {
  for (CVertex3d* v : mesh->m_ArrayVertex)
    if (v) {
      v->m_ArrayFaceNeighbor.Truncate(0);
      v->m_ArrayVertexNeighbor.Truncate(0);
    }
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f) continue;
    for (int k = 0; k < 3; k++) {
      CVertex3d* v = f->v(k);
      if (!v || RepeatsEarlierCorner(f, k)) continue;
      if (indexer.IndexOf(v) >= 0)
        v->m_ArrayFaceNeighbor.Add(f);
      else
        v->m_ArrayFaceNeighbor.AddUnique(f);
    }
  }
}

// General path, one-ring of p.
static void BuildVertexRingGeneral(CVertex3d* p) {
  auto& ring = p->m_ArrayVertexNeighbor;
  ring.Truncate(0);
  ring.Reserve(p->NbFace() + 1);
  for (CFace3d* f : p->m_ArrayFaceNeighbor) {
    if (!f) continue;
    for (int k = 0; k < 3; k++) {
      CVertex3d* r = f->v(k);
      if (r && r != p) ring.AddUnique(r);
    }
  }
}

// General path, neighbour across edge (a, b) of f.
static CFace3d* FindEdgeNeighborGeneral(const CFace3d* f, const CVertex3d* a, const CVertex3d* b) {
  for (CFace3d* g : a->m_ArrayFaceNeighbor) {
    if (!g || g == f) continue;
    if (g->HasVertex(b) && g->HasVertex(a)) return g;
  }
  return nullptr;
}

static void BuildAdjacencyGeneral(CMesh3d* mesh, const CVertexIndexer& indexer) {
  for (CFace3d* f : mesh->m_ArrayFace)
    if (f) f->SetNeighbors(nullptr, nullptr, nullptr);
  BuildFaceListsGeneral(mesh, indexer);
  for (int i = 0; i < mesh->NbVertex(); i++) {
    CVertex3d* p = mesh->GetVertex(i);
    if (p && indexer.IndexOf(p) == i) BuildVertexRingGeneral(p);
  }
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f) continue;
    for (int i = 0; i < 3; i++) {
      const CVertex3d* a = f->v(i);
      const CVertex3d* b = f->v((i + 1) % 3);
      if (!a || !b || f->f(i)) continue;
      f->SetNeighbor(i, FindEdgeNeighborGeneral(f, a, b));
    }
  }
}

int CMesh3d::BuildAdjacency() {
  int nv = NbVertex();
  int nf = NbFace();
  if (nv <= 2 || nf == 0) return 0;

  // incident faces, one-rings, neighbours across edges
  CVertexIndexer indexer(m_ArrayVertex);
  static thread_local CIncidence inc;
  if (BuildIncidence(this, indexer, inc)) {
    BuildListsFlat(this, indexer, inc);
    LinkNeighborsFlat(this, inc);
  } else {
    BuildAdjacencyGeneral(this, indexer);
  }
  return 1;
}

void CMesh3d::CalculateNormalPerFace() {
  int nf = NbFace();
  CFace3d* const* faces = m_ArrayFace.GetData();
  for (int i = 0; i < nf; i++) {
    if (i + kPrefetchAhead < nf) PrefetchCorners(faces[i + kPrefetchAhead]);
    CFace3d* f = faces[i];
    if (f && !f->HasNullVertex()) f->CalculateNormal();
  }
  SetModified();
}

void CMesh3d::CalculateNormalPerVertex() {
  int nv = NbVertex();
  CVertex3d* const* vertices = m_ArrayVertex.GetData();
  for (int i = 0; i < nv; i++) {
    // the list block of a vertex further ahead, the faces of a nearer one
    if (i + 2 * kPrefetchAhead < nv)
      if (const CVertex3d* w = vertices[i + 2 * kPrefetchAhead])
        __builtin_prefetch(w->m_ArrayFaceNeighbor.GetData());
    if (i + kPrefetchAhead < nv)
      if (const CVertex3d* w = vertices[i + kPrefetchAhead])
        for (const CFace3d* g : w->m_ArrayFaceNeighbor)
          if (g) __builtin_prefetch(&g->m_Normal.x);
    CVertex3d* v = vertices[i];
    if (!v || v->NbFace() == 0) continue;
    CVector3d sum;
    for (const CFace3d* f : v->m_ArrayFaceNeighbor)
      if (f) sum += f->m_Normal;
    sum.Normalize();
    v->m_Normal = sum;
  }
  SetModified();
}

void CMesh3d::Rebuild() {
  BuildAdjacency();
  CalculateNormalPerFace();
  CalculateNormalPerVertex();
  SetModified();
}
