#pragma once

#include <string>

#include "geometry/Progress.h"

namespace orvex {

class CUserInterface;

// The progress of the command the dispatcher runs, shown by its front end
// while it lives (and hidden when it goes, however the command ends). The
// command may be stopped only when stopping leaves nothing half-changed.
class CCommandProgress : public CProgressSink {
public:
  CCommandProgress(CUserInterface& ui, bool cancellable);
  ~CCommandProgress() override;

  bool OnProgress(double fraction, const char* phase, bool cancellable) override;
  // The command is done: the front end shows it complete, once.
  void Finish() { m_Scope.Finish(); }

private:
  CUserInterface& m_UI;
  bool m_Shown = false;
  CProgressScope m_Scope;
};

// "Cancelled: Loop/Std", the status line of a command the user stopped.
std::string CancelledText(const std::string& commandLabel);

} // namespace orvex
