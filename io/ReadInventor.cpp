#include "io/ReadInventor.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "geometry/Mesh3d.h"
#include "io/Affine3d.h"
#include "io/InventorShapes.h"
#include "io/MeshBuilder.h"
#include "io/SceneSyntax.h"

namespace {

// How the colours of a VertexProperty go to the faces.
enum EBinding {
  BIND_OVERALL,
  BIND_PER_PART,
  BIND_PER_PART_INDEXED,
  BIND_PER_FACE,
  BIND_PER_FACE_INDEXED,
  BIND_PER_VERTEX,
  BIND_PER_VERTEX_INDEXED
};

// One point list (Coordinate3, or the vertex field of a VertexProperty)
// with the colours that came with it, and where its points start in the
// mesh once a shape has used it unplaced (-1 before).
struct PointBlock {
  std::vector<float> points;
  std::vector<uint32_t> rgba; // 0xRRGGBBAA
  EBinding binding = BIND_OVERALL;
  int first = -1;
  int NbPoint() const { return static_cast<int>(points.size() / 3); }
};

struct Context : CSceneSyntax {
  CMeshBuilder builder;
  std::vector<PointBlock> blocks;
  int current = -1;      // block in effect, -1 for none
  CAffine3d placement;   // transform nodes met so far in the Separator scope
  int hidden = 0;        // inside Switch children not chosen: read, not drawn
  int switchChoice = -1; // whichChild of the enclosing Switch, for SO_SWITCH_INHERIT

  Context(const char* data, size_t size, size_t start, CReadReport& r)
      : CSceneSyntax(data, size, start, r) {}
};

// What a Separator (or a Switch child not chosen) gives back when it ends.
struct SavedState {
  int current;
  CAffine3d placement;
  explicit SavedState(const Context& c) : current(c.current), placement(c.placement) {}
  void Restore(Context& c) const {
    c.current = current;
    c.placement = placement;
  }
};

} // namespace

static int ReadNodeValue(Context& c);

// The body of a node up to its closing brace: "name {" and DEF/USE start a
// child node, which child() reads; any other word is a field whose value
// field(name) reads (1), fails on (0) or leaves to be skipped (-1).
template <class Field, class Child> static int ReadBodyWith(Context& c, Field field, Child child) {
  return ReadBodyItems(c, "unexpected ", [&](const CToken& t) {
    c.tokens.Next();
    if (t.Is("DEF") || t.Is("USE") || c.tokens.Peek().kind == TOKEN_OPEN_BRACE) {
      c.tokens.Seek(t.offset);
      return child();
    }
    return ReadFieldValue(c, t, field);
  });
}

template <class Field> static int ReadBody(Context& c, Field field) {
  return ReadBodyWith(c, field, [&c] { return ReadNodeValue(c); });
}

static int SkipField(const CToken&) {
  return -1;
}

// orderedRGBA values: 32-bit words, "0xRRGGBBAA" or decimal.
static int ReadRgbaField(Context& c, std::vector<uint32_t>& out) {
  out.clear();
  const bool list = c.tokens.Peek().kind == TOKEN_OPEN_BRACKET;
  if (list) c.tokens.Next();
  for (;;) {
    const CToken t = c.tokens.Peek();
    if (list && t.kind == TOKEN_CLOSE_BRACKET) {
      c.tokens.Next();
      return 1;
    }
    const char* p = t.text;
    const char* end = t.text + t.size;
    int base = 10;
    if (t.size > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
      p += 2;
      base = 16;
    }
    uint32_t v = 0;
    const auto result = std::from_chars(p, end, v, base);
    if (t.kind != TOKEN_WORD || result.ec != std::errc() || result.ptr != end)
      return c.Fail("bad colour or missing ']' in orderedRGBA");
    out.push_back(v);
    c.tokens.Next();
    if (!list) return 1;
  }
}

static EBinding BindingOf(const CToken& t) {
  static const char* const kNames[] = {"OVERALL",           "PER_PART",         "PER_PART_INDEXED",
                                       "PER_FACE",          "PER_FACE_INDEXED", "PER_VERTEX",
                                       "PER_VERTEX_INDEXED"};
  for (int b = 0; b < 7; b++)
    if (t.Is(kNames[b])) return static_cast<EBinding>(b);
  return BIND_OVERALL; // DEFAULT, NONE
}

