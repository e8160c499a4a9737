#include "io/ReadVrml.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/Affine3d.h"
#include "io/FormatTable.h"
#include "io/MeshBuilder.h"
#include "io/SceneSyntax.h"
#include "io/TextFile.h"
#include "io/Texture.h"

// Radians to the degrees stored in a transform, as always converted.
static const double kRadianToDegree = 57.295784;

namespace {

// Fields of one Transform node.
struct TransformNode {
  float translation[3] = {0, 0, 0};
  float rotation[4] = {0, 0, 1, 0};
  float scale[3] = {1, 1, 1};
  float center[3] = {0, 0, 0};
  float scaleOrientation[4] = {0, 0, 1, 0};
};

// What a Shape's appearance says.
struct Appearance {
  CMaterial material;
  std::string textureUrl;
};

// What an IndexedFaceSet says, gathered before the mesh is made.
struct FaceSet {
  bool present = false;
  bool ccw = true;
  bool colorPerVertex = true;
  std::vector<float> points, texPoints, colors;
  std::vector<int> coordIndex, texCoordIndex, colorIndex;
};

// A mesh read from the file with the texture it names, kept apart from the
// scene until the whole file has been read.
struct PendingMesh {
  std::unique_ptr<CMesh3d> mesh;
  std::string textureUrl;
};

struct Context : CSceneSyntax {
  std::vector<TransformNode> transforms; // enclosing Transforms, outermost first
  std::vector<PendingMesh> meshes;

  Context(const char* data, size_t size, size_t start, CReadReport& r)
      : CSceneSyntax(data, size, start, r) {}
};

} // namespace

//////////////////////////////////////////////////////////////////////
// Statements
//////////////////////////////////////////////////////////////////////

// ROUTE, PROTO and EXTERNPROTO statements, skipped; 0 on a syntax error,
// -1 when t is none of them.
static int SkipStatement(Context& c, const CToken& t) {
  if (!t.IsWord("ROUTE") && !t.IsWord("PROTO") && !t.IsWord("EXTERNPROTO")) return -1;
  const CToken keyword = c.tokens.Next();
  if (keyword.Is("ROUTE")) {
    for (int i = 0; i < 3; i++) c.tokens.Next(); // from TO to
    return 1;
  }
  c.tokens.Next(); // name
  if (c.tokens.Next().kind != TOKEN_OPEN_BRACKET || !SkipBalanced(c))
    return c.Fail("expected the interface of " + keyword.Str());
  if (keyword.Is("EXTERNPROTO")) return SkipValue(c);
  if (c.tokens.Next().kind != TOKEN_OPEN_BRACE) return c.Fail("expected the body of PROTO");
  return SkipBalanced(c);
}

//////////////////////////////////////////////////////////////////////
// Nodes
//////////////////////////////////////////////////////////////////////

// Reads "name value" fields up to and including '}'. field(name) returns 1
// when it read the value, 0 on an error, -1 to have the value skipped.
template <class Field> static int ReadFields(Context& c, Field field) {
  return ReadBodyItems(c, "expected a field name, found ", [&](const CToken& t) {
    const int statement = SkipStatement(c, t);
    if (statement >= 0) return statement;
    c.tokens.Next();
    return ReadFieldValue(c, t, field);
  });
}

// A node this reader has no use for in that place.
static int SkipBody(Context& c) {
  return SkipBalanced(c);
}

static int ReadMaterial(Context& c, CMaterial& m) {
  return ReadNode(c, [&](const CToken& type) {
    if (!type.Is("Material")) return SkipBody(c);
    return ReadFields(c, [&](const CToken& f) {
      float v[3];
      if (f.Is("diffuseColor")) {
        if (!ReadFloats(c, v, 3, "diffuseColor")) return 0;
        m.SetDiffuse(v[0], v[1], v[2]);
      } else if (f.Is("ambientIntensity")) {
        if (!ReadFloats(c, v, 1, "ambientIntensity")) return 0;
        m.SetAmbient(v[0], v[0], v[0]);
      } else if (f.Is("specularColor")) {
        if (!ReadFloats(c, v, 3, "specularColor")) return 0;
        m.SetSpecular(v[0], v[1], v[2]);
      } else if (f.Is("shininess")) {
        if (!ReadFloats(c, v, 1, "shininess")) return 0;
        m.SetShininess(v[0]);
      } else {
        return -1;
      }
      return 1;
    });
  });
}

