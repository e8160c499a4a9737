#include "compression/IsoContour.h"

#include <algorithm>

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

  // Sign-changing lattice edges, in one pass over the points (three
  // lookups each); the cells around them are the cells with a sign change
  struct Edge {
    int64_t x, y, z;
    int axis, insideFirst;
  };
  std::vector<Edge> edges;
  std::vector<std::pair<uint64_t, int64_t>> mixed;
  for (int64_t cx = 0; cx <= cells; ++cx)
    for (int64_t cy = 0; cy <= cells; ++cy)
      for (int64_t cz = 0; cz <= cells; ++cz) {
        const int here = signs.At(cx * step, cy * step, cz * step);
        const int64_t c[3] = {cx, cy, cz};
        for (int axis = 0; axis < 3; ++axis) {
          if (c[axis] == cells) continue;
          int64_t d[3] = {cx, cy, cz};
          d[axis] += 1;
          if (signs.At(d[0] * step, d[1] * step, d[2] * step) == here) continue;
          edges.push_back({cx, cy, cz, axis, here});
          const int u = (axis + 1) % 3, w = (axis + 2) % 3;
          for (int k = 0; k < 4; ++k) {
            int64_t q[3] = {cx, cy, cz};
            q[u] -= k & 1;
            q[w] -= k >> 1;
            if (q[u] < 0 || q[w] < 0 || q[u] >= cells || q[w] >= cells) continue;
            mixed.emplace_back(IsoTreeKey(q[0], q[1], q[2], levels),
                               signs.Index(q[0] * step, q[1] * step, q[2] * step));
          }
        }
      }
  std::sort(mixed.begin(), mixed.end());
  mixed.erase(std::unique(mixed.begin(), mixed.end()), mixed.end());

  // Vertices: cell centre or mean of the edge crossings
  out.m_Cell.reserve(mixed.size());
  out.m_Xyz.reserve(mixed.size() * 3);
  for (const auto& m : mixed) {
    const int64_t x = m.second / (n * n), y = (m.second / n) % n, z = m.second % n;
    double p[3] = {x + 0.5 * step, y + 0.5 * step, z + 0.5 * step};
    if (crossings) CrossingMean(*potentials, x, y, z, step, p);
    out.m_Cell.push_back(m.second);
    out.m_Xyz.insert(out.m_Xyz.end(), p, p + 3);
  }
  auto vertexOf = [&](int64_t cx, int64_t cy, int64_t cz) {
    const uint64_t key = IsoTreeKey(cx, cy, cz, levels);
    auto it = std::lower_bound(mixed.begin(), mixed.end(), std::make_pair(key, int64_t(0)));
    return static_cast<int>(it - mixed.begin());
  };

  // Quads: one per sign-changing lattice edge with four cells around it
  for (const Edge& e : edges) {
    const int64_t c[3] = {e.x, e.y, e.z};
    const int u = (e.axis + 1) % 3, w = (e.axis + 2) % 3;
    if (c[u] < 1 || c[u] >= cells || c[w] < 1 || c[w] >= cells) continue;
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
