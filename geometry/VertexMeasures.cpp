// CVertex3d measures over incident faces and neighbours.

#include <cmath>

#include "geometry/Face3d.h"
#include "geometry/Vertex3d.h"

double CVertex3d::MeanFaceArea() const {
  double sum = 0.0;
  int n = 0;
  for (CFace3d* f : m_ArrayFaceNeighbor) {
    if (!f) continue;
    sum += f->Area();
    n++;
  }
  return n ? sum / n : 0.0;
}

double CVertex3d::MinFaceArea() const {
  double best = 1.7e308;
  for (CFace3d* f : m_ArrayFaceNeighbor) {
    if (!f) continue;
    double a = f->Area();
    if (a < best) best = a;
  }
  return best;
}

double CVertex3d::MeanCompacity() const {
  double sum = 0.0;
  int n = 0;
  for (CFace3d* f : m_ArrayFaceNeighbor) {
    if (!f) continue;
    sum += f->Compacity();
    n++;
  }
  return n ? sum / n : 0.0;
}

double CVertex3d::MeanDistanceToNeighbors() const {
  double sum = 0.0;
  int n = 0;
  for (CVertex3d* v : m_ArrayVertexNeighbor) {
    if (!v) continue;
    sum += Distance(this, v);
    n++;
  }
  return n ? sum / n : 0.0;
}

// Calls fn(f, g) for every unordered pair of incident faces that are
// neighbours of each other.
template <class Faces, class Fn> static void ForNeighborFacePairs(const Faces& faces, Fn fn) {
  int n = faces.GetSize();
  for (int i = 0; i < n; i++) {
    CFace3d* f = faces[i];
    if (!f) continue;
    for (int j = i + 1; j < n; j++) {
      CFace3d* g = faces[j];
      if (!g || g == f) continue;
      if (f->HasNeighbor(g) || g->HasNeighbor(f)) fn(f, g);
    }
  }
}

double CVertex3d::SumNormalSine() const {
  if (m_ArrayFaceNeighbor.GetSize() < 2) return 0.0;
  double sum = 0.0;
  ForNeighborFacePairs(m_ArrayFaceNeighbor,
                       [&](CFace3d* f, CFace3d* g) { sum += NormalSine(f, g); });
  return sum;
}

double CVertex3d::MaxNormalSine() const {
  if (m_ArrayFaceNeighbor.GetSize() < 2) return 0.0;
  double best = 0.0;
  ForNeighborFacePairs(m_ArrayFaceNeighbor, [&](CFace3d* f, CFace3d* g) {
    double s = NormalSine(f, g);
    if (s > best) best = s;
  });
  return best;
}

double CVertex3d::MaxNormalAngle() const {
  if (m_ArrayFaceNeighbor.GetSize() < 2) return 0.0;
  double best = 0.0;
  ForNeighborFacePairs(m_ArrayFaceNeighbor, [&](CFace3d* f, CFace3d* g) {
    double a = NormalAngle(f, g);
    if (a > best) best = a;
  });
  return best;
}

int CVertex3d::SharpCount(double threshold) const {
  if (IsBoundaryVertex()) return 3;
  int nf = m_ArrayFaceNeighbor.GetSize();
  if (nf == 0) return 0;
  if (nf == 1) return 2;
  int count = 0;
  ForNeighborFacePairs(m_ArrayFaceNeighbor, [&](CFace3d* f, CFace3d* g) {
    if (NormalSine(f, g) >= threshold) count++;
  });
  return count;
}
