// Uniform grid of a mesh's faces and its ring searches.

#include "geometry/HashTable3d.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "geometry/HugePages.h"
#include "geometry/Mesh3d.h"
#include "geometry/ObjectRenderer.h"

namespace {

inline double Dot(const double* a, const double* b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline void Sub(const double* a, const double* b, double* out) {
  out[0] = a[0] - b[0];
  out[1] = a[1] - b[1];
  out[2] = a[2] - b[2];
}

// Closest point of segment (a, b) to p; squared distance returned.
double PointSegment(const double* p, const double* a, const double* b, double* out) {
  double ab[3], ap[3];
  Sub(b, a, ab);
  Sub(p, a, ap);
  const double len2 = Dot(ab, ab);
  double t = len2 > 0.0 ? Dot(ap, ab) / len2 : 0.0;
  t = std::min(1.0, std::max(0.0, t));
  for (int i = 0; i < 3; i++) out[i] = a[i] + t * ab[i];
  double d[3];
  Sub(p, out, d);
  return Dot(d, d);
}

// A triangle without area: the closest of its three edges (first of equals).
double DegenerateTriangle(const double* p, const double* tri, double* closest) {
  double best = HUGE_VAL, q[3];
  for (int e = 0; e < 3; e++) {
    const double d = PointSegment(p, tri + 3 * e, tri + 3 * ((e + 1) % 3), q);
    if (d < best) {
      best = d;
      std::copy(q, q + 3, closest);
    }
  }
  return best;
}

inline void Combine(const double* a, const double* ab, const double* ac, double v, double w,
                    double* out) {
  for (int i = 0; i < 3; i++) out[i] = a[i] + v * ab[i] + w * ac[i];
}

// The least float not below d (d >= 0), to compare single-precision bounds
// with it: one step up from the nearest float when that lies below.
inline float RoundedUp(double d) {
  float f = static_cast<float>(d);
  if (f < d) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    bits++;
    std::memcpy(&f, &bits, sizeof f);
  }
  return f;
}

// Exact test of face f (its 9 coordinates at tri): it becomes the best when
// closer, or as close and earlier in the face array.
inline void Consider(const double* q, const double* tri, int f, double& best, int& bestFace,
                     double* bestPoint) {
  double c[3];
  const double d = PointTriangleDistanceSquared(q, tri, c);
  if (d < best || (d == best && f < bestFace)) {
    best = d;
    bestFace = f;
    std::copy(c, c + 3, bestPoint);
  }
}

} // namespace

// Closest point on a triangle by Voronoi regions of its vertices, edges and
// face (Ericson, Real-Time Collision Detection, 5.1.5).
double PointTriangleDistanceSquared(const double* p, const double* tri, double* closest) {
  const double* a = tri;
  const double* b = tri + 3;
  const double* c = tri + 6;
  double ab[3], ac[3], ap[3], bp[3], cp[3];
  Sub(b, a, ab);
  Sub(c, a, ac);
  Sub(p, a, ap);
  double out[3];
  const double d1 = Dot(ab, ap), d2 = Dot(ac, ap);
  Sub(p, b, bp);
  const double d3 = Dot(ab, bp), d4 = Dot(ac, bp);
  Sub(p, c, cp);
  const double d5 = Dot(ab, cp), d6 = Dot(ac, cp);
  const double va = d3 * d6 - d5 * d4, vb = d5 * d2 - d1 * d6, vc = d1 * d4 - d3 * d2;
  if (d1 <= 0.0 && d2 <= 0.0) {
    std::copy(a, a + 3, out); // vertex region a
  } else if (d3 >= 0.0 && d4 <= d3) {
    std::copy(b, b + 3, out); // vertex region b
  } else if (d6 >= 0.0 && d5 <= d6) {
    std::copy(c, c + 3, out); // vertex region c
  } else if (vc <= 0.0 && d1 >= 0.0 && d3 <= 0.0 && d1 - d3 > 0.0) {
    Combine(a, ab, ac, d1 / (d1 - d3), 0.0, out); // edge ab
  } else if (vb <= 0.0 && d2 >= 0.0 && d6 <= 0.0 && d2 - d6 > 0.0) {
    Combine(a, ab, ac, 0.0, d2 / (d2 - d6), out); // edge ac
  } else if (va <= 0.0 && d4 - d3 >= 0.0 && d5 - d6 >= 0.0 && (d4 - d3) + (d5 - d6) > 0.0) {
    const double w = (d4 - d3) / ((d4 - d3) + (d5 - d6)); // edge bc
    for (int i = 0; i < 3; i++) out[i] = b[i] + w * (c[i] - b[i]);
  } else if (va + vb + vc > 0.0) {
    const double denom = 1.0 / (va + vb + vc); // inside the face
    Combine(a, ab, ac, vb * denom, vc * denom, out);
  } else {
    return DegenerateTriangle(p, tri, closest); // special case: no area
  }
  std::copy(out, out + 3, closest);
  double d[3];
  Sub(p, out, d);
  return Dot(d, d);
}

