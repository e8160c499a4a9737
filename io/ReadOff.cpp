#include "io/ReadOff.h"

#include <vector>

#include "geometry/Mesh3d.h"
#include "io/ColorByte.h"
#include "io/MeshBuilder.h"
#include "io/TextScan.h"

namespace {

// What every vertex line carries besides its position.
struct COffLayout {
  bool texture = false;
  bool color = false;
  bool normal = false;
};

// The lines of the file without comments and blank lines.
class COffLines {
public:
  COffLines(const char* data, size_t size) : m_Lines(data, size) {}
  // The words of the next line holding any; false at the end.
  bool Next(std::vector<CWord>& words) {
    const char* begin;
    const char* end;
    while (m_Lines.Next(begin, end)) {
      SplitWords(begin, end, words, '#');
      if (!words.empty()) return true;
    }
    return false;
  }
  int LineNumber() const { return m_Lines.LineNumber(); }

private:
  CLineReader m_Lines;
};

} // namespace

// "[ST][C][N]OFF"; other keywords are refused with the reason.
static bool ParseKeyword(const CWord& word, COffLayout& layout, std::string& error) {
  std::string k = word.Str();
  auto prefix = [&k](const char* p) {
    const std::string s(p);
    if (k.compare(0, s.size(), s) != 0) return false;
    k.erase(0, s.size());
    return true;
  };
  layout.texture = prefix("ST");
  layout.color = prefix("C");
  layout.normal = prefix("N");
  if (k == "OFF") return true;
  if (k == "4OFF" || k == "nOFF")
    error = "line 1: \"" + word.Str() + "\": only three-dimensional OFF files are read";
  else
    error = "line 1: \"" + word.Str() + "\" is not an OFF header";
  return false;
}

// A color of 3 or 4 words: integers 0..255, or 0..1 reals when any word has
// a decimal point or an exponent; values beyond the range are clamped.
static bool ParseColor(const CWord* w, size_t n, CColor& color) {
  bool real = false;
  for (size_t i = 0; i < n; i++)
    for (const char* p = w[i].begin; p < w[i].end; ++p)
      if (*p == '.' || *p == 'e' || *p == 'E') real = true;
  unsigned char c[4] = {255, 255, 255, 255};
  for (size_t i = 0; i < n; i++) {
    float v;
    if (!w[i].Float(v)) return false;
    c[i] = ColorChannelByte(v, real);
  }
  color = CColor(c[0], c[1], c[2], c[3]);
  return true;
}

// The counts, from the keyword line's rest or the next line; each must fit
// in the bytes of the file (a vertex takes at least 6, a face 8).
static bool ReadCounts(COffLines& lines, std::vector<CWord>& words, size_t size, int& nv, int& nf,
                       std::string& error) {
  size_t first = 1;
  if (words.size() == 1) {
    if (!lines.Next(words)) {
      error = "the file ends before the counts";
      return false;
    }
    first = 0;
  }
  const std::string where = "line " + std::to_string(lines.LineNumber()) + ": ";
  if (words.size() < first + 2 || !words[first].Int(nv) || !words[first + 1].Int(nf)) {
    error = where + "\"vertices faces edges\" expected";
    return false;
  }
  if (nv < 0 || nf < 0) {
    error = where + "negative count";
    return false;
  }
  if (static_cast<size_t>(nv) > size / 6 || static_cast<size_t>(nf) > size / 8) {
    error = where + std::to_string(nv) + " vertices and " + std::to_string(nf) +
            " faces announced: more than a file of " + std::to_string(size) + " bytes holds";
    return false;
  }
  return true;
}

