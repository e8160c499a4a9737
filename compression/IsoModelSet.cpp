#include "compression/IsoModelSet.h"

#include <new>

int CIsoModelSet::Reset(int count, std::string& error) {
  m_Models.clear();
  m_Error.clear();
  if (count < 0 || count > kNone) {
    error = "Too many model contexts";
    return 0;
  }
  m_Count = count;
  m_Slot.clear();
  try {
    m_PageStart.assign(static_cast<size_t>((count >> kPageBits) + 1), -1);
  } catch (const std::bad_alloc&) {
    error = "Not enough memory for the coder's models";
    return 0;
  }
  return 1;
}

AcModel* CIsoModelSet::Get(int context, int symbols) {
  if (context < 0 || context >= m_Count) {
    m_Error = "A model context is out of range";
    return nullptr;
  }
  int32_t& page = m_PageStart[context >> kPageBits];
  if (page < 0) {
    page = static_cast<int32_t>(m_Slot.size());
    m_Slot.resize(m_Slot.size() + (size_t(1) << kPageBits), kNone);
  }
  uint16_t& slot = m_Slot[page + (context & ((1 << kPageBits) - 1))];
  if (slot != kNone) return &m_Models[slot];
  // First use: a fresh uniform adaptive model
  m_Models.emplace_back();
  if (!m_Models.back().Init(symbols, nullptr, 1)) {
    m_Error = m_Models.back().Error();
    m_Models.pop_back();
    return nullptr;
  }
  slot = static_cast<uint16_t>(m_Models.size() - 1);
  return &m_Models.back();
}
