#include "io/ReadObj.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/SceneGraph3d.h"
#include "io/ColorByte.h"
#include "io/MeshBuilder.h"
#include "io/TextFile.h"
#include "io/TextScan.h"

namespace {

// Blanks between the words of a line ("any whitespace" but the line feed).
inline bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The words of one line, read in order; "#" ends the line.
struct CObjLine {
  const char* p;
  const char* end;

  // Skips blanks; true when a word follows.
  bool More() {
    while (p < end && IsBlank(*p)) ++p;
    if (p < end && *p == '#') p = end;
    return p < end;
  }
  // True when the word just read ends here.
  bool AtWordEnd() const { return p == end || IsBlank(*p) || *p == '#'; }
  std::string_view Word() {
    const char* begin = p;
    while (p < end && !IsBlank(*p)) ++p;
    return {begin, static_cast<size_t>(p - begin)};
  }
  // The rest of the line without the blanks around it (names may hold
  // spaces).
  std::string Rest() {
    More();
    const char* last = end;
    while (last > p && IsBlank(last[-1])) --last;
    return std::string(p, static_cast<size_t>(last - p));
  }
  // The next word as a float; false when there is none or it is not one.
  bool Float(float& v) {
    if (!More()) return false;
    const char* next = ScanFloat(p, end, v);
    if (!next) return false;
    p = next;
    return AtWordEnd();
  }
};

// One corner "i", "i/t", "i//n" or "i/t/n" as written (0: absent).
struct CObjCorner {
  int index[3] = {0, 0, 0}; // vertex, texture point, normal
};

// Diffuse colours of the materials of the libraries read so far.
using CObjMaterials = std::unordered_map<std::string, CColor>;

// The reader's state across lines.
struct CObjReader {
  CMeshBuilder& builder;
  CReadReport& report;
  const ObjLibraryLoader& libraries;
  CObjMaterials materials;
  CColor color; // of the faces that follow
  int nbNormal = 0;
  std::vector<CObjCorner> corners;
  std::vector<int> vertex, tex;
  std::string error;

  CObjReader(CMeshBuilder& b, CReadReport& r, const ObjLibraryLoader& l)
      : builder(b), report(r), libraries(l) {}
};

} // namespace

// "newmtl name" starts a material, "Kd r g b" gives its diffuse colour;
// everything else of a library is unused. A library that does not parse
// gives what it held up to there.
static void ReadLibrary(const std::string& text, CObjMaterials& materials) {
  CLineReader lines(text.data(), text.size());
  const char* begin;
  const char* end;
  std::string name;
  while (lines.Next(begin, end)) {
    CObjLine line{begin, end};
    if (!line.More()) continue;
    const std::string_view keyword = line.Word();
    if (keyword == "newmtl") {
      name = line.Rest();
      materials.emplace(name, CColor());
    } else if (keyword == "Kd" && !name.empty()) {
      float rgb[3];
      if (line.Float(rgb[0]) && line.Float(rgb[1]) && line.Float(rgb[2]))
        materials[name] = CColor(ColorChannelByte(rgb[0], true), ColorChannelByte(rgb[1], true),
                                 ColorChannelByte(rgb[2], true));
    }
  }
}

// "mtllib": the rest of the line names one library, or several separated
// by blanks; the libraries found add their materials.
static void ReadLibraries(CObjReader& r, CObjLine& line) {
  if (!r.libraries) return;
  const std::string rest = line.Rest();
  std::string text;
  if (r.libraries(rest, text)) {
    ReadLibrary(text, r.materials);
    return;
  }
  CObjLine names{rest.data(), rest.data() + rest.size()};
  while (names.More()) {
    const std::string name(names.Word());
    if (name != rest && r.libraries(name, text)) ReadLibrary(text, r.materials);
  }
}

// "v x y z [w]" or "v x y z r g b": the position, and the colour when given.
static bool ReadVertex(CObjReader& r, CObjLine& line) {
  float v[6];
  for (int k = 0; k < 3; k++)
    if (!line.Float(v[k])) {
      r.error = "\"v x y z\" expected";
      return false;
    }
  const int i = r.builder.AddVertex(v[0], v[1], v[2]);
  int n = 3;
  while (n < 6 && line.More())
    if (!line.Float(v[n++])) {
      r.error =
          "vertex " + std::to_string(i + 1) + ": value " + std::to_string(n) + " is not a number";
      return false;
    }
  if (n == 6)
    r.builder.SetVertexColor(i, CColor(ColorChannelByte(v[3], true), ColorChannelByte(v[4], true),
                                       ColorChannelByte(v[5], true)));
  return true;
}

// "vt u [v [w]]".
static bool ReadTexturePoint(CObjReader& r, CObjLine& line) {
  float uv[2] = {0, 0};
  if (!line.Float(uv[0]) || (line.More() && !line.Float(uv[1]))) {
    r.error = "\"vt u v\" expected";
    return false;
  }
  r.builder.AddTexCoord(uv[0], uv[1]);
  return true;
}