CHashTable3d::CHashTable3d(int size)
    : m_Size(std::min(kMaxSize, std::max(1, size))),
      m_CellStart(static_cast<size_t>(m_Size) * m_Size * m_Size + 1, 0) {}

int CHashTable3d::glDraw() const {
  const CObjectRenderer* renderer = InstalledObjectRenderer();
  if (!renderer || !renderer->hashTableDraw) return 0;
  return renderer->hashTableDraw(*this);
}

CObject3d* CHashTable3d::Clone() const {
  auto* copy = new CHashTable3d(*this);
  std::fill(copy->m_Faces.begin(), copy->m_Faces.end(), nullptr);
  copy->m_Redraw = nullptr;
  return copy;
}

int CHashTable3d::AxisCell(int axis, double c) const {
  // special case: a flat axis maps every point to cell 0
  if (m_Scale[axis] == 0.0) return 0;
  const double t = (c - m_Min[axis]) * m_Scale[axis];
  if (!(t > 0.0)) return 0; // below the box, or NaN
  if (t >= m_Size) return m_Size - 1;
  return static_cast<int>(t);
}

void CHashTable3d::CellOf(const CVector3d& p, int cell[3]) const {
  cell[0] = AxisCell(0, p.x);
  cell[1] = AxisCell(1, p.y);
  cell[2] = AxisCell(2, p.z);
}

