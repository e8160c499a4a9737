#include "compression/IsoContour.h"

#include <algorithm>

#include "compression/IsoBitRows.h"

namespace {

// Corner offsets in the order of IsoCornerByte.
constexpr int kCorner[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1},
                               {0, 1, 0}, {1, 1, 0}, {0, 1, 1}, {1, 1, 1}};
// The twelve cell edges as corner pairs.
constexpr int kEdge[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 4}, {1, 5},
                              {2, 6}, {3, 7}, {0, 2}, {1, 3}, {4, 6}, {5, 7}};

int Levels(int64_t cells) {
  int k = 0;
  while ((int64_t(1) << k) < cells) ++k;
  return k;
}

// Mean of the edge crossings of one cell, by linear interpolation of the
// potentials (the cell centre when no edge crosses, which cannot happen for
// a cell with a sign change but keeps the result defined).
void CrossingMean(const CIsoVolume& v, int64_t x, int64_t y, int64_t z, int64_t s, double* p) {
  double sum[3] = {0.0, 0.0, 0.0};
  int count = 0;
  for (const auto& e : kEdge) {
    const int* a = kCorner[e[0]];
    const int* b = kCorner[e[1]];
    const int64_t ia = v.m_Signs.Index(x + a[0] * s, y + a[1] * s, z + a[2] * s);
    const int64_t ib = v.m_Signs.Index(x + b[0] * s, y + b[1] * s, z + b[2] * s);
    if (v.m_Signs.Get(ia) == v.m_Signs.Get(ib)) continue;
    const double fa = v.m_Potential[ia] - v.m_Isovalue;
    const double fb = v.m_Potential[ib] - v.m_Isovalue;
    double t = fa == fb ? 0.5 : fa / (fa - fb);
    t = std::min(1.0, std::max(0.0, t));
    for (int k = 0; k < 3; ++k) sum[k] += (a[k] + t * (b[k] - a[k])) * s;
    ++count;
  }
  const double base[3] = {double(x), double(y), double(z)};
  for (int k = 0; k < 3; ++k) p[k] = count ? base[k] + sum[k] / count : base[k] + 0.5 * s;
}

// A sign-changing lattice edge: its first point, axis, and whether that
// point is inside.
struct ContourEdge {
  int32_t x, y, z;
  uint8_t axis, insideFirst;
};

// A cell with a sign change: octree key, lattice index of its minimum
// corner and position in scan order.
struct MixedCell {
  uint64_t key;
  int64_t index, scan;
};

int Ctz(uint64_t bits) {
  return __builtin_ctzll(bits);
}

} // namespace

uint64_t IsoTreeKey(int64_t cx, int64_t cy, int64_t cz, int levels) {
  uint64_t key = 0;
  for (int b = levels - 1; b >= 0; --b) {
    const uint64_t child = ((cx >> b) & 1) | (((cz >> b) & 1) << 1) | (((cy >> b) & 1) << 2);
    key = (key << 3) | child;
  }
  return key;
}

int IsoCornerByte(const CBitGrid& signs, int64_t x, int64_t y, int64_t z, int64_t s) {
  int byte = 0;
  for (const auto& c : kCorner)
    byte = (byte << 1) | signs.At(x + c[0] * s, y + c[1] * s, z + c[2] * s);
  return byte;
}

