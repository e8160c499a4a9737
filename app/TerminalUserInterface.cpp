#include "app/TerminalUserInterface.h"

namespace orvex {

void CTerminalUserInterface::ShowMessage(const std::string& text, const std::string& title) {
  if (title.empty())
    std::fprintf(m_Err, "%s\n", text.c_str());
  else
    std::fprintf(m_Err, "%s: %s\n", title.c_str(), text.c_str());
  std::fflush(m_Err);
}

bool CTerminalUserInterface::AskYesNo(const std::string& question) {
  bool yes = m_AnswerYes || m_AnswerNextYes;
  m_AnswerNextYes = false;
  std::fprintf(m_Err, "%s %s\n", question.c_str(), yes ? "yes" : "no");
  std::fflush(m_Err);
  return yes;
}

void CTerminalUserInterface::SetStatusText(const std::string& text) {
  std::fprintf(m_Out, "%s\n", text.c_str());
  std::fflush(m_Out);
}

} // namespace orvex
