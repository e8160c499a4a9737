#include "compression/IsoModelSet.h"

#include <new>

int CIsoModelSet::Reset(int count, std::string& error) {
  m_Models.clear();
  m_Error.clear();
  if (count < 0 || count > kNone) {
    error = "Too many model contexts";
    return 0;
  }
  try {
    m_Slot.assign(static_cast<size_t>(count), kNone);
  } catch (const std::bad_alloc&) {
    error = "Not enough memory for the coder's models";
    return 0;
  }
  return 1;
}

AcModel* CIsoModelSet::Get(int context, int symbols) {
  if (context < 0 || context >= static_cast<int>(m_Slot.size())) {
    m_Error = "A model context is out of range";
    return nullptr;
  }
  uint16_t& slot = m_Slot[context];
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
