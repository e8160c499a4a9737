#include "io/ReadInventor.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "geometry/Mesh3d.h"
#include "io/Affine3d.h"
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
  int current = -1;    // block in effect, -1 for none
  CAffine3d placement; // transform nodes met so far in the Separator scope

  Context(const char* data, size_t size, size_t start, CReadReport& r)
      : CSceneSyntax(data, size, start, r) {}
};

} // namespace

static int ReadNodeValue(Context& c);

// The body of a node up to its closing brace: "name {" and DEF/USE start a
// child node, any other word is a field whose value field(name) reads (1),
// fails on (0) or leaves to be skipped (-1).
template <class Field> static int ReadBody(Context& c, Field field) {
  return ReadBodyItems(c, "unexpected ", [&](const CToken& t) {
    // a child node
    c.tokens.Next();
    if (t.Is("DEF") || t.Is("USE") || c.tokens.Peek().kind == TOKEN_OPEN_BRACE) {
      c.tokens.Seek(t.offset);
      return ReadNodeValue(c);
    }
    // a field
    return ReadFieldValue(c, t, field);
  });
}

static int SkipField(const CToken&) {
  return -1;
}

// Faces of one IndexedFaceSet over the block in effect (negative indices
// end polygons).
static void AddFaces(Context& c, const std::vector<int>& index) {
  PointBlock* block = c.current >= 0 ? &c.blocks[size_t(c.current)] : nullptr;
  const int n = block ? static_cast<int>(block->points.size() / 3) : 0;
  int first = block ? block->first : 0;
  if (block && (first < 0 || !c.placement.IsIdentity())) {
    // the points join the mesh once as they are, or once per placed face set
    first = c.builder.NbVertex();
    c.builder.m_Position.insert(c.builder.m_Position.end(), block->points.begin(),
                                block->points.end());
    for (size_t i = 3 * static_cast<size_t>(first); i < c.builder.m_Position.size(); i += 3)
      c.placement.Apply(&c.builder.m_Position[i]);
    if (c.placement.IsIdentity()) block->first = first;
  }
  CPolygon polygon;
  polygon.base = first;
  polygon.blockSize = n;
  size_t start = 0;
  while (start < index.size()) {
    size_t end = start;
    while (end < index.size() && index[end] >= 0) end++;
    polygon.corners = index.data() + start;
    polygon.size = end - start;
    c.builder.AddPolygon(polygon, c.report);
    start = end + 1;
  }
}

// Transform, Translation, Rotation, RotationXYZ, Scale and MatrixTransform:
// their map applies, within the Separator scope, to the faces that follow.
// Returns -1 when type is none of them.
static int ReadPlacement(Context& c, const CToken& type) {
  float translation[3] = {0, 0, 0}, rotation[4] = {0, 0, 1, 0}, scale[3] = {1, 1, 1};
  float center[3] = {0, 0, 0}, orientation[4] = {0, 0, 1, 0}, angle = 0;
  std::vector<float> matrix;
  int axis = 0;
  if (!type.Is("Transform") && !type.Is("Translation") && !type.Is("Rotation") &&
      !type.Is("RotationXYZ") && !type.Is("Scale") && !type.Is("MatrixTransform"))
    return -1;
  const int ok = ReadBody(c, [&](const CToken& f) {
    if (f.Is("translation")) return ReadFloats(c, translation, 3, "translation");
    if (f.Is("rotation")) return ReadFloats(c, rotation, 4, "rotation");
    if (f.Is("scaleFactor")) return ReadFloats(c, scale, 3, "scaleFactor");
    if (f.Is("center")) return ReadFloats(c, center, 3, "center");
    if (f.Is("scaleOrientation")) return ReadFloats(c, orientation, 4, "scaleOrientation");
    if (f.Is("angle")) return ReadFloats(c, &angle, 1, "angle");
    if (f.Is("matrix")) return ReadFloatField(c, matrix, 16, "matrix");
    if (!f.Is("axis")) return -1;
    const CToken a = c.tokens.Next();
    axis = a.Is("Y") ? 1 : a.Is("Z") ? 2 : 0;
    return 1;
  });
  if (!ok) return 0;

  // the node's own map, applied before what is already in effect
  CAffine3d node;
  if (type.Is("RotationXYZ")) {
    float r[4] = {0, 0, 0, angle};
    r[axis] = 1;
    node.Rotate(r);
  } else if (type.Is("MatrixTransform") && matrix.size() == 16) {
    // rows of the file's matrix map row vectors: take its transpose
    for (int i = 0; i < 3; i++)
      for (int j = 0; j < 4; j++) node.m[i][j] = matrix[4 * size_t(j) + size_t(i)];
  } else {
    node.Transform(translation, rotation, scale, center, orientation);
  }
  c.placement.Then(node);
  return 1;
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

    // transforms of the faces that follow
    const int placed = ReadPlacement(c, type);
    if (placed >= 0) return placed;

    // a Separator gives back its parent's points and transform when it ends
    if (std::string_view(type.text, type.size).find("Separator") != std::string_view::npos) {
      const int saved = c.current;
      const CAffine3d placement = c.placement;
      const int ok = ReadBody(c, SkipField);
      c.current = saved;
      c.placement = placement;
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
