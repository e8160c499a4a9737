#pragma once

#include <cstdint>
#include <vector>

#include "compression/IsoVolume.h"

// Rows of lattice signs packed 64 to a word, the first point of a row at
// bit 0 of its first word: the contouring and the occupancy pyramid test a
// whole row of cells with a few word operations instead of point by point.
namespace isorows {

// Words for a row of `count` points.
inline int64_t WordCount(int64_t count) {
  return (count + 63) / 64;
}

// Signs of the points (x, y, z0 + k * step), k = 0..count-1, into `out`
// (WordCount(count) words; bits past `count` are 0).
void LatticeRow(const CBitGrid& signs, int64_t x, int64_t y, int64_t step, int64_t count,
                uint64_t* out);

// A plane of rows: row y of lattice plane x (points x * step, y * step, ...)
// for y = 0..count-1, `words` words apart.
void LatticePlane(const CBitGrid& signs, int64_t x, int64_t step, int64_t count, int64_t words,
                  uint64_t* out);

// dst = src shifted towards bit 0 by `by` (< 64) points across the words.
inline void ShiftDown(const uint64_t* src, int64_t words, int by, uint64_t* dst) {
  for (int64_t k = 0; k < words; ++k) {
    const uint64_t next = k + 1 < words ? src[k + 1] : 0;
    dst[k] = by == 0 ? src[k] : (src[k] >> by) | (next << (64 - by));
  }
}

// Keeps the first `count` bits of a row.
inline void KeepFirst(uint64_t* row, int64_t words, int64_t count) {
  for (int64_t k = 0; k < words; ++k) {
    const int64_t first = k * 64;
    if (first >= count)
      row[k] = 0;
    else if (count - first < 64)
      row[k] &= (uint64_t(1) << (count - first)) - 1;
  }
}

inline int Bit(const uint64_t* row, int64_t i) {
  return static_cast<int>((row[i >> 6] >> (i & 63)) & 1);
}

} // namespace isorows
