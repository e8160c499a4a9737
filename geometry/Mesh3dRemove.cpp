// Removal primitives of the triangle mesh. Single-element removals vacate the
// element's slot (the array compacts itself when next read); every other
// removal marks the doomed elements and compacts the array once. Whatever is deleted is also taken
// out of every list and pointer that still refers to it, so nothing dangles until the caller
// rebuilds adjacency.

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/Mesh3dSlots.h"

static bool IsMarked(const std::vector<char>& doomed, int i) {
  return i >= 0 && i < static_cast<int>(doomed.size()) && doomed[static_cast<size_t>(i)];
}

static int CountMarked(const std::vector<char>& doomed, int size) {
  int count = 0;
  for (int i = 0; i < size; i++)
    if (IsMarked(doomed, i)) count++;
  return count;
}

namespace {

// The objects of the marked slots of an array, recognised in constant time.
// While it lives, each doomed object's flag holds the first marked slot that
// holds it; an object also held by a kept slot (listed twice) is not doomed
// and keeps its flag. The mesh lists (corners, one-rings, face lists,
// neighbours) only ever hold live objects, so they are tested through the
// flag; links that may outlive their target (merge targets, undo records,
// edges) are tested by value against the sorted list of doomed objects.
template <class T> class CDoomedSet {
public:
  CDoomedSet(const CArray3d<T>& array, const std::vector<char>& doomed)
      : m_Array(array), m_Doomed(doomed) {
    int n = array.GetSize();
    // mark each doomed object with its first marked slot, keeping its old flag
    std::vector<int> saved(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; i++) {
      T* p = array[i];
      if (!p || !IsMarked(doomed, i)) continue;
      if (IsMark(p, p->m_Flag) && p->m_Flag < i) continue;
      saved[static_cast<size_t>(i)] = p->m_Flag;
      p->m_Flag = i;
    }
    // objects also held by a kept slot survive: flag them with that slot
    for (int j = 0; j < n; j++) {
      T* p = array[j];
      if (!p || IsMarked(doomed, j) || !IsMark(p, p->m_Flag)) continue;
      m_Held.push_back({p, saved[static_cast<size_t>(p->m_Flag)]});
      p->m_Flag = j;
    }
    for (int i = 0; i < n; i++) {
      T* p = array[i];
      if (p && IsMarked(doomed, i) && p->m_Flag == i) m_Gone.push_back(p);
    }
  }
  ~CDoomedSet() {
    for (auto& held : m_Held) held.first->m_Flag = held.second;
  }
  CDoomedSet(const CDoomedSet&) = delete;
  CDoomedSet& operator=(const CDoomedSet&) = delete;

  // p is a live object (or null).
  bool Has(const T* p) const { return p && IsMark(p, p->m_Flag); }
  // p may point to anything, even freed memory: compared by value only.
  bool HasValue(const void* p) const {
    if (!p || m_Gone.empty()) return false;
    if (m_Sorted.empty()) {
      m_Sorted.assign(m_Gone.begin(), m_Gone.end());
      std::sort(m_Sorted.begin(), m_Sorted.end());
    }
    return std::binary_search(m_Sorted.begin(), m_Sorted.end(), p);
  }
  bool Empty() const { return m_Gone.empty(); }
  const std::vector<T*>& Gone() const { return m_Gone; }

private:
  bool IsMark(const T* p, int i) const {
    return i >= 0 && i < m_Array.GetSize() && IsMarked(m_Doomed, i) && m_Array[i] == p;
  }
  const CArray3d<T>& m_Array;
  const std::vector<char>& m_Doomed;
  std::vector<T*> m_Gone;
  std::vector<std::pair<T*, int>> m_Held;
  mutable std::vector<const void*> m_Sorted;
};

} // namespace

// Removes the entries for which gone(entry) holds, keeping the order.
template <class T, int N, class Pred> static void PurgeArray(CArray3d<T, N>& array, Pred gone) {
  int n = array.GetSize();
  int kept = 0;
  for (int i = 0; i < n; i++) {
    T* p = array[i];
    if (!gone(p)) array[kept++] = p;
  }
  array.Truncate(kept);
}

