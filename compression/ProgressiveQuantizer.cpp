#include "compression/ProgressiveQuantizer.h"

#include <algorithm>
#include <cmath>

namespace orvex {

std::vector<int32_t> CQuantizer::Fit(const std::vector<double>& positions, int bits) {
  m_Bits = bits;
  const size_t n = positions.size() / 3;
  const double largest = static_cast<double>(Largest());
  std::vector<int32_t> q(positions.size(), 0);
  for (int k = 0; k < 3; ++k) {
    double lo = n ? positions[k] : 0.0, hi = lo;
    for (size_t i = 0; i < n; ++i) {
      lo = std::min(lo, positions[3 * i + k]);
      hi = std::max(hi, positions[3 * i + k]);
    }
    m_Min[k] = static_cast<float>(lo);
    // flat axis: every coordinate codes 0
    if (!(hi > lo)) {
      m_Step[k] = 0.0f;
      continue;
    }
    m_Step[k] = static_cast<float>((hi - lo) / largest);
    const double scale = largest / (hi - lo);
    for (size_t i = 0; i < n; ++i) {
      double v = std::floor((positions[3 * i + k] - lo) * scale + 0.5);
      q[3 * i + k] = static_cast<int32_t>(std::min(std::max(v, 0.0), largest));
    }
  }
  return q;
}

} // namespace orvex
