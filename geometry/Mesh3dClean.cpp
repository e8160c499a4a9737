// Removal of invalid faces, Cleanup and Check.
//
// RemoveInvalidFaces is defined as a loop: delete the first face (in array
// order) that is not valid, rebuild the adjacency, start again. Rebuilding
// after every deletion is quadratic, so the loop is replayed locally: after a
// face D goes, only the faces around D's corners can get other neighbours
// (neighbour i of F is the first face G != F in v(i)'s face list holding
// v(i+1)), and only those and the faces around the ones that changed can
// change validity. The invalid faces are kept in a set ordered by array
// position, so the face deleted next is always the first invalid one.

#include <set>
#include <unordered_map>
#include <vector>

#include "geometry/Mesh3d.h"

namespace {

// Face flags serve as array indices while the loop runs; the old flags are
// put back at the end. A face is in the array exactly when array[flag] is it.
class CFaceIndexer {
public:
  explicit CFaceIndexer(CArray3d<CFace3d>& faces) : m_Faces(faces) {
    int nf = faces.GetSize();
    m_SavedFlags.resize(static_cast<size_t>(nf));
    for (int i = 0; i < nf; i++)
      if (CFace3d* f = faces[i]) {
        m_SavedFlags[static_cast<size_t>(i)] = f->m_Flag;
        f->m_Flag = i;
      }
  }
  ~CFaceIndexer() { Restore(); }
  // Index of f in the array, or -1 for a face foreign to it.
  int IndexOf(const CFace3d* f) const {
    if (!f) return -1;
    int i = f->m_Flag;
    if (i < 0 || i >= m_Faces.GetSize() || m_Faces[i] != f) return -1;
    return i;
  }
  void Restore() {
    if (m_Restored) return;
    for (int i = m_Faces.GetSize() - 1; i >= 0; i--)
      if (CFace3d* f = m_Faces[i]) f->m_Flag = m_SavedFlags[static_cast<size_t>(i)];
    m_Restored = true;
  }

private:
  CArray3d<CFace3d>& m_Faces;
  std::vector<int> m_SavedFlags;
  bool m_Restored = false;
};

// The faces still in the loop, the dead ones and the ordered set of the
// invalid ones.
struct CInvalidLoop {
  explicit CInvalidLoop(CMesh3d* m) : mesh(m), indexer(m->m_ArrayFace) {
    int nf = m->NbFace();
    dead.assign(static_cast<size_t>(nf), 0);
    stamp.assign(static_cast<size_t>(nf), 0);
    for (int i = 0; i < nf; i++) Recheck(i);
  }
  bool IsDead(int i) const { return dead[static_cast<size_t>(i)] != 0; }
  // A face foreign to the array is never deleted here.
  bool IsDeadFace(const CFace3d* f) const {
    int i = indexer.IndexOf(f);
    return i >= 0 && IsDead(i);
  }
  void Recheck(int i) {
    const CFace3d* f = mesh->GetFace(i);
    if (!f || IsDead(i) || f->IsValid())
      invalid.erase(i);
    else
      invalid.insert(i);
  }
  // Deletes the whole batch of dead faces at once.
  int Finish() {
    indexer.Restore();
    return mesh->DeleteFacesMarked(dead);
  }

  CMesh3d* mesh;
  CFaceIndexer indexer;
  std::vector<char> dead;
  std::vector<int> stamp; // visit marks, compared with the current round
  int round = 0;
  std::set<int> invalid;
};

} // namespace

// The first face that is not valid under the current links, or -1.
static int FirstInvalidFace(const CMesh3d* mesh) {
  for (int i = 0; i < mesh->NbFace(); i++) {
    const CFace3d* f = mesh->GetFace(i);
    if (f && !f->IsValid()) return i;
  }
  return -1;
}

// Neighbour across edge i as the adjacency builder finds it, living faces only.
static CFace3d* EdgeNeighbor(const CInvalidLoop& loop, const CFace3d* f, int i) {
  const CVertex3d* a = f->v(i);
  const CVertex3d* b = f->v((i + 1) % 3);
  if (!a || !b) return nullptr;
  for (CFace3d* g : a->m_ArrayFaceNeighbor) {
    if (!g || g == f || loop.IsDeadFace(g)) continue;
    if (g->HasVertex(b) && g->HasVertex(a)) return g;
  }
  return nullptr;
}

// Appends the living array faces around the corners of f, each once a round.
static void CollectAround(CInvalidLoop& loop, const CFace3d* f, std::vector<int>& out) {
  for (int k = 0; k < 3; k++) {
    const CVertex3d* c = f->v(k);
    if (!c) continue;
    for (const CFace3d* g : c->m_ArrayFaceNeighbor) {
      int j = loop.indexer.IndexOf(g);
      if (j < 0 || loop.IsDead(j) || loop.stamp[static_cast<size_t>(j)] == loop.round) continue;
      loop.stamp[static_cast<size_t>(j)] = loop.round;
      out.push_back(j);
    }
  }
}

