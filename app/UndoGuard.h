#pragma once

#include <memory>
#include <string>

#include "app/CommandRegistry.h"
#include "app/UndoStep.h"

class COrvexDoc;

namespace orvex {

// The undo record of one command run by the dispatcher: made by Record
// (under the command's wait cursor) from its declared effects, restored when the
// command fails or throws, pushed on the document's history when it is
// done. A command that cannot be recorded (too large, a scene that cannot
// be copied) runs without undo, clears the history (its steps no longer
// lead back to anything) and says so in the status bar.
class CUndoGuard {
public:
  CUndoGuard(const CommandInfo& info, COrvexDoc* doc, CUserInterface& ui);
  CUndoGuard(const CUndoGuard&) = delete;
  CUndoGuard& operator=(const CUndoGuard&) = delete;
  ~CUndoGuard();

  // Records doc as the command's effects require, under the wait cursor;
  // called before the command's bracket opens.
  void Record();
  // Whether stopping the command halfway leaves nothing half-changed: it
  // changes nothing that undo records, or its record was taken.
  bool CanRestore() const;
  // Puts back the recorded state when doc is still the recorded document.
  void Restore(COrvexDoc* doc) noexcept;
  // The command is done: its step goes on the history of doc.
  void Commit(COrvexDoc* doc);

private:
  const CommandInfo& m_Info;
  COrvexDoc* m_Doc;
  CUserInterface& m_UI;
  bool m_Recording = false;
  std::unique_ptr<CUndoStep> m_Step;
  std::string m_WhyNot;
};

} // namespace orvex