int CHashTable3d::Build(const CMesh3d* mesh) {
  // bounding box and scale per axis
  const int nf = mesh ? mesh->NbFace() : 0;
  for (int axis = 0; axis < 3; axis++) {
    float lo = 0.0f, hi = 0.0f;
    if (mesh && mesh->NbVertex() > 0) mesh->Range(axis, &lo, &hi);
    m_Min[axis] = lo;
    m_Max[axis] = hi;
    const double extent = static_cast<double>(hi) - lo;
    m_Scale[axis] = extent > 0.0 ? m_Size / extent : 0.0;
  }
  m_Transform = mesh ? mesh->m_Transform : CTransform();
  std::fill(m_CellStart.begin(), m_CellStart.end(), 0);
  m_SlotCell.clear();
  m_Entries.clear();
  m_Marks.clear();
  ReserveHugePages(m_Faces, static_cast<size_t>(nf));
  ReserveHugePages(m_Tri, static_cast<size_t>(nf) * 9);
  m_Faces.assign(static_cast<size_t>(nf), nullptr);
  m_Tri.assign(static_cast<size_t>(nf) * 9, 0.0);
  if (nf == 0) return 0;

  // copy the triangles and their cell ranges
  std::vector<int> range;
  ReserveHugePages(range, static_cast<size_t>(nf) * 6);
  range.assign(static_cast<size_t>(nf) * 6, 0);
  std::uint64_t total = 0;
  double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  for (int f = 0; f < nf; f++) {
    CFace3d* face = mesh->GetFace(f);
    if (!face || face->HasNullVertex()) continue;
    m_Faces[f] = face;
    double* t = &m_Tri[static_cast<size_t>(f) * 9];
    int* r = &range[static_cast<size_t>(f) * 6];
    for (int c = 0; c < 3; c++) {
      const CVertex3d* v = face->v(c);
      t[3 * c] = v->x;
      t[3 * c + 1] = v->y;
      t[3 * c + 2] = v->z;
    }
    for (int axis = 0; axis < 3; axis++) {
      const double low = std::min({t[axis], t[3 + axis], t[6 + axis]});
      const double high = std::max({t[axis], t[3 + axis], t[6 + axis]});
      r[axis] = AxisCell(axis, low);
      r[3 + axis] = AxisCell(axis, high);
      lo[axis] = std::min(lo[axis], low);
      hi[axis] = std::max(hi[axis], high);
    }
    total += std::uint64_t(r[3] - r[0] + 1) * (r[4] - r[1] + 1) * (r[5] - r[2] + 1);
  }
  // special case: more entries than the 32-bit entry positions reach (large
  // faces on a fine grid) cannot be stored
  if (total > kMaxEntries) {
    m_Faces.clear();
    m_Tri.clear();
    throw std::bad_alloc();
  }

  // lattice of the faces' boxes
  double side[3];
  for (int axis = 0; axis < 3; axis++) side[axis] = m_Scale[axis] > 0.0 ? 1.0 / m_Scale[axis] : 0.0;
  m_Boxes.Init(lo, hi, side);

  // entries per cell
  std::vector<std::uint32_t> count(m_CellStart.size() - 1, 0);
  for (int f = 0; f < nf; f++) {
    if (!m_Faces[f]) continue;
    const int* r = &range[static_cast<size_t>(f) * 6];
    for (int i = r[0]; i <= r[3]; i++)
      for (int j = r[1]; j <= r[4]; j++)
        for (int k = r[2]; k <= r[5]; k++) count[CellIndex(i, j, k)]++;
  }

  // first entry of every cell; the occupied cells are created in cell order
  for (size_t cell = 0; cell < count.size(); cell++) {
    m_CellStart[cell + 1] = m_CellStart[cell] + count[cell];
    if (count[cell] > 0) m_SlotCell.push_back(static_cast<std::int32_t>(cell));
    count[cell] = m_CellStart[cell]; // now the cell's next free entry
  }
  m_Marks.assign(m_SlotCell.size(), 0);

  // list every face with its box in its cells, in face order
  ReserveHugePages(m_Entries, m_CellStart.back());
  m_Entries.resize(m_CellStart.back());
  for (int f = 0; f < nf; f++) {
    if (!m_Faces[f]) continue;
    CGridEntry entry;
    entry.face = f;
    m_Boxes.Encode(&m_Tri[static_cast<size_t>(f) * 9], entry);
    const int* r = &range[static_cast<size_t>(f) * 6];
    for (int i = r[0]; i <= r[3]; i++)
      for (int j = r[1]; j <= r[4]; j++)
        for (int k = r[2]; k <= r[5]; k++) m_Entries[count[CellIndex(i, j, k)]++] = entry;
  }
  if (m_Redraw) m_Redraw();
  return 1;
}

std::vector<int> CHashTable3d::CellFaces(int i, int j, int k) const {
  if (i < 0 || j < 0 || k < 0 || i >= m_Size || j >= m_Size || k >= m_Size) return {};
  const int cell = CellIndex(i, j, k);
  std::vector<int> faces;
  for (std::uint32_t e = m_CellStart[cell]; e < m_CellStart[cell + 1]; e++)
    faces.push_back(m_Entries[e].face);
  return faces;
}

void CHashTable3d::CellBox(int i, int j, int k, float min[3], float max[3]) const {
  const int index[3] = {i, j, k};
  for (int axis = 0; axis < 3; axis++) {
    const float extent = m_Max[axis] - m_Min[axis];
    min[axis] = m_Min[axis] + index[axis] * extent / m_Size;
    max[axis] = m_Min[axis] + (index[axis] + 1) * extent / m_Size;
  }
}

