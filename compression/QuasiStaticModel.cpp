#include "compression/QuasiStaticModel.h"

#include <string>

int QuasiStaticModel::Init(int n, int lgTotal, int targetRescale, const int* initialCounts,
                           bool decoder) {
  m_Status.Clear();
  m_N = 0;
  if (lgTotal < 1 || lgTotal > 15 || n < 1 || n > (1 << lgTotal) || targetRescale < 1)
    return m_Status.Fail("model of " + std::to_string(n) +
                         " symbols does not fit its frequency total");
  m_TargetRescale = targetRescale;
  m_SearchShift = lgTotal > kSearchBits ? lgTotal - kSearchBits : 0;
  const size_t searchSize = decoder ? (1u << kSearchBits) + 1 : 0;
  m_Tables.assign(2 * (size_t(n) + 1) + searchSize, 0);
  m_Cf = m_Tables.data();
  m_NewFreq = m_Cf + n + 1;
  m_Search = decoder ? m_NewFreq + n + 1 : nullptr;
  m_Cf[n] = static_cast<uint16_t>(1u << lgTotal);
  if (decoder) m_Search[1u << kSearchBits] = static_cast<uint16_t>(n - 1);

  // reset: share the total out, or take the caller's counts
  m_N = n;
  m_Rescale = (n >> 4) | 2;
  m_NextLeft = 0;
  uint32_t total = m_Cf[n];
  for (int i = 0; i < n; ++i) {
    if (initialCounts)
      m_NewFreq[i] = static_cast<uint16_t>(initialCounts[i]);
    else
      m_NewFreq[i] = static_cast<uint16_t>(total / n + (uint32_t(i) < total % n ? 1 : 0));
  }
  if (!Rescale()) {
    m_N = 0;
    return 0;
  }
  return 1;
}

int QuasiStaticModel::Rescale() {
  // the remainder of the interval runs with one more increment
  if (m_NextLeft) {
    ++m_Increment;
    m_Left = m_NextLeft;
    m_NextLeft = 0;
    return 1;
  }
  if (m_Rescale < m_TargetRescale) {
    m_Rescale <<= 1;
    if (m_Rescale > m_TargetRescale) m_Rescale = m_TargetRescale;
  }

  // gathered counts become the new table (from the top), then are halved
  int cf = m_Cf[m_N];
  int missing = cf;
  for (int i = m_N - 1; i > 0; --i) {
    int f = m_NewFreq[i];
    cf -= f;
    m_Cf[i] = static_cast<uint16_t>(cf);
    f = (f >> 1) | 1;
    missing -= f;
    m_NewFreq[i] = static_cast<uint16_t>(f);
  }
  // what is left for symbol 0 must be exactly its count
  if (cf != m_NewFreq[0])
    return m_Status.Fail("model frequencies do not add up to their total (" + std::to_string(cf) +
                         " left)");
  m_NewFreq[0] = static_cast<uint16_t>((m_NewFreq[0] >> 1) | 1);
  missing -= m_NewFreq[0];
  // zero counts halve to 1, which can exceed the total in huge alphabets
  if (missing < 0) return m_Status.Fail("model frequencies exceed their total");

  // the halving's leftover is spread over the next interval
  m_Increment = missing / m_Rescale;
  m_NextLeft = missing % m_Rescale;
  m_Left = m_Rescale - m_NextLeft;
  if (m_Search) FillSearchTable();
  return 1;
}

void QuasiStaticModel::FillSearchTable() {
  // from the top symbol down, so that each entry ends with the lowest
  // symbol whose interval reaches it: the binary search starts there
  for (int i = m_N; i > 0; --i) {
    if (m_Cf[i] == 0) continue; // symbols 0..i-1 all have frequency 0
    int end = (m_Cf[i] - 1) >> m_SearchShift;
    int start = m_Cf[i - 1] >> m_SearchShift;
    for (int j = start; j <= end; ++j) m_Search[j] = static_cast<uint16_t>(i - 1);
  }
}
