// Undo of one recorded step: every face, then every vertex, pops one record
// of its history stack; and the dropping of the whole history on removals.

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

int CMesh3d::DropHistory() {
  std::uint64_t created = CHistory3d::Created();
  if (m_HistoryFreeAt == created) return 0;
  for (CFace3d* f : m_ArrayFace)
    if (f) f->ClearHistory();
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->ClearHistory();
  for (CVertex3d* v : m_ArrayDetachedVertex)
    if (v) v->ClearHistory();
  m_HistoryFreeAt = created;
  return 1;
}