// "vn x y z": only counted, for the corners that name normals.
static bool ReadNormal(CObjReader& r, CObjLine& line) {
  float n[3];
  if (!line.Float(n[0]) || !line.Float(n[1]) || !line.Float(n[2])) {
    r.error = "\"vn x y z\" expected";
    return false;
  }
  r.nbNormal++;
  return true;
}

// One corner word: "i", "i/t", "i//n" or "i/t/n".
static bool ParseCorner(CObjLine& line, CObjCorner& corner) {
  const char* p = line.p;
  const char* end = line.end;
  p = ScanInt(p, end, corner.index[0]);
  if (!p) return false;
  corner.index[1] = corner.index[2] = 0;
  if (p < end && *p == '/') {
    ++p;
    if (p < end && *p != '/') p = ScanInt(p, end, corner.index[1]);
    if (p && p < end && *p == '/') p = ScanInt(p + 1, end, corner.index[2]);
    if (!p) return false;
  }
  line.p = p;
  return line.AtWordEnd() && corner.index[0] != 0;
}

// The element an index of the file names, among count read so far: from 1
// forwards, or from -1 backwards; -1 when it names none.
static int Resolve(int index, int count) {
  const long long i = index > 0 ? index - 1LL : static_cast<long long>(count) + index;
  return index != 0 && i >= 0 && i < count ? static_cast<int>(i) : -1;
}

// "f c c c ...": every index checked, then the face added as a polygon.
static bool ReadFace(CObjReader& r, CObjLine& line) {
  r.corners.clear();
  while (line.More()) {
    CObjCorner corner;
    if (!ParseCorner(line, corner)) {
      r.error = "corner " + std::to_string(r.corners.size() + 1) +
                ": \"i\", \"i/t\", \"i//n\" or \"i/t/n\" expected";
      return false;
    }
    r.corners.push_back(corner);
  }
  if (r.corners.size() < 3) {
    r.error = "a face needs at least 3 corners, " + std::to_string(r.corners.size()) + " given";
    return false;
  }

  // every index names an element read before the face
  static const char* const kWhat[3] = {"vertex", "texture point", "normal"};
  const int counts[3] = {r.builder.NbVertex(), r.builder.NbTexCoord(), r.nbNormal};
  bool textured = true;
  r.vertex.resize(r.corners.size());
  r.tex.resize(r.corners.size());
  for (size_t k = 0; k < r.corners.size(); k++) {
    int resolved[3] = {-1, -1, -1};
    for (int e = 0; e < 3; e++) {
      const int index = r.corners[k].index[e];
      if (e > 0 && index == 0) continue;
      resolved[e] = Resolve(index, counts[e]);
      if (resolved[e] < 0) {
        r.error = "corner " + std::to_string(k + 1) + ": " + kWhat[e] + " " +
                  std::to_string(index) + " is not among the " + std::to_string(counts[e]) +
                  " read so far";
        return false;
      }
    }
    r.vertex[k] = resolved[0];
    r.tex[k] = resolved[1];
    textured = textured && resolved[1] >= 0;
  }

  // the polygon, kept whole by the builder for polygon meshes
  CPolygon polygon;
  polygon.corners = r.vertex.data();
  polygon.size = r.vertex.size();
  polygon.texCorners = textured ? r.tex.data() : nullptr;
  polygon.color = r.color;
  if (!r.builder.AddPolygon(polygon, r.report)) {
    r.error = r.builder.Error();
    return false;
  }
  if (polygon.size > 3) r.report.fannedPolygons++;
  return true;
}

// One statement; false with r.error on a line that refuses the file.
static bool ReadStatement(CObjReader& r, CObjLine& line) {
  const std::string_view keyword = line.Word();
  if (keyword == "v") return ReadVertex(r, line);
  if (keyword == "f") return ReadFace(r, line);
  if (keyword == "vt") return ReadTexturePoint(r, line);
  if (keyword == "vn") return ReadNormal(r, line);
  if (keyword == "usemtl") {
    const auto found = r.materials.find(line.Rest());
    r.color = found == r.materials.end() ? CColor() : found->second;
    return true;
  }
  if (keyword == "mtllib") {
    ReadLibraries(r, line);
    return true;
  }
  // groups, smoothing, lines, points and free-form geometry: accepted, unused
  static const char* const kAccepted[] = {
      "o",    "g",      "s",      "l",          "p",         "vp",    "cstype",   "deg",
      "bmat", "step",   "curv",   "curv2",      "surf",      "parm",  "trim",     "hole",
      "scrv", "sp",     "end",    "con",        "mg",        "bevel", "c_interp", "d_interp",
      "lod",  "maplib", "usemap", "shadow_obj", "trace_obj", "ctech", "stech"};
  for (const char* accepted : kAccepted)
    if (keyword == accepted) return true;
  r.report.malformedLines++;
  return true;
}

