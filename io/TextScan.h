#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Number conversions and line splitting shared by the text readers. The
// conversions work on [p, end) without copying; each returns the position
// after the number, or null when no number starts at p.

// "%f" / "%g" into a float: optional sign, decimal or exponent form; the
// value must be finite.
const char* ScanFloat(const char* p, const char* end, float& value);
// "%d": optional sign and decimal digits, within int range.
const char* ScanInt(const char* p, const char* end, int& value);
// "%i": like "%d", but "0x" starts a hexadecimal and a leading 0 an octal
// number.
const char* ScanIntAuto(const char* p, const char* end, int& value);
// "%x": hexadecimal digits with an optional "0x", within int range.
const char* ScanHex(const char* p, const char* end, int& value);

// Whitespace of the text formats: space, tab, carriage return, line feed.
inline bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Splits a text into lines ending at a line feed; the line feed and a
// carriage return before it are not part of the line.
class CLineReader {
public:
  CLineReader(const char* data, size_t size) : m_p(data), m_End(data + size) {}
  // Next line in [begin, end); 0 at the end of the text.
  int Next(const char*& begin, const char*& end);
  // Number of the line last returned, counted from 1.
  int LineNumber() const { return m_Line; }
  // Skips lines, 0 when the text ends first.
  int Skip(int count);

private:
  const char* m_p;
  const char* m_End;
  int m_Line = 0;
};

// Reads the fields of one line in order, scanf style: whitespace between
// fields is skipped, literal words must match.
class CLineFields {
public:
  CLineFields(const char* begin, const char* end) : m_p(begin), m_End(end) {}
  int Float(float& v) { return Take(ScanFloat(Skip(), m_End, v)); }
  int Int(int& v) { return Take(ScanInt(Skip(), m_End, v)); }
  int Hex(int& v) { return Take(ScanHex(Skip(), m_End, v)); }
  // The literal text w (after skipped whitespace when w starts with none).
  int Literal(const char* w);
  // Reads n floats; 0 when any is missing.
  int Floats(float* v, int n);
  int Ints(int* v, int n);

private:
  const char* Skip();
  int Take(const char* next);
  const char* m_p;
  const char* m_End;
};

// "line N: what" — the error text of the readers.
std::string LineError(int line, const std::string& what);

// Next line, or 0 with the error "the file ends before <what>".
int RequireLine(CLineReader& lines, const char*& begin, const char*& end, const char* what,
                std::string& error);
// 1 when a count read from line `line` is not negative, else 0 and an error.
int CheckCount(int count, int line, const char* what, std::string& error);
// Reads the line "<label> %d" into count (what names the count in errors);
// 0 with an error when the line is missing, does not match or is negative.
int ReadCountLine(CLineReader& lines, const char* label, const char* what, int& count,
                  std::string& error);

// A word of a text, [begin, end), and its conversions: the whole word must
// be the number.
struct CWord {
  const char* begin = nullptr;
  const char* end = nullptr;
  size_t Size() const { return static_cast<size_t>(end - begin); }
  std::string Str() const { return std::string(begin, Size()); }
  // Same text as w (case-insensitive when asked).
  bool Is(const char* w, bool anyCase = false) const;
  bool Float(float& v) const;
  bool Int(int& v) const;
};

// The words of [begin, end) split at whitespace into words (cleared
// first); with a comment character, the text from it on is ignored.
void SplitWords(const char* begin, const char* end, std::vector<CWord>& words, char comment = 0);

// The words of a whole text in order, across lines, with the number of the
// line of the last one, for messages.
class CWordReader {
public:
  // firstLine: the number of the text's first line in its file.
  CWordReader(const char* data, size_t size, int firstLine = 1)
      : m_p(data), m_End(data + size), m_Line(firstLine) {}
  // Next word; false at the end of the text.
  bool Next(CWord& word);
  int LineNumber() const { return m_Line; }
  // Skips the rest of the current line.
  void SkipLine();

private:
  const char* m_p;
  const char* m_End;
  int m_Line;
};