std::vector<CHashTable3d::CellMark> CHashTable3d::Cells() const {
  std::vector<CellMark> cells;
  cells.reserve(m_SlotCell.size());
  for (size_t slot = 0; slot < m_SlotCell.size(); slot++) {
    const int cell = m_SlotCell[slot];
    cells.push_back({cell / (m_Size * m_Size), (cell / m_Size) % m_Size, cell % m_Size,
                     slot < m_Marks.size() ? m_Marks[slot] : 0});
  }
  return cells;
}

int CHashTable3d::SlotOf(int cell) const {
  const auto it = std::lower_bound(m_SlotCell.begin(), m_SlotCell.end(), cell);
  return it != m_SlotCell.end() && *it == cell ? static_cast<int>(it - m_SlotCell.begin()) : -1;
}

void CHashTable3d::ClearMarks() const {
  std::fill(m_Marks.begin(), m_Marks.end(), 0);
}

double CHashTable3d::CellMargin() const {
  double magnitude = 0.0;
  for (int axis = 0; axis < 3; axis++)
    magnitude =
        std::max({magnitude, std::fabs(double(m_Min[axis])), std::fabs(double(m_Max[axis]))});
  return 1e-6 * magnitude + 1e-300;
}

double CHashTable3d::CellDistanceSquared(const double* p, int i, int j, int k,
                                         double margin) const {
  const int index[3] = {i, j, k};
  double d2 = 0.0;
  for (int axis = 0; axis < 3; axis++) {
    const double extent = static_cast<double>(m_Max[axis]) - m_Min[axis];
    const double lo = m_Min[axis] + index[axis] * extent / m_Size - margin;
    const double hi = m_Min[axis] + (index[axis] + 1) * extent / m_Size + margin;
    const double d = std::max(std::max(lo - p[axis], p[axis] - hi), 0.0);
    d2 += d * d;
  }
  return d2;
}

template <class Visit>
bool CHashTable3d::VisitRing(const int center[3], int r, Visit&& visit) const {
  const int n = m_Size;
  const int i0 = std::max(0, center[0] - r), i1 = std::min(n - 1, center[0] + r);
  const int j0 = std::max(0, center[1] - r), j1 = std::min(n - 1, center[1] + r);
  bool any = false;
  auto cell = [&](int i, int j, int k) {
    if (k < 0 || k >= n) return;
    const int index = CellIndex(i, j, k);
    if (m_CellStart[index] == m_CellStart[index + 1]) return;
    any = true;
    visit(index, i, j, k);
  };
  for (int i = i0; i <= i1; i++)
    for (int j = j0; j <= j1; j++) {
      if (std::abs(i - center[0]) == r || std::abs(j - center[1]) == r) {
        for (int k = center[2] - r; k <= center[2] + r; k++) cell(i, j, k);
      } else {
        // inside the ring's square only the two caps along k
        cell(i, j, center[2] - r);
        if (r > 0) cell(i, j, center[2] + r);
      }
    }
  return any;
}

void CHashTable3d::ScanFiltered(int cell, const double* q, const CGridFaceBoxes::Query& u,
                                double& best, int& bestFace, double* bestPoint) const {
  constexpr std::uint32_t kChunk = 64;
  float bound[kChunk];
  const CGridEntry* entries = m_Entries.data();
  auto test = [&](const CGridEntry& entry) {
    Consider(q, &m_Tri[static_cast<size_t>(entry.face) * 9], entry.face, best, bestFace, bestPoint);
  };
  for (std::uint32_t begin = m_CellStart[cell], end = m_CellStart[cell + 1]; begin < end;
       begin += kChunk) {
    const CGridEntry* e = entries + begin;
    const std::uint32_t count = std::min(kChunk, end - begin);
    // bounds of a chunk of entries, read in a row, and the lowest of them
    std::uint32_t nearest = 0;
    float least = HUGE_VALF;
    for (std::uint32_t i = 0; i < count; i++) {
      const float b = CGridFaceBoxes::LowerBound(u, e[i]);
      bound[i] = b;
      nearest = b < least ? i : nearest;
      least = std::min(least, b);
    }
    // fetch ahead the triangles of the faces that may be closer than the
    // nearest box's farthest corner: their exact tests then overlap
    float limit = RoundedUp(best);
    const float reach = std::min(CGridFaceBoxes::FarBound(u, e[nearest]) * 1.01f, limit);
    for (std::uint32_t i = 0; i < count; i++)
      if (bound[i] <= reach) {
        const double* tri = &m_Tri[static_cast<size_t>(e[i].face) * 9];
        __builtin_prefetch(tri);
        __builtin_prefetch(tri + 8); // 72 bytes span two lines
      }
    // the likely closest face first, so that the bounds rule out most others:
    // a face bounded above the best distance has its exact distance above it
    // too, and the answer (lowest distance, then first face) is the same in
    // any order of the tests
    if (bound[nearest] <= limit) {
      test(e[nearest]);
      limit = RoundedUp(best);
    }
    bound[nearest] = HUGE_VALF;
    for (std::uint32_t i = 0; i < count; i++) {
      if (bound[i] > limit) continue;
      test(e[i]);
      limit = RoundedUp(best);
    }
  }
}

