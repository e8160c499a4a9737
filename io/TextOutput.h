#pragma once

#include <cstddef>
#include <string>

class CReplaceFile;

// Output buffer of the writers. Numbers are formatted exactly as printf's
// "%g" and "%d" would, without going through stdio per number; the buffer
// is handed to the file in large blocks.
class CTextOutput {
public:
  // Without a file the text only accumulates (GetText).
  explicit CTextOutput(CReplaceFile* file = nullptr) : m_File(file) {}

  CTextOutput& Text(const char* s);
  CTextOutput& Text(const std::string& s) { return Raw(s.data(), s.size()); }
  CTextOutput& Raw(const char* s, size_t n);
  // printf "%g"
  CTextOutput& G(double v);
  // printf "%d"
  CTextOutput& D(long long v);
  // "%g %g %g" (single spaces between); digits other than 6 as "%.<digits>g"
  CTextOutput& G3(double x, double y, double z, int digits = 6);

  // Lists of the VRML and Inventor blocks: entry i of n ends with ",\n", the
  // last one with "]\n"; a list without entries gets a lone closing line.
  CTextOutput& EndListEntry(int i, int n);
  CTextOutput& CloseEmptyList(int n);
  // One indexed triangle "          %d, %d, %d, -1".
  CTextOutput& IndexTriangle(int a, int b, int c);

  // Writes the buffered text to the file when it has grown past a block;
  // returns 0 once any write has failed.
  int Flush(bool force = false);
  int Failed() const { return m_Failed; }
  const std::string& GetText() const { return m_Text; }

private:
  CReplaceFile* m_File;
  std::string m_Text;
  int m_Failed = 0;
};

// printf "%g" (or "%.<digits>g", digits up to 17) of v into out (at least
// 32 bytes); returns the length.
int FormatG(double v, char* out, int digits = 6);