// The first url of an ImageTexture.
static int ReadImageTexture(Context& c, std::string& url) {
  return ReadNode(c, [&](const CToken& type) {
    if (!type.Is("ImageTexture")) return SkipBody(c);
    return ReadFields(c, [&](const CToken& f) {
      if (!f.Is("url")) return -1;
      const bool list = c.tokens.Peek().kind == TOKEN_OPEN_BRACKET;
      if (list) c.tokens.Next();
      if (c.tokens.Peek().kind == TOKEN_STRING)
        url = CSceneTokenizer::Unquote(c.tokens.Peek());
      else if (!list)
        return c.Fail("expected a string after url");
      if (list) return SkipBalanced(c);
      c.tokens.Next();
      return 1;
    });
  });
}

static int ReadAppearance(Context& c, Appearance& a) {
  return ReadNode(c, [&](const CToken& type) {
    if (!type.Is("Appearance")) return SkipBody(c);
    return ReadFields(c, [&](const CToken& f) {
      if (f.Is("material")) return ReadMaterial(c, a.material);
      if (f.Is("texture")) return ReadImageTexture(c, a.textureUrl);
      return -1;
    });
  });
}

// The list field `field` of a data node of type `type` (Coordinate point,
// Color color, TextureCoordinate point), n numbers per entry.
static int ReadDataNode(Context& c, const char* type, const char* field, int n,
                        std::vector<float>& out) {
  return ReadNode(c, [&](const CToken& t) {
    if (!t.Is(type)) return SkipBody(c);
    return ReadFields(c, [&](const CToken& f) {
      if (!f.Is(field)) return -1;
      return ReadFloatField(c, out, n, field);
    });
  });
}

static int ReadGeometry(Context& c, FaceSet& s) {
  return ReadNode(c, [&](const CToken& type) {
    if (!type.Is("IndexedFaceSet")) return SkipBody(c);
    s.present = true;
    return ReadFields(c, [&](const CToken& f) {
      if (f.Is("coord")) return ReadDataNode(c, "Coordinate", "point", 3, s.points);
      if (f.Is("texCoord")) return ReadDataNode(c, "TextureCoordinate", "point", 2, s.texPoints);
      if (f.Is("color")) return ReadDataNode(c, "Color", "color", 3, s.colors);
      if (f.Is("coordIndex")) return ReadIntField(c, s.coordIndex, false, "coordIndex");
      if (f.Is("texCoordIndex")) return ReadIntField(c, s.texCoordIndex, false, "texCoordIndex");
      if (f.Is("colorIndex")) return ReadIntField(c, s.colorIndex, false, "colorIndex");
      if (f.Is("ccw")) return ReadBool(c, s.ccw, "ccw");
      if (f.Is("colorPerVertex")) return ReadBool(c, s.colorPerVertex, "colorPerVertex");
      return -1;
    });
  });
}

//////////////////////////////////////////////////////////////////////
// From a face set to a mesh
//////////////////////////////////////////////////////////////////////

static unsigned char ColorByte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 1.0f) return 255;
  return static_cast<unsigned char>(std::lround(v * 255.0f));
}

static CColor ColorAt(const std::vector<float>& colors, int i) {
  const float* p = &colors[3 * static_cast<size_t>(i)];
  return CColor(ColorByte(p[0]), ColorByte(p[1]), ColorByte(p[2]));
}

