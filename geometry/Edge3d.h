#pragma once

#include "geometry/Object3d.h"

class CVertex3d;
class CFace3d;

// Undirected mesh edge with up to two incident faces and a tag.
class CEdge3d : public CObject3d {
public:
  CVertex3d* m_pVertex1 = nullptr;
  CVertex3d* m_pVertex2 = nullptr;
  CFace3d* m_pFace1 = nullptr;
  CFace3d* m_pFace2 = nullptr;
  int m_Tag = 0;

  CEdge3d() = default;
  CEdge3d(CVertex3d* a, CVertex3d* b, int tag = 0) : m_pVertex1(a), m_pVertex2(b), m_Tag(tag) {}

  int GetType() override { return TYPE_EDGE3D; }
  CVertex3d* v1() const { return m_pVertex1; }
  CVertex3d* v2() const { return m_pVertex2; }
  int HasVertex(const CVertex3d* v) const { return m_pVertex1 == v || m_pVertex2 == v; }
  // The second vertex if v is the first, else the first.
  CVertex3d* GetOther(const CVertex3d* v) const {
    return v == m_pVertex1 ? m_pVertex2 : m_pVertex1;
  }
  // Same two end vertices in either order.
  bool operator==(const CEdge3d& e) const {
    return (m_pVertex1 == e.m_pVertex1 && m_pVertex2 == e.m_pVertex2) ||
           (m_pVertex1 == e.m_pVertex2 && m_pVertex2 == e.m_pVertex1);
  }
  bool Equals(const CVertex3d* a, const CVertex3d* b) const {
    return (m_pVertex1 == a && m_pVertex2 == b) || (m_pVertex1 == b && m_pVertex2 == a);
  }
};
