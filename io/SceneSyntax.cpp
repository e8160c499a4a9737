#include "io/SceneSyntax.h"

#include <string>

CSceneSyntax::CSceneSyntax(const char* data, size_t size, size_t start, CReadReport& r)
    : tokens(data, size, start), report(r), tokenBudget(20 * static_cast<long long>(size) + 4096) {}

int CSceneSyntax::Fail(const std::string& what) {
  if (error.empty()) error = "line " + std::to_string(tokens.Line()) + ": " + what;
  return 0;
}

int ReadFloats(CSceneSyntax& c, float* v, int n, const char* field) {
  for (int i = 0; i < n; i++)
    if (!c.tokens.NextFloat(v[i])) return c.Fail(std::string("expected numbers after ") + field);
  return 1;
}

int ReadBool(CSceneSyntax& c, bool& v, const char* field) {
  const CToken& t = c.tokens.Peek();
  if (!t.IsWord("TRUE") && !t.IsWord("FALSE"))
    return c.Fail(std::string("expected TRUE or FALSE after ") + field);
  v = t.Is("TRUE");
  c.tokens.Next();
  return 1;
}

// An MF field of numbers: "[ ... ]" or a single value of n numbers.
int ReadFloatField(CSceneSyntax& c, std::vector<float>& out, int n, const char* field) {
  out.clear();
  if (c.tokens.Peek().kind == TOKEN_OPEN_BRACKET) {
    c.tokens.Next();
    if (!c.tokens.FloatList(out))
      return c.Fail(std::string("bad number or missing ']' in ") + field);
  } else {
    out.resize(static_cast<size_t>(n));
    if (!ReadFloats(c, out.data(), n, field)) return 0;
  }
  if (out.size() % static_cast<size_t>(n) != 0)
    return c.Fail(std::string(field) + " holds " + std::to_string(out.size()) +
                  " numbers, not a multiple of " + std::to_string(n));
  return 1;
}

int ReadIntField(CSceneSyntax& c, std::vector<int>& out, bool autoBase, const char* field) {
  out.clear();
  int v;
  if (c.tokens.Peek().kind == TOKEN_OPEN_BRACKET) {
    c.tokens.Next();
    if (!c.tokens.IntList(out, autoBase))
      return c.Fail(std::string("bad index or missing ']' in ") + field);
  } else if (c.tokens.NextInt(v, autoBase)) {
    out.push_back(v);
  } else {
    return c.Fail(std::string("expected indices after ") + field);
  }
  return 1;
}

// A word that is a value rather than a field or node name.
bool IsScalarWord(const CToken& t) {
  if (t.kind != TOKEN_WORD || t.size == 0) return false;
  const char ch = t.text[0];
  return (ch >= '0' && ch <= '9') || ch == '-' || ch == '+' || ch == '.' || t.Is("TRUE") ||
         t.Is("FALSE");
}

// Skips up to and including the bracket or brace closing the one just read.
int SkipBalanced(CSceneSyntax& c) {
  int level = 1;
  while (level > 0) {
    const CToken t = c.tokens.Next();
    switch (t.kind) {
    case TOKEN_END:
    case TOKEN_BAD_STRING:
      return c.Fail("the file ends inside a node or list");
    case TOKEN_OPEN_BRACE:
    case TOKEN_OPEN_BRACKET:
      level++;
      break;
    case TOKEN_CLOSE_BRACE:
    case TOKEN_CLOSE_BRACKET:
      level--;
      break;
    default:
      break;
    }
  }
  return 1;
}

// Skips the value of a field this reader does not use: a list, a node
// (DEF, USE, NULL or "Type { ... }") or a run of numbers, booleans and
// strings.
int SkipValue(CSceneSyntax& c) {
  const CToken t = c.tokens.Next();
  if (t.kind == TOKEN_OPEN_BRACKET) return SkipBalanced(c);
  if (t.kind == TOKEN_STRING || IsScalarWord(t)) {
    while (c.tokens.Peek().kind == TOKEN_STRING || IsScalarWord(c.tokens.Peek())) c.tokens.Next();
    return 1;
  }
  if (t.kind != TOKEN_WORD) return c.Fail("unexpected '" + t.Str() + "'");
  if (t.Is("USE")) return c.tokens.Next().kind == TOKEN_WORD ? 1 : c.Fail("USE without a name");
  if (t.Is("NULL")) return 1;
  if (t.Is("DEF")) {
    c.tokens.Next();
    c.tokens.Next();
  }
  if (c.tokens.Peek().kind != TOKEN_OPEN_BRACE) return 1;
  c.tokens.Next();
  return SkipBalanced(c);
}

bool SkipIgnoredValue(CSceneSyntax& c) {
  const CToken first = c.tokens.Peek();
  if (first.IsWord("~")) {
    c.tokens.Next();
    return true;
  }
  // a list or a node value: not looked past
  if (first.kind == TOKEN_OPEN_BRACKET || first.IsWord("DEF") || first.IsWord("USE")) return false;
  if (first.kind != TOKEN_STRING && first.kind != TOKEN_WORD) return false;
  c.tokens.Next();
  const bool node = c.tokens.Peek().kind == TOKEN_OPEN_BRACE;
  c.tokens.Seek(first.offset);
  if (node) return false;
  // a single value: numbers, booleans, strings or one word
  const std::string saved = c.error;
  if (SkipValue(c) && c.tokens.Peek().IsWord("~")) {
    c.tokens.Next();
    return true;
  }
  c.error = saved;
  c.tokens.Seek(first.offset);
  return false;
}
