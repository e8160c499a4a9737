#include "io/ReadInventor.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "geometry/Mesh3d.h"
#include "io/MeshBuilder.h"
#include "io/SceneSyntax.h"

namespace {

// One Coordinate3 point list and where its points start in the mesh once
// a face set has used it (-1 before).
struct PointBlock {
  std::vector<float> points;
  int first = -1;
};

struct Context : CSceneSyntax {
  CMeshBuilder builder;
  std::vector<PointBlock> blocks;
  int current = -1; // block in effect, -1 for none

  Context(const char* data, size_t size, size_t start, CReadReport& r)
      : CSceneSyntax(data, size, start, r) {}
};

} // namespace

static int ReadNodeValue(Context& c);

// The body of a node up to its closing brace: "name {" and DEF/USE start a
// child node, any other word is a field whose value field(name) reads (1),
// fails on (0) or leaves to be skipped (-1).
template <class Field> static int ReadBody(Context& c, Field field) {
  for (;;) {
    const CToken t = c.tokens.Peek();
    if (t.kind == TOKEN_CLOSE_BRACE) {
      c.tokens.Next();
      return 1;
    }
    if (t.kind != TOKEN_WORD) {
      if (t.kind == TOKEN_END || t.kind == TOKEN_BAD_STRING)
        return c.Fail("the file ends before '}'");
      return c.Fail("unexpected '" + t.Str() + "'");
    }

    // a child node
    c.tokens.Next();
    if (t.Is("DEF") || t.Is("USE") || c.tokens.Peek().kind == TOKEN_OPEN_BRACE) {
      c.tokens.Seek(t.offset);
      if (!ReadNodeValue(c)) return 0;
      continue;
    }

    // a field
    const int read = field(t);
    if (read == 0 || (read < 0 && !SkipValue(c))) return 0;
  }
}

static int SkipField(const CToken&) {
  return -1;
}

// Faces of one IndexedFaceSet over the block in effect, split as fans.
static void AddFaces(Context& c, const std::vector<int>& index) {
  PointBlock* block = c.current >= 0 ? &c.blocks[size_t(c.current)] : nullptr;
  const int n = block ? static_cast<int>(block->points.size() / 3) : 0;
  if (block && block->first < 0) {
    block->first = c.builder.NbVertex();
    c.builder.m_Position.insert(c.builder.m_Position.end(), block->points.begin(),
                                block->points.end());
  }
  size_t start = 0;
  while (start < index.size()) {
    size_t end = start;
    while (end < index.size() && index[end] >= 0) end++;

    // a polygon with a corner outside the points is skipped whole
    bool inside = end - start >= 3;
    for (size_t k = start; k < end; k++)
      if (index[k] >= n) inside = false;
    if (inside) {
      for (size_t k = start + 1; k + 1 < end; k++)
        c.builder.AddFace(block->first + index[start], block->first + index[k],
                          block->first + index[k + 1], c.report);
    } else if (end > start) {
      c.report.skippedFaces++;
    }
    start = end + 1;
  }
}

static int ReadNodeValue(Context& c) {
  return ReadNode(c, [&](const CToken& type) {
    // points that later face sets use
    if (type.Is("Coordinate3")) {
      PointBlock block;
      const int ok = ReadBody(c, [&](const CToken& f) {
        return f.Is("point") ? ReadFloatField(c, block.points, 3, "point") : -1;
      });
      c.blocks.push_back(std::move(block));
      c.current = static_cast<int>(c.blocks.size()) - 1;
      return ok;
    }

    // faces over the points in effect
    if (type.Is("IndexedFaceSet")) {
      std::vector<int> index;
      const int ok = ReadBody(c, [&](const CToken& f) {
        return f.Is("coordIndex") ? ReadIntField(c, index, true, "coordIndex") : -1;
      });
      if (ok) AddFaces(c, index);
      return ok;
    }

    // a Separator gives back its parent's points when it ends
    if (std::string_view(type.text, type.size).find("Separator") != std::string_view::npos) {
      const int saved = c.current;
      const int ok = ReadBody(c, SkipField);
      c.current = saved;
      return ok;
    }
    return ReadBody(c, SkipField);
  });
}

// The first line, without a carriage return or blanks at its end.
static std::string_view HeaderLine(const char* data, size_t size) {
  const char* lf = static_cast<const char*>(std::memchr(data, '\n', size));
  size_t n = lf ? static_cast<size_t>(lf - data) : size;
  while (n > 0 && (data[n - 1] == '\r' || data[n - 1] == ' ' || data[n - 1] == '\t')) n--;
  return std::string_view(data, n);
}

int ReadInventorFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                           std::string& error) {
  // header
  if (HeaderLine(data, size) != "#Inventor V2.1 ascii") {
    error = "not an Inventor file: the first line must be \"#Inventor V2.1 ascii\"";
    return 0;
  }

  // every node of the file
  Context c(data, size, 0, report);
  while (c.tokens.Peek().kind != TOKEN_END)
    if (!ReadNodeValue(c)) {
      error = c.error;
      return 0;
    }
  if (c.builder.NbFace() == 0) {
    error = "the file holds no IndexedFaceSet with faces";
    return 0;
  }
  c.builder.AppendTo(mesh);
  mesh->Rebuild();
  return 1;
}

int ReadInventor(CMesh3d* mesh, const std::string& fileName, CReadReport& report,
                 std::string& error) {
  return ReadMeshTextFile(mesh, fileName, ReadInventorFromMemory, report, error);
}
