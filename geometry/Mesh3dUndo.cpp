// Undo of one recorded step: every face, then every vertex, pops one record
// of its history stack.

#include "geometry/Mesh3d.h"

int CMesh3d::UndoHistory() {
  int popped = 0;
  for (CFace3d* f : m_ArrayFace)
    if (f && f->PopHistory()) popped++;
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->PopHistory();
  SetModified();
  return popped;
}
