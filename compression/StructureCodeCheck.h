#pragma once

#include <cstdint>

namespace orvex {

// Checks the degree stream of a structure file code by code as it is read,
// before any offset is known, against what every conquest's stream holds
// at each of its prefixes. A corrupt stream is then refused after a few
// hundred codes at most instead of after all the symbols its bits can
// hold (an adaptive model makes a run of one symbol nearly free):
// - the first three codes are a seed face's degrees (3 or more);
// - a dummy code needs a dummy vertex (a degree in the header);
// - consecutive codes other than splits and closes (new vertices and
//   dummy nodes) all add a face at one focus, so there are at most the
//   largest degree of them after a seed face's three;
// - every face uses three corners of the vertices reached so far or of
//   the dummy, so faces never outnumber a third of their degrees;
// - no more vertices are reached than the header counts.
class CStructureCodeCheck {
public:
  CStructureCodeCheck(uint32_t nbVertex, int dummyDegree, int largestDegree)
      : m_NbVertex(nbVertex), m_DummyDegree(dummyDegree), m_LargestDegree(largestDegree) {}

  // 0 when the codes read so far belong to no conquest.
  int Accept(int code);
  // Split codes met, each of which takes one offset.
  int64_t Splits() const { return m_Splits; }

private:
  uint32_t m_NbVertex;
  int64_t m_DummyDegree;
  int64_t m_LargestDegree;
  int64_t m_Codes = 0;
  int64_t m_Reached = 0;
  int64_t m_Corners = 0; // degrees of the vertices reached
  int64_t m_Run = 0;     // codes since the last split or close
  int64_t m_Splits = 0;
};

} // namespace orvex