// Drops the marked slots of an array in one pass; returns how many.
template <class T> static int DropMarkedSlots(CArray3d<T>& array, const std::vector<char>& doomed) {
  int n = array.GetSize();
  int kept = 0;
  for (int i = 0; i < n; i++)
    if (!IsMarked(doomed, i)) array[kept++] = array[i];
  array.Truncate(kept);
  if (kept == 0) array.RemoveAll();
  return n - kept;
}

// Nulls the neighbour pointers of g that point to f.
static void ForgetNeighbor(CFace3d* g, const CFace3d* f) {
  for (int k = 0; k < 3; k++)
    if (g->m_pFace[k] == f) g->m_pFace[k] = nullptr;
}

// Keeps the per-face texture coordinate indices (3 per face) aligned with the
// face array when the marked faces go.
static void CompactTextureIndices(CMesh3d* mesh, const std::vector<char>& doomed) {
  int* index = mesh->m_pTextureCoordinateIndex;
  int n = mesh->m_NbTextureCoordinateIndex;
  if (!index || n <= 0) return;
  int kept = 0;
  for (int i = 0; i < n; i++) {
    if (IsMarked(doomed, i)) continue;
    if (kept != i) std::memmove(index + 3 * kept, index + 3 * i, 3 * sizeof(int));
    kept++;
  }
  mesh->m_NbTextureCoordinateIndex = kept;
}

// Deletes the mesh edges for which gone(edge) holds and takes them out of the
// edge lists of the vertices.
template <class Pred> static void DeleteEdgesWhere(CMesh3d* mesh, Pred gone) {
  int ne = mesh->NbEdge();
  std::vector<char> mark(static_cast<size_t>(ne), 0);
  std::vector<const CEdge3d*> doomed;
  for (int i = 0; i < ne; i++) {
    const CEdge3d* e = mesh->GetEdge(i);
    if (e && gone(e)) {
      mark[static_cast<size_t>(i)] = 1;
      doomed.push_back(e);
    }
  }
  if (doomed.empty()) return;
  std::sort(doomed.begin(), doomed.end());
  auto listed = [&doomed](const CEdge3d* e) {
    return std::binary_search(doomed.begin(), doomed.end(), e);
  };
  for (CVertex3d* v : mesh->m_ArrayVertex)
    if (v && v->NbEdge() > 0) PurgeArray(v->MutableEdgeList(), listed);
  DropMarkedSlots(mesh->m_ArrayEdge, mark);
  for (const CEdge3d* e : doomed) delete e;
}

//////////////////////////////////////////////////////////////////////
// Links of single elements
//////////////////////////////////////////////////////////////////////

// Clears the references to f reachable from its own links: the faces around
// its corners (which hold every face that can have f as a neighbour), the
// corners' face lists, its own neighbours and the mesh's edges.
static void UnlinkFace(CMesh3d* mesh, CFace3d* f) {
  for (int k = 0; k < 3; k++) {
    CVertex3d* c = f->v(k);
    if (!c) continue;
    for (CFace3d* g : c->m_ArrayFaceNeighbor)
      if (g && g != f) ForgetNeighbor(g, f);
    while (c->RemoveFace(f)) {
    }
  }
  for (int k = 0; k < 3; k++) {
    CFace3d* g = f->m_pFace[k];
    if (g && g != f) ForgetNeighbor(g, f);
  }
  for (CEdge3d* e : mesh->m_ArrayEdge) {
    if (!e) continue;
    if (e->m_pFace1 == f) e->m_pFace1 = nullptr;
    if (e->m_pFace2 == f) e->m_pFace2 = nullptr;
  }
}

