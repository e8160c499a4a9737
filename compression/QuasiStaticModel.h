#pragma once

#include <cstdint>
#include <vector>

#include "compression/CoderStatus.h"

// Adaptive frequency model whose coding table changes only at rescales
// (M. Schindler's quasi-static model). Occurrences are gathered in `new
// frequencies`; at each rescale they become the cumulative table, are
// halved, and the halving's leftover is handed out again as a per-symbol
// increment spread over the next interval, so the total stays fixed at
// 2^lg_total and the table never needs a division. Intervals start short
// and double up to the target, so the model learns fast at first and
// then steadies.
class QuasiStaticModel {
public:
  // Table bits of the decoder's search table: 2^7 entries plus one.
  static constexpr int kSearchBits = 7;

  QuasiStaticModel() = default;
  QuasiStaticModel(const QuasiStaticModel&) = delete;
  QuasiStaticModel& operator=(const QuasiStaticModel&) = delete;
  // Builds the model for `n` symbols with a total of 2^lgTotal (1..15).
  // `initialCounts` (n values, or null for a uniform start) must add up to
  // the total. The decoder flavour also keeps the search table. Returns 0
  // with Error() set when the parameters or counts are unusable.
  int Init(int n, int lgTotal, int targetRescale, const int* initialCounts, bool decoder);
  bool Ready() const { return m_N > 0; }

  // Cumulative frequency `c` and frequency `f` of symbol s.
  void GetFreq(int s, uint32_t& f, uint32_t& c) const {
    c = m_Cf[s];
    f = m_Cf[s + 1] - c;
  }
  // Symbol whose interval holds the cumulative value c (< total); decoder
  // flavour only. A table look-up narrows the search to a few symbols.
  int GetSymbol(uint32_t c) const {
    const uint16_t* entry = m_Search + (c >> m_SearchShift);
    int lo = entry[0];
    int hi = entry[1] + 1;
    while (lo + 1 < hi) {
      int mid = (lo + hi) >> 1;
      if (c < m_Cf[mid])
        hi = mid;
      else
        lo = mid;
    }
    return lo;
  }
  // Counts one occurrence of s; rescales first when the interval is over.
  // Returns 0 only when a rescale finds the frequencies inconsistent.
  int Update(int s) {
    if (m_Left <= 0 && !Rescale()) return 0;
    --m_Left;
    m_NewFreq[s] = static_cast<uint16_t>(m_NewFreq[s] + m_Increment);
    return 1;
  }

  int SymbolCount() const { return m_N; }
  uint32_t Total() const { return m_Cf ? m_Cf[m_N] : 0; }
  int Left() const { return m_Left; }
  int NextLeft() const { return m_NextLeft; }
  int RescaleInterval() const { return m_Rescale; }
  int Increment() const { return m_Increment; }
  // Copies of the tables, for inspection.
  std::vector<uint16_t> CumulativeFrequencies() const { return {m_Cf, m_Cf + m_N + 1}; }
  std::vector<uint16_t> NewFrequencies() const { return {m_NewFreq, m_NewFreq + m_N + 1}; }
  std::vector<uint16_t> SearchTable() const {
    if (!m_Search) return {};
    return {m_Search, m_Search + (1 << kSearchBits) + 1};
  }
  bool Failed() const { return m_Status.Failed(); }
  const std::string& Error() const { return m_Status.Message(); }

private:
  // Starts a new interval: either the held-back remainder of the current
  // one (increment + 1) or a real rescale of the gathered frequencies.
  int Rescale();
  void FillSearchTable();

  int m_N = 0;
  int m_Left = 0;
  int m_NextLeft = 0;
  int m_Rescale = 0;
  int m_TargetRescale = 0;
  int m_Increment = 0;
  int m_SearchShift = 0;
  // One block holds the three tables (one allocation per model).
  std::vector<uint16_t> m_Tables;
  uint16_t* m_Cf = nullptr;      // n + 1 cumulative frequencies
  uint16_t* m_NewFreq = nullptr; // n + 1 counts since the last rescale
  uint16_t* m_Search = nullptr;  // decoder only: 129 first candidates
  CCoderStatus m_Status;
};