// Triangles of a face set: polygons of coordIndex (ended by -1), split by
// the builder, with the texture point of each corner taken from
// texCoordIndex (or coordIndex when that is empty) when withTexture.
static void Triangulate(const FaceSet& s, CMeshBuilder& builder, bool withTexture,
                        CReadReport& report) {
  const std::vector<int>& ci = s.coordIndex;
  const std::vector<int>& ti = s.texCoordIndex.empty() ? s.coordIndex : s.texCoordIndex;
  const bool texAligned = withTexture && ti.size() == ci.size();
  const int nbColor = static_cast<int>(s.colors.size() / 3);
  size_t start = 0;
  int polygon = 0;
  while (start < ci.size()) {
    size_t end = start;
    while (end < ci.size() && ci[end] != -1) end++;

    // the polygon's color when colors are given per face
    CPolygon p;
    if (!s.colorPerVertex && nbColor > 0) {
      const int k = s.colorIndex.empty() ? polygon
                    : static_cast<size_t>(polygon) < s.colorIndex.size()
                        ? s.colorIndex[size_t(polygon)]
                        : -1;
      if (k >= 0 && k < nbColor)
        p.color = ColorAt(s.colors, k);
      else
        report.skippedColors++;
    }

    p.corners = ci.data() + start;
    p.size = end - start;
    p.reverse = !s.ccw;
    p.texCorners = texAligned ? ti.data() + start : nullptr;
    builder.AddPolygon(p, report);
    start = end + 1;
    polygon++;
  }
}

// Per-vertex colors: by colorIndex beside coordIndex, else one per point.
static void ApplyVertexColors(const FaceSet& s, CMeshBuilder& builder, CReadReport& report) {
  const int nbColor = static_cast<int>(s.colors.size() / 3);
  if (!s.colorPerVertex || nbColor == 0) return;
  if (s.colorIndex.empty()) {
    for (int i = 0; i < nbColor; i++)
      if (!builder.SetVertexColor(i, ColorAt(s.colors, i))) report.skippedColors++;
    return;
  }
  for (size_t i = 0; i < s.colorIndex.size() && i < s.coordIndex.size(); i++) {
    const int k = s.colorIndex[i];
    if (s.coordIndex[i] < 0 || k < 0) continue;
    if (k >= nbColor || !builder.SetVertexColor(s.coordIndex[i], ColorAt(s.colors, k)))
      report.skippedColors++;
  }
}

// Gives the mesh its transform: the single enclosing Transform as is, or
// the combined transforms applied to the points.
static void PlaceMesh(const std::vector<TransformNode>& chain, CMeshBuilder& builder,
                      CMesh3d* mesh) {
  const TransformNode* single = chain.size() == 1 ? &chain[0] : nullptr;
  if (single && single->center[0] == 0 && single->center[1] == 0 && single->center[2] == 0) {
    CTransform& t = mesh->m_Transform;
    t.m_Translation.Set(single->translation[0], single->translation[1], single->translation[2]);
    t.m_RotationAxis.Set(single->rotation[0], single->rotation[1], single->rotation[2]);
    t.m_RotationAngle = NarrowToFloat(single->rotation[3] * kRadianToDegree);
    t.m_Scale.Set(single->scale[0], single->scale[1], single->scale[2]);
    return;
  }
  if (chain.empty()) return;
  CAffine3d a;
  for (size_t i = chain.size(); i-- > 0;) {
    const TransformNode& n = chain[i];
    a.Transform(n.translation, n.rotation, n.scale, n.center, n.scaleOrientation);
  }
  for (size_t i = 0; i + 2 < builder.m_Position.size(); i += 3) a.Apply(&builder.m_Position[i]);
}

// The mesh of one Shape, or nothing when it has no face.
static void MakeMesh(Context& c, const FaceSet& s, const Appearance& a) {
  if (!s.present) return;
  CMeshBuilder builder;
  builder.m_Position = s.points;
  const bool withTexture = !a.textureUrl.empty() && !s.texPoints.empty();
  if (withTexture) builder.m_TexCoord = s.texPoints;
  Triangulate(s, builder, withTexture, c.report);
  if (builder.NbFace() == 0) {
    c.report.skippedObjects++;
    return;
  }
  ApplyVertexColors(s, builder, c.report);

  // texture coordinates go with the faces when they cover every face
  auto mesh = std::make_unique<CMesh3d>();
  PlaceMesh(c.transforms, builder, mesh.get());
  builder.AppendTo(mesh.get());
  if (!s.colors.empty()) mesh->m_ColorBinding = s.colorPerVertex ? 0 : 1;
  mesh->m_Material = a.material;
  PendingMesh pending;
  if (withTexture && builder.TexCoordsComplete())
    pending.textureUrl = a.textureUrl;
  else if (!a.textureUrl.empty())
    c.report.skippedTextures++;
  pending.mesh = std::move(mesh);
  c.meshes.push_back(std::move(pending));
}