// Clears the references to v reachable from its own links: the corners of its
// faces, its neighbours' one-rings and its edges. A vertex that lists no face
// may still be a corner when the adjacency is not built, so then every face
// is checked.
static void UnlinkVertex(CMesh3d* mesh, CVertex3d* v) {
  auto clearCorners = [v](CFace3d* f) {
    for (int k = 0; k < 3; k++)
      if (f->m_pVertex[k] == v) f->m_pVertex[k] = nullptr;
  };
  if (v->NbFace() > 0) {
    for (CFace3d* f : v->m_ArrayFaceNeighbor)
      if (f) clearCorners(f);
  } else {
    for (CFace3d* f : mesh->m_ArrayFace)
      if (f) clearCorners(f);
  }
  for (CVertex3d* n : v->m_ArrayVertexNeighbor)
    if (n && n != v)
      while (n->RemoveNeighbor(v)) {
      }
  if (v->NbEdge() > 0) DeleteEdgesWhere(mesh, [v](const CEdge3d* e) { return e->HasVertex(v); });
}

//////////////////////////////////////////////////////////////////////
// Bulk removals
//////////////////////////////////////////////////////////////////////

int CMesh3d::DeleteFacesMarked(const std::vector<char>& doomed, bool keepHistory) {
  if (CountMarked(doomed, NbFace()) == 0) return 0;
  if (!keepHistory) DropHistory();
  std::vector<CFace3d*> gone;
  {
    CDoomedSet<CFace3d> dead(m_ArrayFace, doomed);
    gone = dead.Gone();

    // clear the neighbour pointers, face lists and edge faces that refer to them
    if (!dead.Empty()) {
      for (CFace3d* f : m_ArrayFace) {
        if (!f || dead.Has(f)) continue;
        for (int k = 0; k < 3; k++)
          if (dead.Has(f->m_pFace[k])) f->m_pFace[k] = nullptr;
      }
      auto isDead = [&dead](const CFace3d* f) { return dead.Has(f); };
      for (CVertex3d* v : m_ArrayVertex)
        if (v) PurgeArray(v->m_ArrayFaceNeighbor, isDead);
      for (CVertex3d* v : m_ArrayDetachedVertex)
        if (v) PurgeArray(v->m_ArrayFaceNeighbor, isDead);
      for (CEdge3d* e : m_ArrayEdge) {
        if (!e) continue;
        if (dead.HasValue(e->m_pFace1)) e->m_pFace1 = nullptr;
        if (dead.HasValue(e->m_pFace2)) e->m_pFace2 = nullptr;
      }
    }
  }

  // compact the face array and its texture indices, then delete
  CompactTextureIndices(this, doomed);
  int removed = DropMarkedSlots(m_ArrayFace, doomed);
  for (CFace3d* f : gone) {
    ForgetId(f);
    delete f;
  }
  SetModified();
  return removed;
}

// Takes the dead vertices out of the one-ring and merge link of v.
static void ForgetVertices(CVertex3d* v, const CDoomedSet<CVertex3d>& dead) {
  if (v->NbNeighbor() > 0)
    PurgeArray(v->m_ArrayVertexNeighbor, [&dead](const CVertex3d* n) { return dead.Has(n); });
  if (dead.HasValue(v->GetTarget())) v->SetTarget(nullptr);
}

int CMesh3d::DeleteVerticesMarked(const std::vector<char>& doomed) {
  if (CountMarked(doomed, NbVertex()) == 0) return 0;
  DropHistory();
  std::vector<CVertex3d*> gone;
  {
    CDoomedSet<CVertex3d> dead(m_ArrayVertex, doomed);
    gone = dead.Gone();

    // clear the corners, one-rings, merge links and edges naming them
    if (!dead.Empty()) {
      for (CFace3d* f : m_ArrayFace) {
        if (!f) continue;
        for (int k = 0; k < 3; k++)
          if (dead.Has(f->m_pVertex[k])) f->m_pVertex[k] = nullptr;
      }
      for (CVertex3d* v : m_ArrayVertex)
        if (v && !dead.Has(v)) ForgetVertices(v, dead);
      for (CVertex3d* v : m_ArrayDetachedVertex)
        if (v) ForgetVertices(v, dead);
      DeleteEdgesWhere(this, [&dead](const CEdge3d* e) {
        return dead.HasValue(e->m_pVertex1) || dead.HasValue(e->m_pVertex2);
      });
    }
  }

  int removed = DropMarkedSlots(m_ArrayVertex, doomed);
  for (CVertex3d* v : gone) {
    ForgetId(v);
    delete v;
  }
  SetModified();
  return removed;
}