double CHashTable3d::Search(const CVector3d& p, bool exact, int debug, CVector3d& point,
                            CFace3d*& face) const {
  double best = kNothing;
  int bestFace = -1;
  double bestPoint[3] = {0.0, 0.0, 0.0};
  const double q[3] = {p.x, p.y, p.z};
  int center[3];
  CellOf(p, center);
  // smallest cell side over the axes that are not flat: a cell r rings away
  // is at least (r - 1) sides away from the query
  double side = HUGE_VAL;
  for (int axis = 0; axis < 3; axis++)
    if (m_Scale[axis] > 0.0) side = std::min(side, 1.0 / m_Scale[axis]);
  // cell bounds are widened by a margin above the rounding of the grid's box
  // (kept in single precision: a corner of the mesh may lie just outside
  // it) and of the cell a point falls in, so that a face at the best
  // distance (an equal one that comes first) is never passed over
  const double margin = CellMargin();

  // the faces' boxes bound the distances of the first two rings' faces
  CGridFaceBoxes::Query u;
  const bool filtered = m_UseFaceBoxes && m_Boxes.Prepare(q, u);
  int ring = 0;

  auto visitCell = [&](int index, int i, int j, int k) {
    if (debug) {
      const int slot = SlotOf(index);
      if (slot >= 0 && slot < static_cast<int>(m_Marks.size())) m_Marks[slot] = 1;
    }
    // skip a cell whose box lies farther than the best face: none of its
    // faces can be closer (both searches give the same answer without it)
    if (bestFace >= 0 && CellDistanceSquared(q, i, j, k, margin) > best) return;
    if (filtered && ring <= 1) {
      ScanFiltered(index, q, u, best, bestFace, bestPoint);
      return;
    }
    for (std::uint32_t e = m_CellStart[index]; e < m_CellStart[index + 1]; e++) {
      const int f = m_Entries[e].face;
      Consider(q, &m_Tri[static_cast<size_t>(f) * 9], f, best, bestFace, bestPoint);
    }
  };

  for (int r = 0; r <= m_Size; r++) {
    ring = r;
    if (exact && bestFace >= 0 && r > 0) {
      const double gap = (r - 1) * side - margin;
      if (gap * gap > best) break;
    }
    const bool any = VisitRing(center, r, visitCell);
    if (debug && m_Redraw) m_Redraw();
    if (any && !exact) break;
  }
  m_LastFace = bestFace;
  face = bestFace >= 0 ? m_Faces[bestFace] : nullptr;
  if (bestFace >= 0) point = CVector3d(bestPoint[0], bestPoint[1], bestPoint[2]);
  return best;
}

double CHashTable3d::ClosestPoint(const CVector3d& p, CVector3d& point, CFace3d*& face,
                                  int debug) const {
  return Search(p, false, debug, point, face);
}

double CHashTable3d::ExactClosestPoint(const CVector3d& p, CVector3d& point, CFace3d*& face) const {
  return Search(p, true, 0, point, face);
}
