// Free point and triangle functions: distances, areas, projections, planes
// and the closest point of a triangle.

#include <cmath>

#include "geometry/Face3d.h"
#include "geometry/Vertex3d.h"

double DistanceSquared(const CVertex3d* a, const CVertex3d* b) {
  if (!a || !b) return 0.0;
  double dx = b->x - a->x, dy = b->y - a->y, dz = b->z - a->z;
  return dx * dx + dy * dy + dz * dz;
}

double Distance(const CVertex3d* a, const CVertex3d* b) {
  return std::sqrt(DistanceSquared(a, b));
}

double Area(const CVertex3d* p, const CVertex3d* q, const CVertex3d* r) {
  if (!p || !q || !r) return 0.0;
  CVector3d rq(q, r); // R - Q
  CVector3d pq(q, p); // P - Q
  return (rq ^ pq).Length() / 2.0;
}

double Project(const CVertex3d* p, const CVertex3d* a, const CVertex3d* b, CVector3d& out) {
  if (!p || !a || !b) return 0.0;
  CVector3d ab(a, b);
  double len2 = ab.LengthSquared();
  if (len2 == 0.0) {
    // Degenerate line: the foot is a itself (avoids a division by zero).
    out.Set(a->x, a->y, a->z);
  } else {
    CVector3d ap(a, p);
    double t = (ap * ab) / len2;
    out.Set(a->x + t * ab.x, a->y + t * ab.y, a->z + t * ab.z);
  }
  CVector3d d(out.x - p->x, out.y - p->y, out.z - p->z);
  return d.Length();
}

int ProjectSafe(const CVertex3d* p, const CVertex3d* a, const CVertex3d* b, CVector3d& out) {
  if (!p || !a || !b) return 0;
  CVector3d ab(a, b);
  double len2 = ab.LengthSquared();
  if (len2 == 0.0) return 0;
  CVector3d ap(a, p);
  double t = (ap * ab) / len2;
  out.Set(a->x + t * ab.x, a->y + t * ab.y, a->z + t * ab.z);
  return 1;
}

int IsObtuseAt(const CVector3d& p, const CVector3d& a, const CVector3d& b) {
  return ((a - p) * (b - p)) <= 0.0;
}

int IsObtuseAt(const CVertex3d* p, const CVertex3d* a, const CVertex3d* b) {
  if (!p || !a || !b) return 0;
  return IsObtuseAt(p->Position(), a->Position(), b->Position());
}

CVector3d Centroid(const CArray3d<CVertex3d>& vertices) {
  CVector3d c;
  int n = 0;
  for (const CVertex3d* v : vertices) {
    if (!v) continue;
    c.x += v->x;
    c.y += v->y;
    c.z += v->z;
    n++;
  }
  if (n) c /= n;
  return c;
}

int FacePlane(CFace3d* face, double& a, double& b, double& c, double& d) {
  if (!face || face->HasNullVertex()) return 0;
  face->CalculateNormal();
  const CVector3d& n = face->m_Normal;
  if (n.LengthSquared() == 0.0) return 0;
  a = n.x;
  b = n.y;
  c = n.z;
  const CVertex3d* p0 = face->m_pVertex[0];
  d = -(n.x * p0->x + n.y * p0->y + n.z * p0->z);
  return 1;
}

double NormalSine(CFace3d* f, CFace3d* g) {
  if (!f || !g) return 0.0;
  f->CalculateNormal();
  g->CalculateNormal();
  const CVector3d& n = f->m_Normal;
  const CVector3d& m = g->m_Normal;
  double ln = n.Length(), lm = m.Length();
  if (ln == 0.0 || lm == 0.0) return 0.0;
  return (n ^ m).Length() / (ln * lm);
}

double NormalAngle(CFace3d* f, CFace3d* g) {
  if (!f || !g) return 0.0;
  f->CalculateNormal();
  g->CalculateNormal();
  if (f->m_Normal.LengthSquared() == 0.0 || g->m_Normal.LengthSquared() == 0.0) return 0.0;
  return AngleBetween(f->m_Normal, g->m_Normal);
}

int ProjectOnPlane(const CVector3d& p, CFace3d* face, CVector3d& out) {
  double da, db, dc, dd;
  if (!FacePlane(face, da, db, dc, dd)) return 0;
  // Plane coefficients held in single precision.
  float a = static_cast<float>(da), b = static_cast<float>(db);
  float c = static_cast<float>(dc), d = static_cast<float>(dd);
  double norm2 =
      static_cast<double>(a) * a + static_cast<double>(b) * b + static_cast<double>(c) * c;
  if (norm2 == 0.0) return 0;
  double t = (a * p.x + b * p.y + c * p.z + d) / norm2;
  out.Set(p.x - t * a, p.y - t * b, p.z - t * c);
  return 1;
}

int ProjectOnPlane(const CVertex3d* p, CFace3d* face, CVector3d& out) {
  if (!p) return 0;
  return ProjectOnPlane(p->Position(), face, out);
}

int IsInsideTriangle(const CVector3d& x, const CFace3d* face) {
  if (!face || face->HasNullVertex()) return 0;
  CVector3d A = face->m_pVertex[0]->Position() - x;
  CVector3d B = face->m_pVertex[1]->Position() - x;
  CVector3d C = face->m_pVertex[2]->Position() - x;
  CVector3d n0 = A ^ B;
  CVector3d n1 = B ^ C;
  CVector3d n2 = C ^ A;
  return (n0 * n1) >= 0.0 && (n1 * n2) >= 0.0 && (n0 * n2) >= 0.0;
}

double PointTriangleDistance(const CVector3d& p, CFace3d* face, CVector3d& out) {
  if (!face || face->HasNullVertex()) return 1.7e308;

  // Inside: the plane projection.
  CVector3d proj;
  if (ProjectOnPlane(p, face, proj) && IsInsideTriangle(proj, face)) {
    out = proj;
    return (proj - p).LengthSquared();
  }

  // Otherwise the nearest corner (first of equals wins) ...
  double best = 0.0;
  for (int k = 0; k < 3; k++) {
    CVector3d c = face->m_pVertex[k]->Position();
    double d = (c - p).LengthSquared();
    if (k == 0 || d < best) {
      best = d;
      out = c;
    }
  }
  // ... replaced by the foot on an edge line when it lies between the
  // edge's ends and is not farther (a later edge wins a tie).
  CVertex3d point(p.x, p.y, p.z);
  for (int k = 0; k < 3; k++) {
    const CVertex3d* a = face->m_pVertex[k];
    const CVertex3d* b = face->m_pVertex[(k + 1) % 3];
    CVector3d foot;
    if (!ProjectSafe(&point, a, b, foot)) continue;
    if (!IsObtuseAt(foot, a->Position(), b->Position())) continue;
    double d = (foot - p).LengthSquared();
    if (d <= best) {
      best = d;
      out = foot;
    }
  }
  return best;
}