void IsoContour(const CBitGrid& signs, int64_t step, CIsoSurface& out,
                const CIsoVolume* potentials) {
  out = CIsoSurface();
  const int64_t n = signs.Size();
  if (n < 2 || step < 1) return;
  const int64_t cells = (n - 1) / step;
  const int levels = Levels(cells);
  const bool crossings =
      potentials && step == 1 && static_cast<int64_t>(potentials->m_Potential.size()) == n * n * n;

  // One pass over the lattice a row of points at a time: the sign-changing
  // edges (inner ones only: they make the quads) and the cells with a sign
  // change, both in scan order (x, then y, then z)
  const int64_t points = cells + 1, words = isorows::WordCount(points);
  std::vector<uint64_t> plane(static_cast<size_t>(points * words));
  std::vector<uint64_t> next(plane.size());
  std::vector<uint64_t> scratch(static_cast<size_t>(6 * words));
  uint64_t* ex = scratch.data();
  uint64_t* ey = ex + words;
  uint64_t* ez = ey + words;
  uint64_t* any = ez + words;
  uint64_t* all = any + words;
  uint64_t* shifted = all + words;
  std::vector<ContourEdge> edges;
  std::vector<int32_t> mixedZ; // z of each mixed cell, scan order
  std::vector<int64_t> rowStart(static_cast<size_t>(cells * cells + 1), 0); // per (x, y) row
  isorows::LatticePlane(signs, 0, step, points, words, plane.data());
  for (int64_t cx = 0; cx <= cells; ++cx) {
    if (cx < cells) isorows::LatticePlane(signs, cx + 1, step, points, words, next.data());
    for (int64_t cy = 0; cy <= cells; ++cy) {
      const uint64_t* r = plane.data() + cy * words;
      const uint64_t* ry = cy < cells ? r + words : nullptr;
      const uint64_t* rx = cx < cells ? next.data() + cy * words : nullptr;
      // Sign changes along x, y (to the next row) and z (to the next point)
      isorows::ShiftDown(r, words, 1, shifted);
      for (int64_t k = 0; k < words; ++k) {
        ex[k] = rx ? r[k] ^ rx[k] : 0;
        ey[k] = ry ? r[k] ^ ry[k] : 0;
        ez[k] = r[k] ^ shifted[k];
      }
      isorows::KeepFirst(ez, words, cells);
      for (int64_t k = 0; k < words; ++k)
        for (uint64_t bits = ex[k] | ey[k] | ez[k]; bits; bits &= bits - 1) {
          const int64_t cz = k * 64 + Ctz(bits);
          const int64_t c[3] = {cx, cy, cz};
          const uint8_t inside = static_cast<uint8_t>(isorows::Bit(r, cz));
          const uint64_t* change[3] = {ex, ey, ez};
          for (int axis = 0; axis < 3; ++axis) {
            if (!isorows::Bit(change[axis], cz)) continue;
            const int u = (axis + 1) % 3, w = (axis + 2) % 3;
            if (c[u] < 1 || c[u] >= cells || c[w] < 1 || c[w] >= cells) continue;
            edges.push_back({static_cast<int32_t>(cx), static_cast<int32_t>(cy),
                             static_cast<int32_t>(cz), static_cast<uint8_t>(axis), inside});
          }
        }
      if (!rx || !ry) continue;
      // Cells with a sign change: not all eight corners 0, not all 1
      const uint64_t* rxy = rx + words;
      for (int64_t k = 0; k < words; ++k) {
        any[k] = r[k] | ry[k] | rx[k] | rxy[k];
        all[k] = r[k] & ry[k] & rx[k] & rxy[k];
      }
      isorows::ShiftDown(any, words, 1, shifted);
      for (int64_t k = 0; k < words; ++k) any[k] |= shifted[k];
      isorows::ShiftDown(all, words, 1, shifted);
      for (int64_t k = 0; k < words; ++k) all[k] = any[k] & ~(all[k] & shifted[k]);
      isorows::KeepFirst(all, words, cells);
      for (int64_t k = 0; k < words; ++k)
        for (uint64_t bits = all[k]; bits; bits &= bits - 1)
          mixedZ.push_back(static_cast<int32_t>(k * 64 + Ctz(bits)));
      rowStart[cx * cells + cy + 1] = static_cast<int64_t>(mixedZ.size());
    }
    plane.swap(next);
  }

  // Vertices in octree order: the mixed cells sorted by their tree keys
  std::vector<MixedCell> mixed(mixedZ.size());
  for (int64_t row = 0, at = 0; row < cells * cells; ++row)
    for (; at < rowStart[row + 1]; ++at) {
      const int64_t cx = row / cells, cy = row % cells, cz = mixedZ[at];
      mixed[at] = {IsoTreeKey(cx, cy, cz, levels), signs.Index(cx * step, cy * step, cz * step),
                   at};
    }
  std::sort(mixed.begin(), mixed.end(),
            [](const MixedCell& a, const MixedCell& b) { return a.key < b.key; });
  std::vector<int> vertexOfScan(mixed.size());
  out.m_Cell.reserve(mixed.size());
  out.m_Xyz.reserve(mixed.size() * 3);
  for (size_t v = 0; v < mixed.size(); ++v) {
    const int64_t index = mixed[v].index;
    const int64_t x = index / (n * n), y = (index / n) % n, z = index % n;
    double p[3] = {x + 0.5 * step, y + 0.5 * step, z + 0.5 * step};
    if (crossings) CrossingMean(*potentials, x, y, z, step, p);
    out.m_Cell.push_back(index);
    out.m_Xyz.insert(out.m_Xyz.end(), p, p + 3);
    vertexOfScan[mixed[v].scan] = static_cast<int>(v);
  }
  // the vertex of a mixed cell: its row's cells are few and sorted by z
  auto vertexOf = [&](int64_t cx, int64_t cy, int64_t cz) {
    const int64_t row = cx * cells + cy;
    const auto first = mixedZ.begin() + rowStart[row], last = mixedZ.begin() + rowStart[row + 1];
    return vertexOfScan[std::lower_bound(first, last, static_cast<int32_t>(cz)) - mixedZ.begin()];
  };

  // Quads: one per inner sign-changing lattice edge, from its four cells
  out.m_Quads.reserve(edges.size() * 4);
  for (const ContourEdge& e : edges) {
    const int u = (e.axis + 1) % 3, w = (e.axis + 2) % 3;
    // the four cells around the edge, counter-clockwise seen from +axis
    int quad[4];
    const int64_t du[4] = {-1, 0, 0, -1}, dw[4] = {-1, -1, 0, 0};
    for (int k = 0; k < 4; ++k) {
      int64_t q[3] = {e.x, e.y, e.z};
      q[u] += du[k];
      q[w] += dw[k];
      quad[k] = vertexOf(q[0], q[1], q[2]);
    }
    // inside at the start: the surface faces +axis; else reverse
    if (!e.insideFirst) std::swap(quad[1], quad[3]);
    out.m_Quads.insert(out.m_Quads.end(), quad, quad + 4);
  }
}
