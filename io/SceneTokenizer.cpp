#include "io/SceneTokenizer.h"

#include <algorithm>
#include <cstring>

#include "io/TextScan.h"

bool CToken::Is(const char* word) const {
  const size_t n = std::strlen(word);
  return size == n && std::memcmp(text, word, n) == 0;
}

// Character classes: 1 separator, 2 token of its own or start of a string
// or comment, 0 part of a word.
static unsigned char ClassOf(unsigned char c) {
  switch (c) {
  case ' ':
  case '\t':
  case '\r':
  case '\n':
  case ',':
    return 1;
  case '{':
  case '}':
  case '[':
  case ']':
  case '"':
  case '#':
    return 2;
  default:
    return c == 0 ? 1 : 0;
  }
}

struct CharClasses {
  unsigned char table[256];
  CharClasses() {
    for (int c = 0; c < 256; c++) table[c] = ClassOf(static_cast<unsigned char>(c));
  }
};
static const CharClasses g_Classes;

CSceneTokenizer::CSceneTokenizer(const char* data, size_t size, size_t start)
    : m_Data(data), m_Size(size), m_Pos(std::min(start, size)) {
  Scan();
}

void CSceneTokenizer::Seek(size_t offset) {
  m_Pos = std::min(offset, m_Size);
  Scan();
}

CToken CSceneTokenizer::Next() {
  CToken t = m_Token;
  if (t.kind != TOKEN_END) {
    m_Count++;
    Scan();
  }
  return t;
}

// Finds the token starting at m_Pos and leaves m_Pos after it.
void CSceneTokenizer::Scan() {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(m_Data);
  size_t i = m_Pos;

  // separators and comments
  for (;;) {
    while (i < m_Size && g_Classes.table[p[i]] == 1) i++;
    if (i < m_Size && p[i] == '#') {
      const void* lf = std::memchr(p + i, '\n', m_Size - i);
      i = lf ? static_cast<size_t>(static_cast<const unsigned char*>(lf) - p) : m_Size;
      continue;
    }
    break;
  }
  m_Token.offset = i;
  m_Token.text = m_Data + i;
  if (i >= m_Size) {
    m_Token.kind = TOKEN_END;
    m_Token.size = 0;
    m_Pos = m_Size;
    return;
  }

  // punctuation
  const unsigned char c = p[i];
  const int kinds[4] = {TOKEN_OPEN_BRACE, TOKEN_CLOSE_BRACE, TOKEN_OPEN_BRACKET,
                        TOKEN_CLOSE_BRACKET};
  const char* punct = "{}[]";
  if (const char* q = std::strchr(punct, c); q && c) {
    m_Token.kind = kinds[q - punct];
    m_Token.size = 1;
    m_Pos = i + 1;
    return;
  }

  // strings, with backslash escapes
  if (c == '"') {
    size_t j = i + 1;
    while (j < m_Size && p[j] != '"') j += p[j] == '\\' ? 2 : 1;
    if (j >= m_Size) {
      m_Token.kind = TOKEN_BAD_STRING;
      m_Token.size = m_Size - i;
      m_Pos = m_Size;
      return;
    }
    m_Token.kind = TOKEN_STRING;
    m_Token.size = j + 1 - i;
    m_Pos = j + 1;
    return;
  }

  // words and numbers
  size_t j = i;
  while (j < m_Size && g_Classes.table[p[j]] == 0) j++;
  m_Token.kind = TOKEN_WORD;
  m_Token.size = j - i;
  m_Pos = j;
}

int CSceneTokenizer::LineOf(size_t offset) const {
  offset = std::min(offset, m_Size);
  return 1 + static_cast<int>(std::count(m_Data, m_Data + offset, '\n'));
}

int CSceneTokenizer::NextFloat(float& v) {
  if (m_Token.kind != TOKEN_WORD) return 0;
  const char* end = m_Token.text + m_Token.size;
  if (ScanFloat(m_Token.text, end, v) != end) return 0;
  Next();
  return 1;
}

int CSceneTokenizer::NextInt(int& v, bool autoBase) {
  if (m_Token.kind != TOKEN_WORD) return 0;
  const char* end = m_Token.text + m_Token.size;
  const char* next = autoBase ? ScanIntAuto(m_Token.text, end, v) : ScanInt(m_Token.text, end, v);
  if (next != end) return 0;
  Next();
  return 1;
}

int CSceneTokenizer::FloatList(std::vector<float>& out) {
  float v;
  while (m_Token.kind == TOKEN_WORD)
    if (NextFloat(v))
      out.push_back(v);
    else
      return 0;
  if (m_Token.kind != TOKEN_CLOSE_BRACKET) return 0;
  Next();
  return 1;
}

int CSceneTokenizer::IntList(std::vector<int>& out, bool autoBase) {
  int v;
  while (m_Token.kind == TOKEN_WORD)
    if (NextInt(v, autoBase))
      out.push_back(v);
    else
      return 0;
  if (m_Token.kind != TOKEN_CLOSE_BRACKET) return 0;
  Next();
  return 1;
}

std::string CSceneTokenizer::Unquote(const CToken& token) {
  std::string s;
  if (token.kind != TOKEN_STRING || token.size < 2) return s;
  for (size_t i = 1; i + 1 < token.size; i++) {
    if (token.text[i] == '\\' && i + 2 < token.size) i++;
    s += token.text[i];
  }
  return s;
}
