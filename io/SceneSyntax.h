#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "io/ReadReport.h"
#include "io/SceneTokenizer.h"

// Deepest nesting of nodes (USE included) that the scene readers follow.
const int kMaxSceneDepth = 200;

// Node syntax shared by the VRML 2.0 and Inventor readers: field values,
// lists and skipping of what a reader does not use. Every function returns
// 0 on a syntax error, with the first error kept as "line N: ...".
struct CSceneSyntax {
  CSceneTokenizer tokens;
  CReadReport& report;
  std::unordered_map<std::string_view, size_t> defs; // DEF name -> offset of the node type
  std::string error;
  int depth = 0;
  // Tokens that may be read in all, USE re-reads included: bounds the work
  // of files that USE their definitions over and over.
  long long tokenBudget;

  CSceneSyntax(const char* data, size_t size, size_t start, CReadReport& r);
  // Records the first error, at the current token's line; returns 0.
  int Fail(const std::string& what);
};

// n numbers.
int ReadFloats(CSceneSyntax& c, float* v, int n, const char* field);
// TRUE or FALSE.
int ReadBool(CSceneSyntax& c, bool& v, const char* field);
// A list of numbers, "[ ... ]" or one entry of n numbers; the count must be
// a multiple of n.
int ReadFloatField(CSceneSyntax& c, std::vector<float>& out, int n, const char* field);
// A list of integers ("%d", or "%i" when autoBase), "[ ... ]" or one value.
int ReadIntField(CSceneSyntax& c, std::vector<int>& out, bool autoBase, const char* field);
// A number or boolean word (a value rather than a name).
bool IsScalarWord(const CToken& t);
// Skips up to and including the bracket or brace closing the one just read.
int SkipBalanced(CSceneSyntax& c);
// Skips one field value: a list, a node (DEF, USE, NULL or "Type {...}"),
// or a run of numbers, booleans and strings, or one other word.
int SkipValue(CSceneSyntax& c);

// Reads a node body up to and including its '}': item(t) gets each word at
// the head of the body, still unread, and returns 0 on a syntax error. Any
// other token is an error, named after `expected`.
template <class Item> int ReadBodyItems(CSceneSyntax& c, const char* expected, Item item) {
  for (;;) {
    const CToken t = c.tokens.Peek();
    if (t.kind == TOKEN_CLOSE_BRACE) {
      c.tokens.Next();
      return 1;
    }
    if (t.kind != TOKEN_WORD) {
      if (t.kind == TOKEN_END || t.kind == TOKEN_BAD_STRING)
        return c.Fail("the file ends before '}'");
      return c.Fail(std::string(expected) + "'" + t.Str() + "'");
    }
    if (!item(t)) return 0;
  }
}

// True when the value ahead is marked ignored ("value ~", or a lone "~"):
// the marker and the value are then consumed. Lists and nodes are not
// looked past; a marker after them is dropped and their value kept.
bool SkipIgnoredValue(CSceneSyntax& c);

// The value of the field whose name was just read: field(name) reads it
// (1), fails (0) or leaves it to be skipped (-1). A value marked ignored
// is skipped without asking field.
template <class Field> int ReadFieldValue(CSceneSyntax& c, const CToken& name, Field field) {
  if (SkipIgnoredValue(c)) return 1;
  const int read = field(name);
  if (!(read > 0 || (read < 0 && SkipValue(c)))) return 0;
  if (c.tokens.Peek().IsWord("~")) c.tokens.Next();
  return 1;
}

// Reads one SFNode value and hands "Type {" to body, which reads the fields
// up to and including the closing brace. USE re-reads the DEF'd node in
// place. Returns 0 on a syntax error.
template <class Body> int ReadNode(CSceneSyntax& c, Body body) {
  CToken t = c.tokens.Next();
  if (t.IsWord("NULL")) return 1;
  if (t.IsWord("USE")) {
    const CToken name = c.tokens.Next();
    auto found = c.defs.find(std::string_view(name.text, name.size));
    if (name.kind != TOKEN_WORD || found == c.defs.end()) {
      c.report.skippedObjects++;
      return 1;
    }
    if (c.depth >= kMaxSceneDepth || c.tokens.Count() > c.tokenBudget)
      return c.Fail("USE " + name.Str() + " is nested or repeated too much to be read");
    const size_t back = c.tokens.Peek().offset;
    c.tokens.Seek(found->second);
    c.depth++;
    const int ok = ReadNode(c, body);
    c.depth--;
    c.tokens.Seek(back);
    return ok;
  }
  if (t.IsWord("DEF")) {
    const CToken name = c.tokens.Next();
    if (name.kind != TOKEN_WORD) return c.Fail("DEF without a name");
    c.defs[std::string_view(name.text, name.size)] = c.tokens.Peek().offset;
    t = c.tokens.Next();
  }
  if (t.kind != TOKEN_WORD) return c.Fail("expected a node, found '" + t.Str() + "'");
  if (c.tokens.Next().kind != TOKEN_OPEN_BRACE) return c.Fail("expected '{' after " + t.Str());
  if (c.depth >= kMaxSceneDepth) return c.Fail("nodes are nested too deeply");
  c.depth++;
  const int ok = body(t);
  c.depth--;
  return ok;
}