//////////////////////////////////////////////////////////////////////
// Single-element removals
//////////////////////////////////////////////////////////////////////

// The element is found through the mesh's slot table and its slot vacated:
// the array drops it, keeping the order of the others, when it is next read,
// so a run of removals costs constant time each plus one pass (Array3d.h,
// Mesh3dSlots.h).

int CMesh3d::RemoveVertex(CVertex3d* v) {
  if (!v) return 0;
  int slot = meshslots::SlotOf(m_ArrayVertex, v, m_VertexSlots);
  if (slot < 0) return 0;
  // dropping the history may compact the array: find the slot again
  if (DropHistory()) slot = meshslots::SlotOf(m_ArrayVertex, v, m_VertexSlots);
  m_ArrayVertex.Vacate(slot);
  m_VertexSlots.Erase(v);
  // a vertex listed twice lives on through its other slot
  if (m_VertexSlots.Unique() || !m_ArrayVertex.Has(v)) {
    UnlinkVertex(this, v);
    ForgetId(v);
    delete v;
  }
  SetModified();
  return 1;
}

int CMesh3d::DeleteVertexAt(int i) {
  if (i < 0 || i >= NbVertex()) return 0;
  CVertex3d* v = GetVertex(i);
  if (!v) {
    // special case: a null entry only leaves the array
    DropHistory();
    m_ArrayVertex.RemoveAt(i);
    SetModified();
    return 1;
  }
  return RemoveVertex(v);
}

int CMesh3d::RemoveFace(CFace3d* f) {
  if (!f) return 0;
  // special case: texture indices follow the face numbers, so a textured
  // mesh shifts its arrays at once
  bool textured = m_pTextureCoordinateIndex && m_NbTextureCoordinateIndex > 0;
  if (textured) m_ArrayFace.Compact();
  int slot = meshslots::SlotOf(m_ArrayFace, f, m_FaceSlots);
  if (slot < 0) return 0;
  // dropping the history may compact the array: find the slot again
  if (DropHistory()) slot = meshslots::SlotOf(m_ArrayFace, f, m_FaceSlots);

  if (!textured) {
    m_ArrayFace.Vacate(slot);
  } else {
    m_ArrayFace.RemoveAt(slot);
    if (slot < m_NbTextureCoordinateIndex) {
      std::memmove(m_pTextureCoordinateIndex + 3 * slot, m_pTextureCoordinateIndex + 3 * (slot + 1),
                   3 * sizeof(int) * static_cast<size_t>(m_NbTextureCoordinateIndex - 1 - slot));
      m_NbTextureCoordinateIndex--;
    }
  }
  m_FaceSlots.Erase(f);
  // a face listed twice lives on
  if (m_FaceSlots.Unique() || !m_ArrayFace.Has(f)) {
    UnlinkFace(this, f);
    ForgetId(f);
    delete f;
  }
  SetModified();
  return 1;
}

//////////////////////////////////////////////////////////////////////
// Removals by criterion (one compaction pass each)
//////////////////////////////////////////////////////////////////////

// Marks every face (null entries included) for which doom(face) holds.
template <class Pred> static std::vector<char> MarkFaces(const CMesh3d* mesh, Pred doom) {
  std::vector<char> doomed(static_cast<size_t>(mesh->NbFace()), 0);
  for (int i = 0; i < mesh->NbFace(); i++) doomed[static_cast<size_t>(i)] = doom(mesh->GetFace(i));
  return doomed;
}

// A face with a null corner (or a null entry of the face array).
static bool IsDeadFace(const CFace3d* f) {
  return !f || !f->m_pVertex[0] || !f->m_pVertex[1] || !f->m_pVertex[2];
}

