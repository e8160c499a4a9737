#include "app/CommandProgress.h"

#include "app/UserInterface.h"

namespace orvex {

CCommandProgress::CCommandProgress(CUserInterface& ui, bool cancellable)
    : m_UI(ui), m_Scope(this, cancellable) {}

CCommandProgress::~CCommandProgress() {
  if (m_Shown) m_UI.EndProgress();
}

bool CCommandProgress::OnProgress(double fraction, const char* phase, bool cancellable) {
  m_Shown = true;
  return m_UI.ShowProgress(fraction, phase ? phase : "", cancellable);
}

std::string CancelledText(const std::string& commandLabel) {
  return "Cancelled: " + commandLabel;
}

} // namespace orvex
