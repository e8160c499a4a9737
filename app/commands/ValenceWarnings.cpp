#include "app/commands/ValenceWarnings.h"

#include <algorithm>

#include "app/UserInterface.h"

namespace orvex {

void CValenceWarnings::Add(const std::vector<std::string>& warnings) {
  for (const std::string& text : warnings)
    if (std::find(m_Texts.begin(), m_Texts.end(), text) == m_Texts.end()) m_Texts.push_back(text);
}

void CValenceWarnings::Show(CUserInterface& ui) {
  for (const std::string& text : m_Texts) ui.ShowMessage(text);
  m_Texts.clear();
}

} // namespace orvex
