#include <vector>

#include "geometry/Mesh3d.h"

namespace {
struct CSegment3d {
  const CVertex3d* a;
  const CVertex3d* b;
};
} // namespace

double CMesh3d::NearestPoint(const CVector3d& p, CVector3d& point, CFace3d*& face) const {
  double best = 1.7e308;
  face = nullptr;
  CVector3d candidate;
  for (CFace3d* f : m_ArrayFace) {
    if (!f || f->HasNullVertex()) continue;
    double d = PointTriangleDistance(p, f, candidate);
    if (d < best) {
      best = d;
      point = candidate;
      face = f;
    }
  }
  return best;
}

// Edges of the mesh with no face on their other side.
static std::vector<CSegment3d> BoundaryEdges(const CMesh3d* mesh) {
  std::vector<CSegment3d> edges;
  for (const CFace3d* f : mesh->m_ArrayFace) {
    if (!f || f->HasNullVertex()) continue;
    for (int i = 0; i < 3; i++)
      if (!f->f(i)) edges.push_back({f->v(i), f->v((i + 1) % 3)});
  }
  return edges;
}

// Closest point to p on the segment (a, b); a when the segment is a point.
static CVector3d NearestOnSegment(const CVector3d& p, const CVertex3d* a, const CVertex3d* b) {
  CVector3d pa(a->x, a->y, a->z);
  CVector3d ab(a, b);
  double length2 = ab.LengthSquared();
  if (length2 == 0.0) return pa;
  double t = ((p - pa) * ab) / length2;
  if (t < 0.0) t = 0.0;
  if (t > 1.0) t = 1.0;
  return pa + ab * t;
}

// Closest point to p over a list of segments; the first of equals wins.
static CVector3d NearestOnSegments(const CVector3d& p, const std::vector<CSegment3d>& edges) {
  double best = 1.7e308;
  CVector3d result = p;
  for (const CSegment3d& e : edges) {
    CVector3d q = NearestOnSegment(p, e.a, e.b);
    double d = (q - p).LengthSquared();
    if (d < best) {
      best = d;
      result = q;
    }
  }
  return result;
}

int CMesh3d::ProjectOnto(const CMesh3d* other) {
  if (!other || other == this || other->NbFace() == 0) return 0;
  std::vector<CSegment3d> boundary = BoundaryEdges(other);

  // boundary status first: it must not depend on vertices already moved
  int nv = NbVertex();
  std::vector<char> onBoundary(static_cast<size_t>(nv), 0);
  if (!boundary.empty())
    for (int i = 0; i < nv; i++)
      if (CVertex3d* v = GetVertex(i)) onBoundary[static_cast<size_t>(i)] = v->IsBoundaryVertex();

  // boundary vertices slide onto the other boundary, the others onto its surface
  for (int i = 0; i < nv; i++) {
    CVertex3d* v = GetVertex(i);
    if (!v) continue;
    CVector3d p = v->Position();
    if (onBoundary[static_cast<size_t>(i)]) {
      v->Set(NearestOnSegments(p, boundary));
    } else {
      CVector3d q;
      CFace3d* face = nullptr;
      other->NearestPoint(p, q, face);
      if (face) v->Set(q);
    }
  }
  SetModified();
  return 1;
}

int CMesh3d::FloodLayers(int seedIndex) {
  if (seedIndex < 0 || seedIndex >= NbVertex() || !GetVertex(seedIndex)) return 0;
  SetFlagOnVertices(0);
  SetFlagOnFaces(0);

  // breadth-first: the faces around ring k get flag k, their unreached
  // corners form ring k + 1
  CVertex3d* seed = GetVertex(seedIndex);
  seed->m_Flag = 1;
  std::vector<CVertex3d*> ring{seed};
  std::vector<CVertex3d*> next;
  int layer = 1;
  for (;;) {
    next.clear();
    for (CVertex3d* v : ring)
      for (CFace3d* f : v->m_ArrayFaceNeighbor) {
        if (!f || f->m_Flag != 0) continue;
        f->m_Flag = layer;
        for (int k = 0; k < 3; k++) {
          CVertex3d* c = f->v(k);
          if (!c || c->m_Flag != 0) continue;
          c->m_Flag = layer + 1;
          next.push_back(c);
        }
      }
    if (next.empty()) break;
    ring.swap(next);
    layer++;
  }
  SetModified();
  return layer;
}
