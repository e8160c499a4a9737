#include "compression/IsoVolume.h"

#include <cstring>
#include <new>

void CBitGrid::Reset(int64_t n) {
  m_N = n;
  m_Bytes.assign(static_cast<size_t>((n * n * n + 7) / 8), 0);
}

void CBitGrid::SetRun(int64_t first, int64_t count) {
  int64_t i = first;
  const int64_t end = first + count;
  // leading bits up to a byte boundary, whole bytes, trailing bits
  for (; i < end && (i & 7); ++i) Set(i, 1);
  if (end - i >= 8) {
    std::memset(m_Bytes.data() + (i >> 3), 0xFF, static_cast<size_t>((end - i) >> 3));
    i += (end - i) & ~int64_t(7);
  }
  for (; i < end; ++i) Set(i, 1);
}

void CIsoVolume::SignsFromPotentials() {
  m_Signs.Reset(m_N);
  const int64_t count = PointCount();
  if (static_cast<int64_t>(m_Potential.size()) != count) return;
  for (int64_t i = 0; i < count; ++i)
    if (m_Potential[i] < m_Isovalue) m_Signs.Set(i, 1);
}

int IsoDepthOfGrid(int64_t n) {
  for (int d = 1; d <= kIsoMaxDepth; ++d)
    if (n == (int64_t(1) << d) + 1) return d;
  return 0;
}

int IsoAllocate(CIsoVolume& volume, int64_t n, bool potentials, std::string& error) {
  const int depth = IsoDepthOfGrid(n);
  if (!depth) {
    error = "The grid size " + std::to_string(n) + " is not 2^D + 1 with D from 1 to 9";
    return 0;
  }
  try {
    CIsoVolume fresh;
    fresh.m_Depth = depth;
    fresh.m_N = n;
    fresh.m_Signs.Reset(n);
    if (potentials) fresh.m_Potential.assign(static_cast<size_t>(n * n * n), 0.0f);
    volume = std::move(fresh);
  } catch (const std::bad_alloc&) {
    error = "Not enough memory for a volume of " + std::to_string(n) + "^3 points";
    return 0;
  }
  return 1;
}