// One vertex line into the builder.
static bool ReadVertex(const std::vector<CWord>& w, const COffLayout& layout, CMeshBuilder& builder,
                       std::string& what) {
  float p[3];
  const size_t base = layout.normal ? 6 : 3;
  if (w.size() < base || !w[0].Float(p[0]) || !w[1].Float(p[1]) || !w[2].Float(p[2])) {
    what = "\"x y z\" expected";
    return false;
  }
  const int i = builder.AddVertex(p[0], p[1], p[2]);
  if (layout.normal) {
    float n[3];
    if (!w[3].Float(n[0]) || !w[4].Float(n[1]) || !w[5].Float(n[2])) {
      what = "normal \"nx ny nz\" expected";
      return false;
    }
    builder.SetVertexNormal(i, n[0], n[1], n[2]);
  }
  // the rest: a color of 3 or 4 values, then the texture point
  size_t rest = w.size() - base;
  const size_t tex = layout.texture ? 2 : 0;
  if (rest < tex || (layout.color && rest - tex != 3 && rest - tex != 4)) {
    what = "the values after the position do not match the header";
    return false;
  }
  if (rest - tex == 3 || rest - tex == 4) {
    CColor color;
    if (!ParseColor(&w[base], rest - tex, color)) {
      what = "bad color";
      return false;
    }
    builder.SetVertexColor(i, color);
  }
  if (tex) {
    float uv[2];
    if (!w[w.size() - 2].Float(uv[0]) || !w[w.size() - 1].Float(uv[1])) {
      what = "texture point \"s t\" expected";
      return false;
    }
    builder.AddTexCoord(uv[0], uv[1]);
  }
  return true;
}

// One face line into the builder; a corner that is not a vertex skips it.
static bool ReadFace(const std::vector<CWord>& w, std::vector<int>& corners, CMeshBuilder& builder,
                     CReadReport& report, std::string& what) {
  int n;
  if (!w[0].Int(n) || n < 0 || static_cast<size_t>(n) > w.size() - 1) {
    what = "\"n i0 ... i(n-1)\" expected";
    return false;
  }
  corners.resize(static_cast<size_t>(n));
  for (size_t k = 0; k < corners.size(); k++)
    if (!w[k + 1].Int(corners[k])) {
      what = "corner " + std::to_string(k) + " is not an index";
      return false;
    }
  CPolygon polygon;
  polygon.corners = corners.data();
  polygon.size = corners.size();
  const size_t rest = w.size() - 1 - corners.size();
  if ((rest == 3 || rest == 4) && !ParseColor(&w[1 + corners.size()], rest, polygon.color)) {
    what = "bad face color";
    return false;
  }
  if (builder.AddPolygon(polygon, report) && n > 3) report.fannedPolygons++;
  return true;
}

int ReadOffFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error) {
  COffLines lines(data, size);
  std::vector<CWord> words;
  COffLayout layout;
  if (!lines.Next(words)) {
    error = "the file is empty: \"OFF\" expected";
    return 0;
  }
  if (!ParseKeyword(words[0], layout, error)) return 0;
  if (words.size() == 2 && words[1].Is("BINARY")) {
    error = "line 1: binary OFF files are not read";
    return 0;
  }
  int nv = 0, nf = 0;
  if (!ReadCounts(lines, words, size, nv, nf, error)) return 0;

  CMeshBuilder builder;
  if (layout.texture) builder.UseTexCoordPerVertex();
  std::string what;
  for (int i = 0; i < nv; i++) {
    if (!lines.Next(words)) {
      error = "the file ends before vertex " + std::to_string(i) + " of " + std::to_string(nv);
      return 0;
    }
    if (!ReadVertex(words, layout, builder, what)) {
      error = LineError(lines.LineNumber(), "vertex " + std::to_string(i) + ": " + what);
      return 0;
    }
  }
  std::vector<int> corners;
  for (int i = 0; i < nf; i++) {
    if (!lines.Next(words)) {
      error = "the file ends before face " + std::to_string(i) + " of " + std::to_string(nf);
      return 0;
    }
    if (!ReadFace(words, corners, builder, report, what)) {
      error = LineError(lines.LineNumber(), "face " + std::to_string(i) + ": " + what);
      return 0;
    }
  }
  builder.AppendTo(mesh);
  return 1;
}

int ReadOff(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error) {
  return ReadMeshTextFile(mesh, fileName, ReadOffFromMemory, report, error);
}
