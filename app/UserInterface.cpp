#include "app/UserInterface.h"

#include <cstdarg>
#include <cstdio>

namespace orvex {

static std::string FormatBounded(const char* format, va_list args) {
  char buffer[CUserInterface::kStatusMaxLength + 1];
  int n = std::vsnprintf(buffer, sizeof(buffer), format, args);
  if (n < 0) return std::string();
  return std::string(buffer);
}

std::string FormatStatus(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatBounded(format, args);
  va_end(args);
  return text;
}

int CUserInterface::StatusMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatBounded(format, args);
  va_end(args);
  SetStatusText(text);
  return static_cast<int>(text.size());
}

} // namespace orvex
