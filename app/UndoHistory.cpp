#include "app/UndoHistory.h"

namespace orvex {

void CUndoHistory::SetLimits(std::size_t maxBytes, std::size_t maxSteps) {
  m_MaxBytes = maxBytes;
  m_MaxSteps = maxSteps;
  Trim();
}

void CUndoHistory::Push(std::unique_ptr<CUndoStep> step) {
  if (!step) return;
  for (const auto& redo : m_Redo) m_Bytes -= redo->Bytes();
  m_Redo.clear();
  m_Bytes += step->Bytes();
  m_Undo.push_back(std::move(step));
  Trim();
}

// Drops the oldest steps while the history holds too much or too many.
void CUndoHistory::Trim() {
  while (!m_Undo.empty() && (m_Bytes > m_MaxBytes || m_Undo.size() > m_MaxSteps)) {
    m_Bytes -= m_Undo.front()->Bytes();
    m_Undo.pop_front();
  }
}

bool CUndoHistory::Undo(COrvexDoc& doc) {
  if (m_Undo.empty()) return false;
  m_Undo.back()->Exchange(doc);
  m_Redo.push_back(std::move(m_Undo.back()));
  m_Undo.pop_back();
  return true;
}

bool CUndoHistory::Redo(COrvexDoc& doc) {
  if (m_Redo.empty()) return false;
  m_Redo.back()->Exchange(doc);
  m_Undo.push_back(std::move(m_Redo.back()));
  m_Redo.pop_back();
  return true;
}

void CUndoHistory::Clear() {
  m_Undo.clear();
  m_Redo.clear();
  m_Bytes = 0;
}

} // namespace orvex
