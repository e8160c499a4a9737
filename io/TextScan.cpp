#include "io/TextScan.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

const char* ScanFloat(const char* p, const char* end, float& value) {
  // from_chars takes no leading '+'
  if (p < end && *p == '+') {
    ++p;
    if (p < end && *p == '-') return nullptr;
  }
  float v = 0.0f;
  auto result = std::from_chars(p, end, v, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(v)) return nullptr;
  value = v;
  return result.ptr;
}

// Digits of the given base from p; accumulates in 64 bits and refuses
// values beyond int range.
static const char* ScanDigits(const char* p, const char* end, int base, bool negative, int& value) {
  long long v = 0;
  const char* first = p;
  for (; p < end; ++p) {
    int digit;
    char c = *p;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      break;
    if (digit >= base) break;
    v = v * base + digit;
    if (v > static_cast<long long>(INT_MAX) + 1) return nullptr;
  }
  if (p == first) return nullptr;
  if (negative) v = -v;
  if (v > INT_MAX || v < INT_MIN) return nullptr;
  value = static_cast<int>(v);
  return p;
}

// Optional sign; returns the position after it.
static const char* ScanSign(const char* p, const char* end, bool& negative) {
  negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  return p;
}

static bool HasHexPrefix(const char* p, const char* end) {
  return end - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
}

const char* ScanInt(const char* p, const char* end, int& value) {
  bool negative;
  p = ScanSign(p, end, negative);
  return ScanDigits(p, end, 10, negative, value);
}

const char* ScanIntAuto(const char* p, const char* end, int& value) {
  bool negative;
  p = ScanSign(p, end, negative);
  if (HasHexPrefix(p, end)) {
    const char* next = ScanDigits(p + 2, end, 16, negative, value);
    if (next) return next;
  }
  if (end - p >= 2 && p[0] == '0') return ScanDigits(p, end, 8, negative, value);
  return ScanDigits(p, end, 10, negative, value);
}

const char* ScanHex(const char* p, const char* end, int& value) {
  if (HasHexPrefix(p, end)) {
    const char* next = ScanDigits(p + 2, end, 16, false, value);
    if (next) return next;
  }
  return ScanDigits(p, end, 16, false, value);
}

//////////////////////////////////////////////////////////////////////
// Lines
//////////////////////////////////////////////////////////////////////

int CLineReader::Next(const char*& begin, const char*& end) {
  if (m_p >= m_End) return 0;
  begin = m_p;
  const void* lf = std::memchr(m_p, '\n', static_cast<size_t>(m_End - m_p));
  end = lf ? static_cast<const char*>(lf) : m_End;
  m_p = lf ? end + 1 : m_End;
  if (end > begin && end[-1] == '\r') --end;
  m_Line++;
  return 1;
}

int CLineReader::Skip(int count) {
  const char* b;
  const char* e;
  for (int i = 0; i < count; i++)
    if (!Next(b, e)) return 0;
  return 1;
}

const char* CLineFields::Skip() {
  while (m_p < m_End && IsSpace(*m_p)) ++m_p;
  return m_p;
}

int CLineFields::Take(const char* next) {
  if (!next) return 0;
  m_p = next;
  return 1;
}

int CLineFields::Literal(const char* w) {
  const size_t n = std::strlen(w);
  if (n > 0 && !IsSpace(w[0])) Skip();
  if (static_cast<size_t>(m_End - m_p) < n || std::memcmp(m_p, w, n) != 0) return 0;
  m_p += n;
  return 1;
}

int CLineFields::Floats(float* v, int n) {
  for (int i = 0; i < n; i++)
    if (!Float(v[i])) return 0;
  return 1;
}

int CLineFields::Ints(int* v, int n) {
  for (int i = 0; i < n; i++)
    if (!Int(v[i])) return 0;
  return 1;
}

std::string LineError(int line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

int RequireLine(CLineReader& lines, const char*& begin, const char*& end, const char* what,
                std::string& error) {
  if (lines.Next(begin, end)) return 1;
  error = std::string("the file ends before ") + what;
  return 0;
}

int CheckCount(int count, int line, const char* what, std::string& error) {
  if (count >= 0) return 1;
  error = LineError(line, std::string("negative ") + what + " count " + std::to_string(count));
  return 0;
}

int ReadCountLine(CLineReader& lines, const char* label, const char* what, int& count,
                  std::string& error) {
  const char* b;
  const char* e;
  const std::string expected = std::string(label) + " %d";
  if (!RequireLine(lines, b, e, expected.c_str(), error)) return 0;
  CLineFields fields(b, e);
  if (!fields.Literal(label) || !fields.Int(count)) {
    error = LineError(lines.LineNumber(), "expected \"" + expected + "\"");
    return 0;
  }
  return CheckCount(count, lines.LineNumber(), what, error);
}

bool CWord::Is(const char* w, bool anyCase) const {
  const size_t n = std::strlen(w);
  if (n != Size()) return false;
  for (size_t i = 0; i < n; i++) {
    char a = begin[i], b = w[i];
    if (anyCase) {
      if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
      if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    }
    if (a != b) return false;
  }
  return true;
}

bool CWord::Float(float& v) const {
  return begin < end && ScanFloat(begin, end, v) == end;
}

bool CWord::Int(int& v) const {
  return begin < end && ScanInt(begin, end, v) == end;
}

void SplitWords(const char* begin, const char* end, std::vector<CWord>& words, char comment) {
  words.clear();
  const char* p = begin;
  while (p < end) {
    while (p < end && IsSpace(*p)) ++p;
    if (p == end || (comment && *p == comment)) break;
    CWord w;
    w.begin = p;
    while (p < end && !IsSpace(*p) && !(comment && *p == comment)) ++p;
    w.end = p;
    words.push_back(w);
  }
}

bool CWordReader::Next(CWord& word) {
  while (m_p < m_End && IsSpace(*m_p)) {
    if (*m_p == '\n') m_Line++;
    ++m_p;
  }
  if (m_p == m_End) return false;
  word.begin = m_p;
  while (m_p < m_End && !IsSpace(*m_p)) ++m_p;
  word.end = m_p;
  return true;
}

void CWordReader::SkipLine() {
  while (m_p < m_End && *m_p != '\n') ++m_p;
}
