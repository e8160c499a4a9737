#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>

#include "app/UndoStep.h"

class COrvexDoc;

namespace orvex {

// A document's undo and redo steps. The history is bounded by the bytes
// its records hold and by its number of steps, whichever is reached first;
// the oldest steps go first. A new step drops the steps that could be
// redone.
class CUndoHistory {
public:
  static constexpr std::size_t kDefaultMaxBytes = std::size_t(512) << 20;
  static constexpr std::size_t kDefaultMaxSteps = 20;

  // Limits of the histories made from now on (the window program reads
  // them from its settings).
  static void SetDefaultLimits(std::size_t maxBytes, std::size_t maxSteps);

  CUndoHistory();
  void SetLimits(std::size_t maxBytes, std::size_t maxSteps);
  std::size_t MaxBytes() const { return m_MaxBytes; }
  std::size_t MaxSteps() const { return m_MaxSteps; }
  // Whether a record of this many bytes fits in the history at all.
  bool Fits(std::size_t bytes) const { return bytes <= m_MaxBytes && m_MaxSteps > 0; }

  void Push(std::unique_ptr<CUndoStep> step);
  bool CanUndo() const { return !m_Undo.empty(); }
  bool CanRedo() const { return !m_Redo.empty(); }
  // Labels of the next step to undo and to redo; empty when there is none.
  std::string UndoLabel() const { return m_Undo.empty() ? std::string() : m_Undo.back()->Label(); }
  std::string RedoLabel() const { return m_Redo.empty() ? std::string() : m_Redo.back()->Label(); }
  // Each returns false when there is no step to take.
  bool Undo(COrvexDoc& doc);
  bool Redo(COrvexDoc& doc);
  void Clear();

  std::size_t NbUndo() const { return m_Undo.size(); }
  std::size_t NbRedo() const { return m_Redo.size(); }
  std::size_t Bytes() const { return m_Bytes; }
  // "3 steps, 12.5 MB (at most 20 steps, 512 MB)".
  std::string Summary() const;

private:
  void Trim();

  std::deque<std::unique_ptr<CUndoStep>> m_Undo;
  std::deque<std::unique_ptr<CUndoStep>> m_Redo;
  std::size_t m_Bytes = 0;
  std::size_t m_MaxBytes;
  std::size_t m_MaxSteps;
};

} // namespace orvex