// Coordinate3 and VertexProperty into block (normals and texture
// coordinates are not used: the mesh computes its normals).
static int ReadPointNode(Context& c, const CToken& type, PointBlock& block) {
  const bool property = type.Is("VertexProperty");
  return ReadBody(c, [&](const CToken& f) {
    if (f.Is(property ? "vertex" : "point")) return ReadFloatField(c, block.points, 3, "point");
    if (!property) return -1;
    if (f.Is("orderedRGBA")) return ReadRgbaField(c, block.rgba);
    if (!f.Is("materialBinding")) return -1;
    block.binding = BindingOf(c.tokens.Next());
    return 1;
  });
}

// Where the block's points are in the builder: they join the mesh once as
// they are, or once per placed shape.
static int PlaceBlock(Context& c, PointBlock& block) {
  if (block.first >= 0 && c.placement.IsIdentity()) return block.first;
  const int first = c.builder.NbVertex();
  c.builder.m_Position.insert(c.builder.m_Position.end(), block.points.begin(), block.points.end());
  for (size_t i = 3 * static_cast<size_t>(first); i < c.builder.m_Position.size(); i += 3)
    c.placement.Apply(&c.builder.m_Position[i]);
  if (c.placement.IsIdentity()) block.first = first;
  return first;
}

// The colour slot a binding takes for a face, or -1 for none.
static int FaceSlot(const PointBlock& block, const std::vector<int>& material, int face, int part) {
  auto indexed = [&material](int i) {
    if (material.empty() || (material.size() == 1 && material[0] < 0)) return i;
    return i >= 0 && size_t(i) < material.size() ? material[size_t(i)] : -1;
  };
  switch (block.binding) {
  case BIND_OVERALL:
    return 0;
  case BIND_PER_PART:
    return part;
  case BIND_PER_PART_INDEXED:
    return indexed(part);
  case BIND_PER_FACE:
    return face;
  case BIND_PER_FACE_INDEXED:
    return indexed(face);
  default:
    return -1;
  }
}

// The colour slot of a corner under a vertex binding, or -1.
static int CornerSlot(const PointBlock& block, const std::vector<int>& material,
                      const CShapeFaces& faces, size_t k) {
  if (block.binding == BIND_PER_VERTEX) return faces.vertexNo[k];
  if (block.binding != BIND_PER_VERTEX_INDEXED) return -1;
  const int place = faces.indexNo[k];
  const bool own = !material.empty() && !(material.size() == 1 && material[0] < 0);
  if (!own || place < 0) return faces.corner[k];
  return size_t(place) < material.size() ? material[size_t(place)] : -1;
}

// The faces of one shape over block, coloured as its binding says; faces
// with a corner outside the block are skipped and counted by the builder.
static void AddShape(Context& c, PointBlock& block, const CShapeFaces& faces,
                     const std::vector<int>& material) {
  // counts of grids far beyond their points stop at the int range
  auto add = [](int& count, long long n) {
    count = static_cast<int>(std::min<long long>(INT_MAX, count + n));
  };
  add(c.report.skippedFaces, faces.skipped);
  add(c.report.degenerateFaces, faces.degenerate);
  const int first = PlaceBlock(c, block);
  const size_t nbColor = block.rgba.size();
  auto colorOf = [&](int slot, CColor& color) {
    if (slot < 0 || size_t(slot) >= nbColor) {
      c.report.skippedColors++;
      return false;
    }
    const uint32_t v = block.rgba[size_t(slot)];
    color = CColor(uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v));
    return true;
  };
  CPolygon polygon;
  polygon.base = first;
  polygon.blockSize = block.NbPoint();
  const bool perVertex = block.binding >= BIND_PER_VERTEX;
  size_t k = 0;
  for (size_t f = 0; f < faces.size.size(); k += size_t(faces.size[f]), f++) {
    polygon.corners = &faces.corner[k];
    polygon.size = size_t(faces.size[f]);
    polygon.color = CColor();
    if (nbColor > 0 && !perVertex)
      colorOf(FaceSlot(block, material, faces.faceNo[f], faces.partNo[f]), polygon.color);
    if (!c.builder.AddPolygon(polygon, c.report) || nbColor == 0 || !perVertex) continue;
    for (size_t i = k; i < k + polygon.size; i++) {
      CColor color;
      if (colorOf(CornerSlot(block, material, faces, i), color))
        c.builder.SetVertexColor(first + faces.corner[i], color);
    }
  }
}