//////////////////////////////////////////////////////////////////////
// Scene structure
//////////////////////////////////////////////////////////////////////

static int ReadChildNode(Context& c);

// A Shape: its mesh is made once both appearance and geometry are read,
// whatever their order.
static int ReadShapeBody(Context& c) {
  Appearance appearance;
  FaceSet faces;
  const int ok = ReadFields(c, [&](const CToken& f) {
    if (f.Is("appearance")) return ReadAppearance(c, appearance);
    if (f.Is("geometry")) return ReadGeometry(c, faces);
    return -1;
  });
  if (ok) MakeMesh(c, faces, appearance);
  return ok;
}

// The children of a grouping node: "[ node ... ]" or one node. Only child
// `only` is read when it is not negative (Switch, LOD).
static int ReadChildren(Context& c, int only) {
  const bool list = c.tokens.Peek().kind == TOKEN_OPEN_BRACKET;
  if (!list) return only <= 0 ? ReadChildNode(c) : SkipValue(c);
  c.tokens.Next();
  for (int i = 0;; i++) {
    const CToken t = c.tokens.Peek();
    if (t.kind == TOKEN_CLOSE_BRACKET) {
      c.tokens.Next();
      return 1;
    }
    if (t.kind == TOKEN_END || t.kind == TOKEN_BAD_STRING)
      return c.Fail("the file ends before ']'");
    const int statement = SkipStatement(c, t);
    if (statement == 0) return 0;
    if (statement == 1) continue;
    if (!(only < 0 || i == only ? ReadChildNode(c) : SkipValue(c))) return 0;
  }
}

// Reads the children of a grouping node where they are, under the fields
// read so far: a Switch shows its chosen child, an LOD its most detailed
// level. Returns 0 on a syntax error.
static int ReadGroupChildren(Context& c, const CToken& type, const TransformNode& node,
                             int choice) {
  const bool isSwitch = type.Is("Switch");
  if (isSwitch && choice < 0) return SkipValue(c);
  const int only = isSwitch ? choice : type.Is("LOD") ? 0 : -1;
  const bool isTransform = type.Is("Transform");
  if (isTransform) c.transforms.push_back(node);
  const int read = ReadChildren(c, only);
  if (isTransform) c.transforms.pop_back();
  return read;
}

// Transform, Group, Switch, LOD and the other grouping nodes. Children are
// read where they stand; when a transform or choice field follows them,
// they are read again under the complete node and the first meshes dropped.
static int ReadGroupBody(Context& c, const CToken& type) {
  TransformNode node;
  const bool isTransform = type.Is("Transform");
  const bool isSwitch = type.Is("Switch");
  int choice = -1; // whichChoice of a Switch: none by default
  size_t children = 0, meshesBefore = 0;
  bool hasChildren = false, stale = false;
  const int ok = ReadFields(c, [&](const CToken& f) {
    if (f.Is("children") || f.Is("choice") || f.Is("level")) {
      hasChildren = true;
      stale = false;
      children = c.tokens.Peek().offset;
      meshesBefore = c.meshes.size();
      return ReadGroupChildren(c, type, node, choice);
    }
    const bool placing = f.Is("translation") || f.Is("rotation") || f.Is("scale") ||
                         f.Is("center") || f.Is("scaleOrientation") || f.Is("whichChoice");
    stale = stale || (hasChildren && placing);
    if (isSwitch && f.Is("whichChoice")) return c.tokens.NextInt(choice, false) ? 1 : 0;
    if (!isTransform) return -1;
    if (f.Is("translation")) return ReadFloats(c, node.translation, 3, "translation");
    if (f.Is("rotation")) return ReadFloats(c, node.rotation, 4, "rotation");
    if (f.Is("scale")) return ReadFloats(c, node.scale, 3, "scale");
    if (f.Is("center")) return ReadFloats(c, node.center, 3, "center");
    if (f.Is("scaleOrientation"))
      return ReadFloats(c, node.scaleOrientation, 4, "scaleOrientation");
    return -1;
  });
  if (!ok) return c.Fail("bad field in " + type.Str());
  if (!stale) return 1;

  // fields after the children: read them again under the whole node
  c.meshes.resize(meshesBefore);
  const size_t after = c.tokens.Peek().offset;
  c.tokens.Seek(children);
  const int read = ReadGroupChildren(c, type, node, choice);
  c.tokens.Seek(after);
  return read;
}