int ReadObjToBuilder(CMeshBuilder& builder, const char* data, size_t size, CReadReport& report,
                     std::string& error, const ObjLibraryLoader& libraries) {
  // polygons larger than triangles make a polygon mesh: their sizes are kept
  builder.KeepPolygonSizes();
  CObjReader r(builder, report, libraries);
  CLineReader lines(data, size);
  const char* begin;
  const char* end;
  // a statement continued over lines ending in '\' (comments are not: a
  // folder in a comment may end so)
  std::string joined;
  auto read = [&](const char* b, const char* e) {
    CObjLine line{b, e};
    if (!line.More() || ReadStatement(r, line)) return true;
    error = LineError(lines.LineNumber(), r.error);
    return false;
  };
  while (lines.Next(begin, end)) {
    const char* last = end;
    while (last > begin && IsBlank(last[-1])) --last;
    CObjLine probe{begin, end};
    if (last > begin && last[-1] == '\\' && probe.More()) {
      joined.append(begin, last - 1).push_back(' ');
      continue;
    }
    if (joined.empty()) {
      if (!read(begin, end)) return 0;
      continue;
    }
    joined.append(begin, end);
    if (!read(joined.data(), joined.data() + joined.size())) return 0;
    joined.clear();
  }
  if (!joined.empty() && !read(joined.data(), joined.data() + joined.size())) return 0;
  if (r.builder.NbFace() == 0) {
    error = "the file holds no face (\"f\" line)";
    return 0;
  }
  return 1;
}

int ReadObjFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error, const ObjLibraryLoader& libraries) {
  CMeshBuilder builder;
  if (!ReadObjToBuilder(builder, data, size, report, error, libraries)) return 0;
  builder.AppendTo(mesh);
  return 1;
}

// Material libraries are looked up beside the file, by their file name.
static ObjLibraryLoader LibrariesBeside(const std::string& fileName) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(fileName).parent_path();
  return [folder](const std::string& name, std::string& text) {
    const fs::path path = folder / fs::path(name).filename();
    std::error_code ec;
    if (name.empty() || !fs::is_regular_file(path, ec)) return false;
    std::string ignored;
    return ReadWholeFile(path.string(), text, ignored) != 0;
  };
}

int ReadObj(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error) {
  const ObjLibraryLoader libraries = LibrariesBeside(fileName);
  auto read = [&libraries](CMesh3d* m, const char* data, size_t size, CReadReport& r,
                           std::string& e) {
    return ReadObjFromMemory(m, data, size, r, e, libraries);
  };
  return ReadMeshTextFile(mesh, fileName, read, report, error);
}

// The corners of each polygon the builder fanned, in order: a polygon of n
// corners left n - 2 triangles (c0, ck, ck+1).
static void PolygonCorners(const CMeshBuilder& builder, std::vector<int>& corners) {
  size_t face = 0;
  for (int size : builder.m_PolygonSize) {
    const int* first = builder.m_Face[face].corner;
    corners.insert(corners.end(), {first[0], first[1]});
    for (int k = 0; k + 2 < size; k++) corners.push_back(builder.m_Face[face + k].corner[2]);
    face += static_cast<size_t>(size - 2);
  }
}

int ReadObjSceneFromMemory(CSceneGraph3d* scene, const char* data, size_t size, CReadReport& report,
                           std::string& error, const ObjLibraryLoader& libraries) {
  CMeshBuilder builder;
  if (!ReadObjToBuilder(builder, data, size, report, error, libraries)) return 0;
  const bool triangles = std::all_of(builder.m_PolygonSize.begin(), builder.m_PolygonSize.end(),
                                     [](int n) { return n == 3; });

  // triangles only: a triangle mesh with its colours and texture points
  if (triangles) {
    auto mesh = std::make_unique<CMesh3d>();
    builder.AppendTo(mesh.get());
    scene->Add(mesh.release());
    return 1;
  }

  // larger faces: a polygon mesh keeps them whole
  std::vector<int> corners;
  PolygonCorners(builder, corners);
  int skipped = 0;
  std::unique_ptr<CPolygonMesh> mesh(
      MakePolygonMesh(builder.m_Position, builder.m_PolygonSize, corners, &skipped));
  if (!mesh) {
    error = "the faces do not make a polygon mesh";
    return 0;
  }
  report.fannedPolygons = 0;
  report.skippedFaces += skipped;
  scene->Add(mesh.release());
  return 1;
}

int ReadObjScene(CSceneGraph3d* scene, const std::string& fileName, CReadReport& report,
                 std::string& error) {
  std::string text;
  if (!ReadWholeFile(fileName, text, error)) return 0;
  if (ReadObjSceneFromMemory(scene, text.data(), text.size(), report, error,
                             LibrariesBeside(fileName)))
    return 1;
  error = fileName + ": " + error;
  return 0;
}
