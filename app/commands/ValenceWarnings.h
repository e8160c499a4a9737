#pragma once

#include <string>
#include <vector>

namespace orvex {

class CUserInterface;

// Warnings of one or many coder runs, each text kept once in the order met,
// so that a long series shows every kind of problem in a single message box
// instead of one box per occurrence.
class CValenceWarnings {
public:
  void Add(const std::vector<std::string>& warnings);
  const std::vector<std::string>& Texts() const { return m_Texts; }
  // Shows each text in its own message box, then forgets them.
  void Show(CUserInterface& ui);

private:
  std::vector<std::string> m_Texts;
};

} // namespace orvex
