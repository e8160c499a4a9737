#include "app/TextNormalize.h"

#include <cctype>

namespace orvex {

static std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string StripMnemonics(const std::string& text) {
  std::string out;
  bool pendingBlank = false;
  for (char c : text) {
    if (c == '&') continue;
    if (std::isspace(static_cast<unsigned char>(c))) {
      pendingBlank = !out.empty();
      continue;
    }
    if (pendingBlank) out += ' ';
    pendingBlank = false;
    out += c;
  }
  return out;
}

std::string LabelKey(const std::string& label) {
  std::string key = StripMnemonics(label);
  while (!key.empty() && (key.back() == ':' || key.back() == ' ')) key.pop_back();
  return Lower(key);
}

std::string PathKey(const std::string& path) {
  std::string key;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (!key.empty()) key += '/';
    key += Lower(StripMnemonics(path.substr(start, slash - start)));
    start = slash + 1;
  }
  return key;
}

} // namespace orvex