int CMesh3d::DeleteFacesWithFlag(int flag) {
  return DeleteFacesMarked(
      MarkFaces(this, [flag](const CFace3d* f) { return f && f->m_Flag == flag; }));
}

int CMesh3d::DeleteFacesWithVertex(const CVertex3d* v) {
  if (!v) return 0;
  return DeleteFacesMarked(MarkFaces(this, [v](const CFace3d* f) { return f && f->HasVertex(v); }));
}

int CMesh3d::RemoveDeadFaces() {
  return DeleteFacesMarked(MarkFaces(this, IsDeadFace));
}

int CMesh3d::RemoveDeadFacesKeepingHistory() {
  return DeleteFacesMarked(MarkFaces(this, IsDeadFace), true);
}

int CMesh3d::TruncateAtFirstNullFace() {
  bool reached = false;
  return DeleteFacesMarked(MarkFaces(this, [&reached](const CFace3d* f) {
    if (IsDeadFace(f)) reached = true;
    return reached;
  }));
}

int CMesh3d::DeleteDegenerateFaces() {
  return DeleteFacesMarked(MarkFaces(this, [](const CFace3d* f) {
    if (!f) return true;
    CVertex3d *a = f->m_pVertex[0], *b = f->m_pVertex[1], *c = f->m_pVertex[2];
    return a == b || b == c || a == c;
  }));
}

int CMesh3d::DeleteFacesWithNeighborCount(int n) {
  return DeleteFacesMarked(MarkFaces(this, [n](const CFace3d* f) {
    if (!f) return false;
    int count = 0;
    for (int k = 0; k < 3; k++)
      if (f->m_pFace[k]) count++;
    return count == n;
  }));
}

int CMesh3d::DeleteVerticesWithFlag(int flag) {
  std::vector<char> doomed(static_cast<size_t>(NbVertex()), 0);
  for (int i = 0; i < NbVertex(); i++) {
    const CVertex3d* v = GetVertex(i);
    doomed[static_cast<size_t>(i)] = v && v->m_Flag == flag;
  }
  return DeleteVerticesMarked(doomed);
}

int CMesh3d::RemoveUnusedVertices() {
  // flag every corner of every face
  SetFlagOnVertices(0);
  for (CFace3d* f : m_ArrayFace) {
    if (!f) continue;
    for (int k = 0; k < 3; k++)
      if (CVertex3d* c = f->m_pVertex[k]) c->m_Flag = 1;
  }

  // the unflagged vertices (and null entries) go
  std::vector<char> doomed(static_cast<size_t>(NbVertex()), 0);
  for (int i = 0; i < NbVertex(); i++) {
    const CVertex3d* v = GetVertex(i);
    doomed[static_cast<size_t>(i)] = !v || v->m_Flag == 0;
  }
  return DeleteVerticesMarked(doomed);
}

// Isolated vertices leave the array but are not deleted: one whose only faces
// are (v, v, v) is still a corner until those faces go. They are kept in the
// detached array and freed with the mesh.
int CMesh3d::RemoveIsolatedVertices() {
  int n = NbVertex();
  int kept = 0;
  std::vector<CVertex3d*> isolated;
  for (int i = 0; i < n; i++) {
    CVertex3d* v = GetVertex(i);
    if (!v) continue;
    if (v->NbFace() == 0 || v->NbNeighbor() == 0)
      isolated.push_back(v);
    else
      m_ArrayVertex[kept++] = v;
  }
  if (kept == n) return 0;
  DropHistory();
  m_ArrayVertex.Truncate(kept);
  if (kept == 0) m_ArrayVertex.RemoveAll();

  // a vertex listed twice is kept aside once, so it is freed once
  std::sort(isolated.begin(), isolated.end());
  isolated.erase(std::unique(isolated.begin(), isolated.end()), isolated.end());
  for (CVertex3d* v : isolated) m_ArrayDetachedVertex.Add(v);
  SetModified();
  return n - kept;
}
