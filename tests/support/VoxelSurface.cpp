#include "tests/support/VoxelSurface.h"

#include <functional>

namespace testmeshes {

std::vector<int> VoxelSurface::Triangles() const {
  std::vector<int> t;
  t.reserve(quads.size() / 2 * 3);
  for (size_t q = 0; q + 3 < quads.size(); q += 4)
    t.insert(t.end(), {quads[q], quads[q + 1], quads[q + 2], quads[q], quads[q + 2], quads[q + 3]});
  return t;
}

VoxelSurface MakeSlabWithTunnels(int holes, int s) {
  const int n[3] = {(2 * holes + 1) * s, 3 * s, s};
  auto solid = [&](const int c[3]) {
    for (int a = 0; a < 3; ++a)
      if (c[a] < 0 || c[a] >= n[a]) return false;
    const int bx = c[0] / s, by = c[1] / s;
    return !(by == 1 && bx % 2 == 1);
  };
  VoxelSurface out;
  std::vector<int> index(size_t(n[0] + 1) * (n[1] + 1) * (n[2] + 1), -1);
  auto vertex = [&](const int p[3]) {
    int& slot = index[(size_t(p[2]) * (n[1] + 1) + p[1]) * (n[0] + 1) + p[0]];
    if (slot < 0) {
      slot = static_cast<int>(out.xyz.size() / 3);
      out.xyz.insert(out.xyz.end(), {float(p[0]), float(p[1]), float(p[2])});
    }
    return slot;
  };
  const int corner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  int c[3];
  for (c[2] = 0; c[2] < n[2]; ++c[2])
    for (c[1] = 0; c[1] < n[1]; ++c[1])
      for (c[0] = 0; c[0] < n[0]; ++c[0]) {
        if (!solid(c)) continue;
        for (int a = 0; a < 3; ++a)
          for (int side = 0; side < 2; ++side) {
            int d[3] = {c[0], c[1], c[2]};
            d[a] += side ? 1 : -1;
            if (solid(d)) continue;
            // corners in the plane of axes b, c: counter-clockwise seen
            // from outside
            const int b = (a + 1) % 3, e = (a + 2) % 3;
            int ids[4];
            for (int k = 0; k < 4; ++k) {
              int p[3] = {c[0], c[1], c[2]};
              p[a] += side;
              p[b] += corner[k][0];
              p[e] += corner[k][1];
              ids[k] = vertex(p);
            }
            if (side)
              out.quads.insert(out.quads.end(), {ids[0], ids[1], ids[2], ids[3]});
            else
              out.quads.insert(out.quads.end(), {ids[0], ids[3], ids[2], ids[1]});
          }
      }
  return out;
}

} // namespace testmeshes
