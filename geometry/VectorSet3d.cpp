#include "geometry/VectorSet3d.h"

#include "geometry/Face3d.h"
#include "geometry/Mesh3d.h"
#include "geometry/Vertex3d.h"

CVectorSet3d::~CVectorSet3d() {
  for (CObject3d* point : m_ArrayPoint) delete point;
}

void CVectorSet3d::Add(CVertex3d* start, CVertex3d* end) {
  m_ArrayPoint.Add(start);
  m_ArrayPoint.Add(end);
  SetModified();
}

void CVectorSet3d::Add(const CVector3d& start, const CVector3d& end) {
  m_ArrayPoint.Add(new CPoint3d(start));
  m_ArrayPoint.Add(new CPoint3d(end));
  SetModified();
}

int CVectorSet3d::GetPoint(int i, CVector3d& position) const {
  if (i < 0 || i >= m_ArrayPoint.GetSize() || !m_ArrayPoint[i]) return 0;
  CObject3d* point = m_ArrayPoint[i];
  switch (point->GetType()) {
  case TYPE_VERTEX3D:
    position.Set(static_cast<CVertex3d*>(point));
    return 1;
  case TYPE_VECTOR3D:
    position.Set(static_cast<CPoint3d*>(point)->m_Position);
    return 1;
  default:
    return 0;
  }
}

int CVectorSet3d::GetSegment(int pair, CVector3d& start, CVector3d& end) const {
  CVector3d tip;
  if (!GetPoint(2 * pair, start) || !GetPoint(2 * pair + 1, tip)) return 0;
  end = start + (tip - start) * static_cast<double>(m_LengthFactor);
  return 1;
}

//////////////////////////////////////////////////////////////////////
// Sets built from a mesh
//////////////////////////////////////////////////////////////////////

// An empty set named `name` carrying a copy of the mesh's transform.
static CVectorSet3d* NewSetFor(CMesh3d* mesh, const char* name) {
  auto* set = new CVectorSet3d;
  set->m_Name = name;
  set->m_Transform.Copy(*mesh->GetTransform());
  return set;
}

static int HasAllCorners(const CFace3d* face) {
  return face->v(0) && face->v(1) && face->v(2);
}

CVectorSet3d* NewFaceNormalSet(CMesh3d* mesh) {
  CVectorSet3d* set = NewSetFor(mesh, "NormalSet");
  for (CFace3d* face : mesh->m_ArrayFace) {
    if (!face || !HasAllCorners(face)) continue;
    // centroid: mean of the three corners
    CVector3d centroid;
    for (int k = 0; k < 3; k++) centroid += CVector3d(face->v(k)->x, face->v(k)->y, face->v(k)->z);
    centroid /= 3.0;
    CVector3d normal = face->m_Normal;
    normal.Normalize();
    set->Add(centroid, centroid + normal);
  }
  return set;
}

CVectorSet3d* NewSharpEdgeSet(CMesh3d* mesh, double threshold) {
  CVectorSet3d* set = nullptr;
  for (CFace3d* face : mesh->m_ArrayFace) {
    if (!face || !HasAllCorners(face)) continue;
    int sharp[3];
    if (!face->SharpEdges(threshold, sharp)) continue;
    for (int i = 0; i < 3; i++) {
      if (!sharp[i]) continue;
      if (!set) set = NewSetFor(mesh, "SharpEdgesSet");
      // copies of the two corners' positions (free points: a segment
      // costs two small records, not two vertices)
      const CVertex3d* a = face->v(i);
      const CVertex3d* b = face->v((i + 1) % 3);
      set->Add(CVector3d(a->x, a->y, a->z), CVector3d(b->x, b->y, b->z));
    }
  }
  return set;
}
