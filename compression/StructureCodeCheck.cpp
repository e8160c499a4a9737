#include "compression/StructureCodeCheck.h"

#include "compression/StructureConquest.h"

namespace orvex {

int CStructureCodeCheck::Accept(int code) {
  ++m_Codes;
  // the seed face opens the stream
  if (m_Codes <= 3 && code < kStructureFirstDegree) return 0;
  if (code == kStructureDummyCode && m_DummyDegree < 3) return 0;
  // splits and closes end a run at one focus
  if (code == kStructureSplitCode || code == kStructureCloseCode) {
    m_Splits += code == kStructureSplitCode;
    m_Run = 0;
  } else if (++m_Run > m_LargestDegree + 3) {
    return 0;
  }
  if (code >= kStructureFirstDegree) {
    if (++m_Reached > m_NbVertex) return 0;
    m_Corners += code;
  }
  // faces = codes - 2 per component and components <= reached / 3, so
  // 3 faces >= 3 codes - 2 reached; each face takes three free corners
  return 3 * m_Codes - 2 * m_Reached <= m_Corners + m_DummyDegree;
}

} // namespace orvex