static bool IsGroupingNode(const CToken& t) {
  static const char* const kinds[] = {"Transform", "Group",  "Anchor", "Billboard",
                                      "Collision", "Switch", "LOD"};
  for (const char* k : kinds)
    if (t.Is(k)) return true;
  return false;
}

static int ReadChildNode(Context& c) {
  return ReadNode(c, [&](const CToken& type) {
    if (type.Is("Shape")) return ReadShapeBody(c);
    if (IsGroupingNode(type)) return ReadGroupBody(c, type);
    return SkipBody(c);
  });
}

// The statements of the file up to its end.
static int ReadScene(Context& c) {
  while (c.tokens.Peek().kind != TOKEN_END) {
    const int statement = SkipStatement(c, c.tokens.Peek());
    if (statement == 0) return 0;
    if (statement == 1) continue;
    if (!ReadChildNode(c)) return 0;
  }
  return 1;
}

//////////////////////////////////////////////////////////////////////
// Loading
//////////////////////////////////////////////////////////////////////

static bool IsAbsolute(const std::string& path) {
  return !path.empty() && path[0] == '/';
}

// A new texture named url, its image read from the file when asked.
static CTexture* MakeTexture(const std::string& url, const std::string& folder, int readFile,
                             CReadReport& report) {
  auto* texture = new CTexture;
  if (readFile) {
    const std::string path = folder.empty() || IsAbsolute(url) ? url : folder + "/" + url;
    if (!texture->ReadFile(path))
      report.skippedTextures++;
    else if (EndsWithNoCase(url, ".bmp"))
      texture->SwapRedBlue(); // BMP rows hold blue, green, red
  }
  texture->m_FileName = url;
  return texture;
}

int CVrmlParser::LoadFromMemory(const char* data, size_t size, CSceneGraph3d* scene,
                                const std::string& baseFolder) {
  m_Error.clear();
  m_Report = CReadReport();

  // header line
  const char* lf = static_cast<const char*>(std::memchr(data, '\n', size));
  const std::string_view first(data, lf ? static_cast<size_t>(lf - data) : size);
  if (first.find("#VRML V2.0") == std::string_view::npos) {
    m_Error = "not a VRML 2.0 file: the first line must hold \"#VRML V2.0\"";
    return 0;
  }

  // the whole scene, kept apart until it has been read
  Context c(data, size, first.size(), m_Report);
  if (!ReadScene(c)) {
    m_Error = c.error;
    return 0;
  }

  // textures shared by name with the scene and among the new meshes
  for (PendingMesh& p : c.meshes) {
    if (!p.textureUrl.empty()) {
      int index;
      if (!scene->FindTexture(p.textureUrl, index))
        index =
            scene->AddTexture(MakeTexture(p.textureUrl, baseFolder, m_ReadTextureFiles, m_Report));
      p.mesh->m_IndexTexture = index;
    }
    scene->Add(p.mesh.release());
  }
  return 1;
}

int CVrmlParser::Load(const std::string& fileName, CSceneGraph3d* scene) {
  std::string text;
  if (!ReadWholeFile(fileName, text, m_Error)) return 0;
  const size_t slash = fileName.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : fileName.substr(0, slash);
  if (LoadFromMemory(text.data(), text.size(), scene, folder)) return 1;
  m_Error = fileName + ": " + m_Error;
  return 0;
}
