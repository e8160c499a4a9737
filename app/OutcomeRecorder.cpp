#include "app/OutcomeRecorder.h"

namespace orvex {

// Recorded first: what the user was to see stays in the record even when
// showing it fails.
void COutcomeRecorder::ShowMessage(const std::string& text, const std::string& title) {
  m_Outcome.messages.push_back(text);
  m_Target.ShowMessage(text, title);
}

void COutcomeRecorder::SetStatusText(const std::string& text) {
  m_Outcome.statusLines.push_back(text);
  m_Target.SetStatusText(text);
}

void COutcomeRecorder::SetClipboardText(const std::string& text) {
  m_Outcome.tables.push_back(text);
  m_Target.SetClipboardText(text);
}

} // namespace orvex
