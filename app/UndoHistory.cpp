#include "app/UndoHistory.h"

#include <atomic>
#include <cstdio>

namespace orvex {

namespace {
std::atomic<std::size_t> g_DefaultMaxBytes{CUndoHistory::kDefaultMaxBytes};
std::atomic<std::size_t> g_DefaultMaxSteps{CUndoHistory::kDefaultMaxSteps};
} // namespace

void CUndoHistory::SetDefaultLimits(std::size_t maxBytes, std::size_t maxSteps) {
  g_DefaultMaxBytes = maxBytes;
  g_DefaultMaxSteps = maxSteps;
}

CUndoHistory::CUndoHistory() : m_MaxBytes(g_DefaultMaxBytes), m_MaxSteps(g_DefaultMaxSteps) {}

std::string CUndoHistory::Summary() const {
  const double mb = 1024.0 * 1024.0;
  char text[160];
  std::snprintf(text, sizeof(text), "%zu step%s, %.1f MB (at most %zu steps, %.0f MB)",
                m_Undo.size() + m_Redo.size(), m_Undo.size() + m_Redo.size() == 1 ? "" : "s",
                static_cast<double>(m_Bytes) / mb, m_MaxSteps,
                static_cast<double>(m_MaxBytes) / mb);
  return text;
}

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
