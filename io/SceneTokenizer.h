#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Tokens of the VRML 2.0 and Inventor text formats.
enum TokenKind {
  TOKEN_END,
  TOKEN_WORD,   // names, keywords and numbers
  TOKEN_STRING, // "..." (text includes the quotes)
  TOKEN_OPEN_BRACE,
  TOKEN_CLOSE_BRACE,
  TOKEN_OPEN_BRACKET,
  TOKEN_CLOSE_BRACKET,
  TOKEN_BAD_STRING // a string that the text ends inside
};

struct CToken {
  int kind = TOKEN_END;
  const char* text = nullptr;
  size_t size = 0;
  size_t offset = 0; // of the first character in the text
  bool Is(const char* word) const;
  bool IsWord(const char* word) const { return kind == TOKEN_WORD && Is(word); }
  std::string Str() const { return std::string(text, size); }
};

// Splits the text into tokens: whitespace and commas separate, "#" starts a
// comment up to the end of the line, braces and brackets are tokens of
// their own. The current token can be peeked at; the tokenizer can seek
// back to any token's offset (for USE) and counts the tokens it has read.
class CSceneTokenizer {
public:
  CSceneTokenizer(const char* data, size_t size, size_t start = 0);
  const CToken& Peek() const { return m_Token; }
  CToken Next();
  void Seek(size_t offset);
  long long Count() const { return m_Count; }
  int LineOf(size_t offset) const;
  int Line() const { return LineOf(m_Token.offset); }

  // The current token as a float ("%f") or int ("%d", or "%i" when
  // autoBase); consumed only when the whole token converts.
  int NextFloat(float& v);
  int NextInt(int& v, bool autoBase);
  // Consumes every number up to the closing bracket of a list (whose '['
  // is already consumed); 0 when a token is not a number or the text ends.
  int FloatList(std::vector<float>& out);
  int IntList(std::vector<int>& out, bool autoBase);
  // The characters of a string token without quotes and escapes.
  static std::string Unquote(const CToken& token);

private:
  void Scan();
  const char* m_Data;
  size_t m_Size;
  size_t m_Pos;
  CToken m_Token;
  long long m_Count = 0;
};
