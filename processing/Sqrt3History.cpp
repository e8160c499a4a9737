// Undo of sqrt(3) steps through the records their changes left on the
// faces and vertices.

#include <algorithm>

#include "geometry/Mesh3d.h"
#include "processing/Sqrt3Subdivision.h"

bool HasSqrt3History(const CMesh3d* mesh) {
  if (!mesh) return false;
  for (const CFace3d* f : mesh->m_ArrayFace)
    if (f && f->GetHistory()) return true;
  for (const CVertex3d* v : mesh->m_ArrayVertex)
    if (v && v->GetHistory()) return true;
  return false;
}

int UndoSqrt3Level(CMesh3d* mesh) {
  if (!mesh) return 0;
  int popped = mesh->UndoHistory();
  // the faces the level created are dead now; the records of the others
  // name vertices only, so they stay valid
  mesh->RemoveDeadFacesKeepingHistory();
  return popped;
}

// Every element pops its whole stack at once: the same end state as popping
// level by level (each record restores its own element only), in one pass.
static int PopEverything(CMesh3d* mesh) {
  int deepest = 0;
  for (CFace3d* f : mesh->m_ArrayFace) {
    int n = 0;
    while (f && f->PopHistory()) n++;
    deepest = std::max(deepest, n);
  }
  for (CVertex3d* v : mesh->m_ArrayVertex) {
    int n = 0;
    while (v && v->PopHistory()) n++;
    deepest = std::max(deepest, n);
  }
  mesh->SetModified();
  return deepest;
}

// The links are rebuilt after a full undo: emptied first, the removals of
// the created elements have no lists to purge.
static void ForgetLinks(CMesh3d* mesh) {
  for (CFace3d* f : mesh->m_ArrayFace)
    if (f) f->SetNeighbors(nullptr, nullptr, nullptr);
  for (CVertex3d* v : mesh->m_ArrayVertex) {
    if (!v) continue;
    v->m_ArrayFaceNeighbor.RemoveAll();
    v->m_ArrayVertexNeighbor.RemoveAll();
  }
}

int UndoSqrt3All(CMesh3d* mesh, const std::function<void(int level)>& afterLevel) {
  if (!mesh) return 0;
  int levels = 0;
  if (afterLevel) {
    // level by level while a face pops, the dead faces removed after each;
    // a vertex may hold more records than any face (adaptive steps on
    // disjoint faces around it), so go on until no record is left
    for (;;) {
      int popped = mesh->UndoHistory();
      if (popped == 0 && !HasSqrt3History(mesh)) break;
      mesh->RemoveDeadFacesKeepingHistory();
      afterLevel(levels);
      levels++;
    }
  } else {
    levels = PopEverything(mesh);
  }
  ForgetLinks(mesh);
  mesh->RemoveDeadFacesKeepingHistory();
  mesh->RemoveUnusedVertices();
  return levels;
}
