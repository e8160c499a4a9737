#include "app/gui/KeySequence.h"

#include <cstdlib>
#include <map>

#include "app/CommandRegistry.h"

namespace orvex {

static int NamedKey(const std::string& name) {
  static const std::map<std::string, int> kKeys = {
      {"ins", Qt::Key_Insert},   {"del", Qt::Key_Delete},
      {"space", Qt::Key_Space},  {"backspace", Qt::Key_Backspace},
      {"enter", Qt::Key_Return}, {"+", Qt::Key_Plus},
      {"-", Qt::Key_Minus},      {"*", Qt::Key_Asterisk},
      {"/", Qt::Key_Slash},      {"esc", Qt::Key_Escape},
      {"tab", Qt::Key_Tab}};
  auto it = kKeys.find(name);
  if (it != kKeys.end()) return it->second;
  if (name.size() == 1) {
    char c = name[0];
    if (c >= 'a' && c <= 'z') return Qt::Key_A + (c - 'a');
    if (c >= '0' && c <= '9') return Qt::Key_0 + (c - '0');
  }
  if (name.size() >= 2 && name[0] == 'f') {
    int n = std::atoi(name.c_str() + 1);
    if (n >= 1 && n <= 24) return Qt::Key_F1 + (n - 1);
  }
  return 0;
}

QKeySequence KeySequenceOf(const std::string& key) {
  // canonical form: "ctrl+alt+shift+num+KEY", KEY may itself be '+'
  std::string text = KeyKey(key);
  int modifiers = 0;
  const std::pair<const char*, int> kModifiers[] = {
      {"ctrl+", Qt::CTRL}, {"alt+", Qt::ALT}, {"shift+", Qt::SHIFT}, {"num+", Qt::KeypadModifier}};
  for (const auto& modifier : kModifiers) {
    std::string prefix = modifier.first;
    if (text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0) {
      modifiers |= modifier.second;
      text.erase(0, prefix.size());
    }
  }
  int code = NamedKey(text);
  if (code == 0) return QKeySequence();
  return QKeySequence(QKeyCombination::fromCombined(modifiers | code));
}

} // namespace orvex
