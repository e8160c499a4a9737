#include "compression/IsoBitRows.h"

#include <array>
#include <cstring>

namespace isorows {
namespace {

// Bit order of a byte reversed: the grid stores its first point at the most
// significant bit, rows keep it at the least significant one.
constexpr std::array<uint8_t, 256> MakeReversed() {
  std::array<uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v) {
    int r = 0;
    for (int b = 0; b < 8; ++b) r |= ((v >> b) & 1) << (7 - b);
    table[v] = static_cast<uint8_t>(r);
  }
  return table;
}
constexpr std::array<uint8_t, 256> kReversed = MakeReversed();

} // namespace

void LatticeRow(const CBitGrid& signs, int64_t x, int64_t y, int64_t step, int64_t count,
                uint64_t* out) {
  const int64_t words = WordCount(count);
  std::memset(out, 0, static_cast<size_t>(words) * sizeof(uint64_t));
  const int64_t base = signs.Index(x, y, 0);
  if (step != 1) {
    // Sparse lattice: point by point
    for (int64_t k = 0; k < count; ++k)
      if (signs.Get(base + k * step)) out[k >> 6] |= uint64_t(1) << (k & 63);
    return;
  }
  // Unit step: eight points at a time from two neighbouring bytes
  const uint8_t* bytes = signs.Bytes().data();
  const int64_t size = static_cast<int64_t>(signs.Bytes().size());
  for (int64_t k = 0; k < count; k += 8) {
    const int64_t i = base + k;
    const int64_t at = i >> 3;
    const unsigned pair = (unsigned(bytes[at]) << 8) | (at + 1 < size ? bytes[at + 1] : 0u);
    const unsigned eight = ((pair << (i & 7)) >> 8) & 0xFF;
    out[k >> 6] |= uint64_t(kReversed[eight]) << (k & 63);
  }
  KeepFirst(out, words, count);
}

void LatticePlane(const CBitGrid& signs, int64_t x, int64_t step, int64_t count, int64_t words,
                  uint64_t* out) {
  for (int64_t y = 0; y < count; ++y)
    LatticeRow(signs, x * step, y * step, step, count, out + y * words);
}

} // namespace isorows