// The shape nodes whose faces the mesh takes; -1 when type is none of
// them. A shape's own vertexProperty stands for the points in effect.
static int ReadShape(Context& c, const CToken& type) {
  const bool indexedPolygons = type.Is("IndexedFaceSet");
  const bool indexedStrips = type.Is("IndexedTriangleStripSet");
  const bool polygons = type.Is("FaceSet");
  const bool strips = type.Is("TriangleStripSet");
  const bool quads = type.Is("QuadMesh");
  if (!indexedPolygons && !indexedStrips && !polygons && !strips && !quads) return -1;

  // fields
  std::vector<int> index, material, numVertices = {-1};
  int start = 0, perRow = 1, perColumn = 1;
  PointBlock own;
  bool hasOwn = false;
  const int ok = ReadBody(c, [&](const CToken& f) {
    if (f.Is("coordIndex")) return ReadIntField(c, index, true, "coordIndex");
    if (f.Is("materialIndex")) return ReadIntField(c, material, true, "materialIndex");
    if (f.Is("numVertices")) return ReadIntField(c, numVertices, true, "numVertices");
    if (f.Is("startIndex")) return c.tokens.NextInt(start, true) ? 1 : c.Fail("bad startIndex");
    if (f.Is("verticesPerRow"))
      return c.tokens.NextInt(perRow, true) ? 1 : c.Fail("bad verticesPerRow");
    if (f.Is("verticesPerColumn"))
      return c.tokens.NextInt(perColumn, true) ? 1 : c.Fail("bad verticesPerColumn");
    if (!f.Is("vertexProperty")) return -1;
    return ReadNode(c, [&](const CToken& node) {
      if (!node.Is("VertexProperty")) return ReadBody(c, SkipField);
      hasOwn = true;
      return ReadPointNode(c, node, own);
    });
  });
  if (!ok) return 0;
  PointBlock* block = hasOwn ? &own : c.current >= 0 ? &c.blocks[size_t(c.current)] : nullptr;
  if (c.hidden || !block) return 1;

  // faces
  CShapeFaces faces;
  std::string error;
  if (indexedPolygons) IndexedPolygons(index, faces);
  if (indexedStrips) IndexedStrips(index, faces);
  if ((polygons || strips) &&
      !CountedParts(numVertices, start, block->NbPoint(), strips, faces, error))
    return c.Fail(type.Str() + ": " + error);
  if (quads && !QuadGrid(perRow, perColumn, start, block->NbPoint(), faces, error))
    return c.Fail(error);
  AddShape(c, *block, faces, material);
  return 1;
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

// A child read for its definitions only: what it sets does not last.
static int ReadHiddenChild(Context& c) {
  const SavedState saved(c);
  c.hidden++;
  const int ok = ReadNodeValue(c);
  c.hidden--;
  saved.Restore(c);
  return ok;
}

// Switch: only the child whichChild names is drawn (-3 all, -2 the choice
// of the enclosing Switch, -1 none); the others are still read, for the
// names they define. Not a separator: the drawn child's state lasts.
static int ReadSwitch(Context& c) {
  int choice = -1, child = 0;
  const int enclosing = c.switchChoice;
  const int ok = ReadBodyWith(
      c,
      [&](const CToken& f) {
        if (!f.Is("whichChild")) return -1;
        if (!c.tokens.NextInt(choice, true)) return c.Fail("bad whichChild");
        if (choice == -2) choice = enclosing;
        return 1;
      },
      [&] {
        const bool drawn = choice == -3 || choice == child;
        child++;
        if (!drawn) return ReadHiddenChild(c);
        c.switchChoice = choice;
        const int read = ReadNodeValue(c);
        c.switchChoice = enclosing;
        return read;
      });
  return ok;
}

static int ReadNodeValue(Context& c) {
  return ReadNode(c, [&](const CToken& type) {
    // points (and colours) that later shapes use
    if (type.Is("Coordinate3") || type.Is("VertexProperty")) {
      PointBlock block;
      const int ok = ReadPointNode(c, type, block);
      c.blocks.push_back(std::move(block));
      c.current = static_cast<int>(c.blocks.size()) - 1;
      return ok;
    }

    // faces over the points in effect
    const int shape = ReadShape(c, type);
    if (shape >= 0) return shape;

    // transforms of the faces that follow
    const int placed = ReadPlacement(c, type);
    if (placed >= 0) return placed;

    if (type.Is("Switch")) return ReadSwitch(c);

    // shapes given by their dimensions only: not meshed, counted
    if (type.Is("Cube") || type.Is("Sphere") || type.Is("Cylinder") || type.Is("Cone")) {
      if (!c.hidden) c.report.skippedPrimitives++;
      return ReadBody(c, SkipField);
    }

    // a Separator gives back its parent's points and transform when it ends
    if (std::string_view(type.text, type.size).find("Separator") != std::string_view::npos) {
      const SavedState saved(c);
      const int ok = ReadBody(c, SkipField);
      saved.Restore(c);
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
    error = "the file holds no shape with faces";
    if (report.skippedPrimitives > 0) error += " (only Cube, Sphere, Cylinder or Cone shapes)";
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
