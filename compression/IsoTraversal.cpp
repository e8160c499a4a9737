#include "compression/IsoTraversal.h"

#include <cstdint>
#include <deque>

#include "compression/IsoContour.h"

namespace {

struct CIsoCell {
  int level;
  int64_t x, y, z, size;
};

// Sign of a neighbour for a context: 0 off the grid or not yet known.
int KnownSign(const CBitGrid& signs, const CBitGrid& known, int64_t x, int64_t y, int64_t z) {
  if (x < 0 || y < 0 || z < 0) return 0;
  const int64_t i = signs.Index(x, y, z);
  return known.Get(i) ? signs.Get(i) : 0;
}

// Seven neighbours s back along the axes and the refined cell's corners t.
int SignContext(const CBitGrid& signs, const CBitGrid& known, int64_t x, int64_t y, int64_t z,
                int64_t s, int t) {
  const int e = KnownSign(signs, known, x - s, y, z);
  const int f = KnownSign(signs, known, x, y - s, z);
  const int g = KnownSign(signs, known, x, y, z - s);
  const int h = KnownSign(signs, known, x - s, y - s, z);
  const int l = KnownSign(signs, known, x - s, y, z - s);
  const int m = KnownSign(signs, known, x, y - s, z - s);
  const int o = KnownSign(signs, known, x - s, y - s, z - s);
  return o + 2 * m + 4 * l + 8 * h + 16 * g + 32 * f + 64 * e + 128 * t;
}

// A child coded empty: its faces become known, every point takes its sign
// (a run along z per row; the points inside stay unknown to the contexts).
void SettleEmptyChild(CBitGrid& signs, CBitGrid& known, int64_t x0, int64_t y0, int64_t z0,
                      int64_t size, int sign) {
  for (int64_t x = x0; x <= x0 + size; ++x)
    for (int64_t y = y0; y <= y0 + size; ++y) {
      const int64_t row = signs.Index(x, y, z0);
      if (sign) signs.SetRun(row, size + 1);
      if (x == x0 || x == x0 + size || y == y0 || y == y0 + size) {
        known.SetRun(row, size + 1);
      } else {
        known.Set(row, 1);
        known.Set(row + size, 1);
      }
    }
}

} // namespace

int IsoTraverse(int depth, CBitGrid& signs, CBitGrid& known, CIsoSymbols& symbols,
                int64_t cellLimit) {
  const int64_t n = signs.Size();
  std::deque<CIsoCell> queue;
  queue.push_back({0, 0, 0, 0, n - 1});
  int previousLevel = 0;
  int previousBit = 0;
  int64_t nextLevelCells = 0; // cells queued for the level after the current one
  while (!queue.empty()) {
    const CIsoCell cell = queue.front();
    queue.pop_front();

    // A new level: the previous one is complete
    if (cell.level != previousLevel) {
      if (!symbols.LevelDone(previousLevel)) return 0;
      previousLevel = cell.level;
      nextLevelCells = 0;
    }

    // The 27 lattice points, x outermost, z innermost
    const int64_t s = cell.size / 2;
    const int t = cell.level == 0 ? 0 : IsoCornerByte(signs, cell.x, cell.y, cell.z, cell.size);
    int local[3][3][3];
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 3; ++k) {
          const int64_t x = cell.x + i * s, y = cell.y + j * s, z = cell.z + k * s;
          const int64_t index = signs.Index(x, y, z);
          if (!known.Get(index)) {
            const int sign = symbols.Sign(SignContext(signs, known, x, y, z, s, t), index);
            if (sign < 0) return 0;
            signs.Set(index, sign);
            known.Set(index, 1);
          }
          local[i][j][k] = signs.Get(index);
        }
    if (cell.level >= depth - 1) continue;

    // Children: uniform ones cost one occupancy bit
    for (int c = 0; c < 8; ++c) {
      const int dx = c & 1, dz = (c >> 1) & 1, dy = (c >> 2) & 1;
      int ones = 0;
      for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
          for (int k = 0; k < 2; ++k) ones += local[dx + i][dy + j][dz + k];
      const CIsoCell child{cell.level + 1, cell.x + dx * s, cell.y + dy * s, cell.z + dz * s, s};
      int occupied = ones != 0 && ones != 8;
      if (!occupied) {
        const int bit = symbols.Occupancy(previousBit, child.x, child.y, child.z, s);
        if (bit < 0) return 0;
        previousBit = occupied = bit;
      }
      if (!occupied) {
        SettleEmptyChild(signs, known, child.x, child.y, child.z, s, ones == 8);
        continue;
      }
      if (++nextLevelCells > cellLimit) return 0;
      queue.push_back(child);
    }
  }
  // the last level reached, and the levels no cell reached (all empty above)
  for (int level = previousLevel; level < depth; ++level)
    if (!symbols.LevelDone(level)) return 0;
  return 1;
}
