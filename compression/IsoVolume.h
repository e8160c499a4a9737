#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A cube grid of N x N x N points (N = 2^D + 1) holding one bit per point,
// point (x, y, z) at index z + N * (y + N * x), eight points to a byte with
// the first index of a byte at its most significant bit. Indices are 64-bit
// so that no product of coordinates overflows.
class CBitGrid {
public:
  void Reset(int64_t n);
  int64_t Size() const { return m_N; }
  int64_t Index(int64_t x, int64_t y, int64_t z) const { return z + m_N * (y + m_N * x); }
  int Get(int64_t i) const { return (m_Bytes[i >> 3] >> (7 - (i & 7))) & 1; }
  void Set(int64_t i, int v) {
    const uint8_t mask = static_cast<uint8_t>(0x80 >> (i & 7));
    if (v)
      m_Bytes[i >> 3] |= mask;
    else
      m_Bytes[i >> 3] &= static_cast<uint8_t>(~mask);
  }
  int At(int64_t x, int64_t y, int64_t z) const { return Get(Index(x, y, z)); }
  // Sets the `count` bits from index `first` to 1, whole bytes at a time.
  void SetRun(int64_t first, int64_t count);
  std::vector<uint8_t>& Bytes() { return m_Bytes; }
  const std::vector<uint8_t>& Bytes() const { return m_Bytes; }

private:
  int64_t m_N = 0;
  std::vector<uint8_t> m_Bytes;
};

// Largest grid the workbench accepts (2^9 + 1 points a side).
constexpr int kIsoMaxDepth = 9;
constexpr int64_t kIsoMaxGrid = (int64_t(1) << kIsoMaxDepth) + 1;

// The volume of an isosurface: grid size and depth, placement in space
// (origin and unit sizes), the isovalue, the potentials when they are known
// and the sign of every point (1 below the isovalue, inside).
struct CIsoVolume {
  int m_Depth = 0;
  int64_t m_N = 0;
  double m_Origin[3] = {0.0, 0.0, 0.0};
  double m_Unit[3] = {1.0, 1.0, 1.0};
  double m_Isovalue = 0.0;
  std::vector<float> m_Potential; // N^3 values or empty
  CBitGrid m_Signs;

  // Point counts of a side.
  int64_t PointCount() const { return m_N * m_N * m_N; }
  // Signs from the potentials.
  void SignsFromPotentials();
};

// Depth D of a grid size N = 2^D + 1 with 1 <= D <= 9, else 0.
int IsoDepthOfGrid(int64_t n);

// Empties `volume` and sizes it for grid size n (potentials when asked).
// Returns 0 with a message when n is no 2^D + 1 <= 513 or the memory cannot
// be had.
int IsoAllocate(CIsoVolume& volume, int64_t n, bool potentials, std::string& error);
