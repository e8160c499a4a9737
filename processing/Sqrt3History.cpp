// Undo of sqrt(3) steps through the records their changes left on the
// faces and vertices.

#include "geometry/Mesh3d.h"
#include "processing/Sqrt3Subdivision.h"

bool HasSqrt3History(const CMesh3d* mesh) {
  if (!mesh) return false;
  for (const CFace3d* f : mesh->m_ArrayFace)
    if (f && f->m_pHistory) return true;
  for (const CVertex3d* v : mesh->m_ArrayVertex)
    if (v && v->m_pHistory) return true;
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

int UndoSqrt3All(CMesh3d* mesh, const std::function<void(int level)>& afterLevel) {
  if (!mesh) return 0;
  // level by level while a face pops; a vertex may hold more records than
  // any face (adaptive steps on disjoint faces around it), so go on until
  // no record is left. Dead faces go after each level only when someone
  // looks at the levels; otherwise once, at the end.
  int levels = 0;
  for (;;) {
    int popped = mesh->UndoHistory();
    if (popped == 0 && !HasSqrt3History(mesh)) break;
    if (afterLevel) {
      mesh->RemoveDeadFacesKeepingHistory();
      afterLevel(levels);
    }
    levels++;
  }
  mesh->RemoveDeadFacesKeepingHistory();
  mesh->RemoveUnusedVertices();
  return levels;
}
