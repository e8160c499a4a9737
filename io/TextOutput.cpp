#include "io/TextOutput.h"

#include <charconv>
#include <cstring>

#include "io/ReplaceFile.h"

// Block size handed to the file at a time.
static const size_t kFlushBlock = 1 << 20;

int FormatG(double v, char* out, int digits) {
  // to_chars with a precision formats as printf does with that precision
  auto result = std::to_chars(out, out + 32, v, std::chars_format::general, digits);
  return static_cast<int>(result.ptr - out);
}

CTextOutput& CTextOutput::Text(const char* s) {
  return Raw(s, std::strlen(s));
}

CTextOutput& CTextOutput::Raw(const char* s, size_t n) {
  m_Text.append(s, n);
  return *this;
}

CTextOutput& CTextOutput::G(double v) {
  char buffer[32];
  return Raw(buffer, static_cast<size_t>(FormatG(v, buffer)));
}

CTextOutput& CTextOutput::D(long long v) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return Raw(buffer, static_cast<size_t>(result.ptr - buffer));
}

CTextOutput& CTextOutput::G3(double x, double y, double z, int digits) {
  char buffer[100];
  int n = FormatG(x, buffer, digits);
  buffer[n++] = ' ';
  n += FormatG(y, buffer + n, digits);
  buffer[n++] = ' ';
  n += FormatG(z, buffer + n, digits);
  return Raw(buffer, static_cast<size_t>(n));
}

CTextOutput& CTextOutput::EndListEntry(int i, int n) {
  Text(i + 1 < n ? ",\n" : "]\n");
  Flush();
  return *this;
}

CTextOutput& CTextOutput::CloseEmptyList(int n) {
  if (n == 0) Text("          ]\n");
  return *this;
}

CTextOutput& CTextOutput::IndexTriangle(int a, int b, int c) {
  return Text("          ").D(a).Text(", ").D(b).Text(", ").D(c).Text(", -1");
}

int CTextOutput::Flush(bool force) {
  if (!m_File || m_Failed) return !m_Failed;
  if (!force && m_Text.size() < kFlushBlock) return 1;
  if (!m_File->Write(m_Text.data(), m_Text.size())) m_Failed = 1;
  m_Text.clear();
  return !m_Failed;
}