// Deletes face d from the loop: out of its corners' lists, neighbours of the
// faces around it recomputed, validity of everything that may have changed
// rechecked.
static void DeleteWithLocalAdjacency(CInvalidLoop& loop, int d) {
  CFace3d* dying = loop.mesh->GetFace(d);
  loop.dead[static_cast<size_t>(d)] = 1;
  loop.invalid.erase(d);
  for (int k = 0; k < 3; k++)
    if (CVertex3d* c = dying->v(k)) c->RemoveFace(dying);

  // recompute the neighbours of the faces around its corners
  loop.round++;
  std::vector<int> around;
  CollectAround(loop, dying, around);
  std::vector<int> changed;
  for (int j : around) {
    CFace3d* g = loop.mesh->GetFace(j);
    bool differs = false;
    for (int i = 0; i < 3; i++) {
      CFace3d* n = EdgeNeighbor(loop, g, i);
      if (g->m_pFace[i] != n) differs = true;
      g->m_pFace[i] = n;
    }
    if (differs) changed.push_back(j);
  }

  // recheck them and the faces around those that changed
  std::vector<int> recheck = around;
  for (int j : changed) CollectAround(loop, loop.mesh->GetFace(j), recheck);
  for (int j : recheck) loop.Recheck(j);
}

// Without a rebuild of the adjacency (a mesh of two vertices or fewer) a
// deletion only clears the pointers to the deleted face, so only the faces
// pointing to it, and those pointing to them, can change validity.
static int RemoveInvalidWithoutRebuild(CMesh3d* mesh) {
  int nf = mesh->NbFace();
  std::unordered_map<const CFace3d*, int> indexOf;
  indexOf.reserve(static_cast<size_t>(nf));
  for (int i = nf - 1; i >= 0; i--) indexOf[mesh->GetFace(i)] = i;

  // who points to whom
  std::vector<std::vector<int>> pointedBy(static_cast<size_t>(nf));
  for (int i = 0; i < nf; i++) {
    const CFace3d* f = mesh->GetFace(i);
    if (!f) continue;
    for (int k = 0; k < 3; k++) {
      auto it = indexOf.find(f->m_pFace[k]);
      if (f->m_pFace[k] && it != indexOf.end())
        pointedBy[static_cast<size_t>(it->second)].push_back(i);
    }
  }

  CInvalidLoop loop(mesh);
  while (!loop.invalid.empty()) {
    int d = *loop.invalid.begin();
    CFace3d* dying = mesh->GetFace(d);
    loop.dead[static_cast<size_t>(d)] = 1;
    loop.invalid.erase(d);
    for (int j : pointedBy[static_cast<size_t>(d)]) {
      CFace3d* g = mesh->GetFace(j);
      if (loop.IsDead(j) || !g->HasNeighbor(dying)) continue;
      for (int k = 0; k < 3; k++)
        if (g->m_pFace[k] == dying) g->m_pFace[k] = nullptr;
      loop.Recheck(j);
      for (int h : pointedBy[static_cast<size_t>(j)]) loop.Recheck(h);
    }
  }
  return loop.Finish();
}

int CMesh3d::RemoveInvalidFaces() {
  int first = FirstInvalidFace(this);
  if (first < 0) return 0;

  // special case: the adjacency is never rebuilt on so few vertices
  if (NbVertex() <= 2) return RemoveInvalidWithoutRebuild(this);

  // the first deletion under the links as they are, then a real rebuild
  std::vector<char> doomed(static_cast<size_t>(NbFace()), 0);
  doomed[static_cast<size_t>(first)] = 1;
  int removed = DeleteFacesMarked(doomed);
  if (!BuildAdjacency()) return removed; // no face left

  // the rest of the loop with local updates, one compaction at the end
  CInvalidLoop loop(this);
  while (!loop.invalid.empty()) DeleteWithLocalAdjacency(loop, *loop.invalid.begin());
  int more = loop.Finish();
  if (more > 0) BuildAdjacency();
  return removed + more;
}

int CMesh3d::Cleanup() {
  DropHistory();
  BuildAdjacency();
  int removed = RemoveIsolatedVertices();
  removed += DeleteDuplicateFaces();
  BuildAdjacency();
  removed += RemoveInvalidFaces();
  BuildAdjacency();
  CalculateNormalPerFace();
  CalculateNormalPerVertex();
  SetModified();
  return removed;
}

int CMesh3d::Check() {
  BuildAdjacency();
  return 1;
}
