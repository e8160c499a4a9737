// Stable ids of vertices and faces: handed out on request, resolved back to
// the element through the id table and checked against the mesh's arrays.

#include "geometry/Mesh3d.h"
#include "geometry/Mesh3dSlots.h"

namespace {

// The id of element, assigned from table on the first request.
template <class T> std::uint32_t IdOf(T* element, CElementIds& table) {
  if (!element) return 0;
  std::uint32_t id = element->GetId();
  if (id == 0) {
    id = table.Assign(element);
    element->MutableExtra().m_Id = id;
  }
  return id;
}

// The element recorded under id when the array still holds it and it still
// carries that id; the address is compared with the array's entries before
// it is followed, so an element deleted behind the mesh's back (or an
// address reused by a newer element) resolves to null.
template <class T>
T* ElementOf(std::uint32_t id, CElementIds& table, const CArray3d<T>& array, CSlotIndex& slots) {
  auto* p = static_cast<T*>(const_cast<void*>(table.Lookup(id)));
  if (!p) return nullptr;
  if (meshslots::SlotOf(array, p, slots) < 0 || p->GetId() != id) {
    table.Forget(id);
    return nullptr;
  }
  return p;
}

} // namespace

std::uint32_t CMesh3d::VertexId(CVertex3d* v) {
  return IdOf(v, m_VertexIds);
}

std::uint32_t CMesh3d::FaceId(CFace3d* f) {
  return IdOf(f, m_FaceIds);
}

CVertex3d* CMesh3d::VertexFromId(std::uint32_t id) {
  return ElementOf(id, m_VertexIds, m_ArrayVertex, m_VertexSlots);
}

CFace3d* CMesh3d::FaceFromId(std::uint32_t id) {
  return ElementOf(id, m_FaceIds, m_ArrayFace, m_FaceSlots);
}
