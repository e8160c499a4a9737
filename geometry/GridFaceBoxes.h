#pragma once

// Coarse boxes of a spatial grid's faces, stored beside each face index in
// the grid's cell lists: a query bounds its distance to a face from the
// box alone and runs the exact point-triangle test (reading the face's
// coordinates) only for the faces whose bound does not exceed the best
// distance found so far.
//
// A box is six 16-bit codes on a lattice over the bounding box of all the
// faces, rounded outwards after widening the face's box by a margin larger
// than the rounding of the exact test, so that a face whose bound exceeds
// the best distance has a computed distance above it too: skipping it never
// changes an answer, equal distances included. A face whose test is not
// accurate enough for that margin (slivers, faces without area, faces tiny
// beside the grid) gets the unbounded box and is always tested. The bound
// holds for queries near the faces (see Prepare) and for the faces of the
// cells within one ring of the query's cell; farther searches test every
// face.

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

struct CGridEntry {
  std::int32_t face; // index in the mesh's face array
  std::uint16_t lo[3], hi[3];
};
static_assert(sizeof(CGridEntry) == 16, "cell entries are 16 bytes");

class CGridFaceBoxes {
public:
  // Code of the unbounded sides; faces' boxes use kFirstCode ... kLastCode.
  static constexpr int kFirstCode = 1;
  static constexpr int kLastCode = 65534;

  // Lattice over the box [lo, hi] of the faces' corners; cellSide gives the
  // grid's cell sides (0 on a flat axis). The filter stays off when a
  // coordinate is not finite or the magnitudes leave too little precision.
  void Init(const double lo[3], const double hi[3], const double cellSide[3]);
  bool Enabled() const { return m_Enabled; }
  // Box codes of the triangle given as 9 coordinates.
  void Encode(const double* tri, CGridEntry& entry) const;
  // A query point in lattice units (clamped to the lattice), with the
  // lattice steps, as the bounds read them.
  struct Query {
    alignas(16) float u[4];
    alignas(16) float step[4]; // 0 in the fourth lane
  };
  // False when the query lies too far from the faces for the bounds to hold.
  bool Prepare(const double p[3], Query& query) const;
  // Lower bound on the squared distance that the exact test computes from
  // the query to the entry's face. Single precision is enough: half a unit
  // taken off each gap outweighs its rounding.
  static float LowerBound(const Query& query, const CGridEntry& entry) {
#if defined(__SSE2__)
    // the six codes as lanes (lo0 lo1 lo2 -) and (hi0 hi1 hi2 -)
    const __m128i zero = _mm_setzero_si128();
    const __m128i codes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&entry));
    const __m128 lo = _mm_cvtepi32_ps(_mm_unpacklo_epi16(_mm_srli_si128(codes, 4), zero));
    const __m128 hi = _mm_cvtepi32_ps(_mm_unpacklo_epi16(_mm_srli_si128(codes, 10), zero));
    const __m128 u = _mm_load_ps(query.u);
    __m128 gap = _mm_max_ps(_mm_sub_ps(lo, u), _mm_sub_ps(u, hi));
    gap = _mm_max_ps(_mm_sub_ps(gap, _mm_set1_ps(0.5f)), _mm_setzero_ps());
    gap = _mm_mul_ps(gap, _mm_load_ps(query.step));
    const __m128 square = _mm_mul_ps(gap, gap);
    const __m128 pairs = _mm_add_ps(square, _mm_movehl_ps(square, square));
    return _mm_cvtss_f32(_mm_add_ss(pairs, _mm_shuffle_ps(pairs, pairs, 1)));
#else
    float d2 = 0.0f;
    for (int axis = 0; axis < 3; axis++) {
      const float below = float(entry.lo[axis]) - query.u[axis];
      const float above = query.u[axis] - float(entry.hi[axis]);
      const float gap = std::max(std::max(below, above) - 0.5f, 0.0f) * query.step[axis];
      d2 += gap * gap;
    }
    return d2;
#endif
  }

  // Rough upper bound on the squared distance from the query to the entry's
  // face (the box's farthest corner): only a guide for prefetching.
  static float FarBound(const Query& query, const CGridEntry& entry) {
    float d2 = 0.0f;
    for (int axis = 0; axis < 3; axis++) {
      const float gap = std::max(std::fabs(query.u[axis] - entry.lo[axis]),
                                 std::fabs(query.u[axis] - entry.hi[axis])) *
                        query.step[axis];
      d2 += gap * gap;
    }
    return d2;
  }

private:
  bool m_Enabled = false;
  double m_Origin[3] = {0.0, 0.0, 0.0};
  double m_Step[3] = {1.0, 1.0, 1.0};
  double m_Inverse[3] = {1.0, 1.0, 1.0};
  double m_Lo[3] = {0.0, 0.0, 0.0};
  double m_Hi[3] = {0.0, 0.0, 0.0};
  double m_Margin = 0.0; // widening of every face's box
  double m_Cell = 0.0;   // diagonal of a cell
};
