#include "io/ReadStl.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geometry/Mesh3d.h"
#include "io/ByteCursor.h"
#include "io/MeshBuilder.h"
#include "io/PositionWelder.h"
#include "io/TextScan.h"

// Bytes of the binary header, of the header with the count, of a triangle.
static const size_t kHeaderSize = 80;
static const size_t kCountEnd = 84;
static const size_t kTriangleSize = 50;

// Adds the triangle unless two corners are one vertex.
static void AddTriangle(int a, int b, int c, CMeshBuilder& builder, CReadReport& report) {
  if (a == b || b == c || a == c)
    report.degenerateFaces++;
  else
    builder.AddFace(a, b, c, report);
}

static bool StartsWithSolid(const unsigned char* data, size_t size) {
  size_t i = 0;
  while (i < size && IsSpace(static_cast<char>(data[i]))) i++;
  CWord w;
  w.begin = reinterpret_cast<const char*>(data) + i;
  w.end = w.begin + (size - i < 5 ? size - i : 5);
  return w.Is("solid", true);
}

// Text is what follows the header of an ascii file; the floats of a binary
// file almost always hold bytes that are not text.
static bool LooksLikeText(const unsigned char* data, size_t size) {
  const size_t end = size < kHeaderSize + 256 ? size : kHeaderSize + 256;
  for (size_t i = kHeaderSize < size ? kHeaderSize : size; i < end; i++)
    if (data[i] < 0x20 && !IsSpace(static_cast<char>(data[i]))) return false;
  return true;
}

static bool ReadBinaryStl(const unsigned char* data, size_t size, CMeshBuilder& builder,
                          CReadReport& report, std::string& error) {
  CByteCursor in(data, size);
  uint32_t count = 0;
  in.Skip(kHeaderSize);
  in.U32LE(count);
  const uint64_t present = (size - kCountEnd) / kTriangleSize;
  if (count > present) {
    report.missingRecords +=
        static_cast<int>(count - present > INT_MAX ? INT_MAX : count - present);
    count = static_cast<uint32_t>(present);
  }
  builder.m_Position.reserve(3 * (count / 2 + 3));
  CPositionWelder welder(builder, count / 2 + 3);
  for (uint32_t t = 0; t < count; t++) {
    const size_t at = in.Offset();
    float v[12];
    for (float& f : v) in.F32LE(f);
    in.Skip(2); // attribute bytes
    int corner[3];
    for (int k = 0; k < 3; k++) {
      const float* p = &v[3 + 3 * k];
      if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) {
        error = "byte offset " + std::to_string(at) + ": triangle " + std::to_string(t) +
                " has a corner that is not a finite position";
        return false;
      }
      corner[k] = welder.Vertex(p[0], p[1], p[2]);
    }
    AddTriangle(corner[0], corner[1], corner[2], builder, report);
  }
  return in.Ok();
}

namespace {

// The words of an ascii file with the errors of its grammar.
class CStlWords {
public:
  CStlWords(const unsigned char* data, size_t size)
      : m_In(reinterpret_cast<const char*>(data), size) {}
  bool Next(CWord& w) { return m_In.Next(w); }
  // The next word is the keyword (in any case); else an error.
  bool Expect(const char* keyword, std::string& error) {
    CWord w;
    if (!m_In.Next(w)) return Fail(std::string("the file ends before \"") + keyword + "\"", error);
    if (w.Is(keyword, true)) return true;
    return Fail(std::string("\"") + keyword + "\" expected", error);
  }
  bool Floats(float* v, int n, std::string& error) {
    CWord w;
    for (int i = 0; i < n; i++)
      if (!m_In.Next(w) || !w.Float(v[i])) return Fail("a number expected", error);
    return true;
  }
  bool Fail(const std::string& what, std::string& error) {
    error = LineError(m_In.LineNumber(), what);
    return false;
  }
  void SkipLine() { m_In.SkipLine(); }

private:
  CWordReader m_In;
};

} // namespace

// "outer loop vertex ... endloop endfacet" after "facet normal x y z".
static bool ReadFacet(CStlWords& in, CPositionWelder& welder, std::vector<int>& corners,
                      CMeshBuilder& builder, CReadReport& report, std::string& error) {
  float v[3];
  if (!in.Expect("normal", error) || !in.Floats(v, 3, error) || !in.Expect("outer", error) ||
      !in.Expect("loop", error))
    return false;
  corners.clear();
  CWord w;
  while (in.Next(w) && w.Is("vertex", true)) {
    if (!in.Floats(v, 3, error)) return false;
    corners.push_back(welder.Vertex(v[0], v[1], v[2]));
  }
  if (!w.Is("endloop", true)) return in.Fail("\"vertex\" or \"endloop\" expected", error);
  if (corners.size() < 3) return in.Fail("a facet needs three vertices", error);
  if (!in.Expect("endfacet", error)) return false;
  // a polygon of more corners is split as a fan
  for (size_t k = 1; k + 1 < corners.size(); k++)
    AddTriangle(corners[0], corners[k], corners[k + 1], builder, report);
  if (corners.size() > 3) report.fannedPolygons++;
  return true;
}

// One or more "solid ... endsolid" blocks.
static bool ReadAsciiStl(const unsigned char* data, size_t size, CMeshBuilder& builder,
                         CReadReport& report, std::string& error) {
  CStlWords in(data, size);
  CPositionWelder welder(builder, size / 200);
  std::vector<int> corners;
  CWord w;
  while (in.Next(w)) {
    if (!w.Is("solid", true)) return in.Fail("\"solid\" expected", error);
    in.SkipLine(); // the solid's name
    for (;;) {
      if (!in.Next(w)) return in.Fail("the file ends before \"endsolid\"", error);
      if (w.Is("endsolid", true)) break;
      if (!w.Is("facet", true)) return in.Fail("\"facet\" or \"endsolid\" expected", error);
      if (!ReadFacet(in, welder, corners, builder, report, error)) return false;
    }
    in.SkipLine(); // the name again
  }
  return true;
}

int ReadStlFromMemory(CMesh3d* mesh, const unsigned char* data, size_t size, CReadReport& report,
                      std::string& error) {
  uint32_t count = 0;
  CByteCursor head(data, size);
  head.Skip(kHeaderSize);
  const bool counted = head.U32LE(count);
  const bool sizeMatches = counted && (size - kCountEnd) / kTriangleSize == count &&
                           (size - kCountEnd) % kTriangleSize == 0;
  const bool ascii = StartsWithSolid(data, size) && LooksLikeText(data, size);
  CMeshBuilder builder;
  bool ok;
  if (sizeMatches || (counted && !ascii)) {
    ok = ReadBinaryStl(data, size, builder, report, error);
  } else if (ascii) {
    ok = ReadAsciiStl(data, size, builder, report, error);
  } else {
    error = "neither an ascii STL file (\"solid\" expected) nor a binary one (84 bytes at least)";
    ok = false;
  }
  if (!ok) return 0;
  builder.AppendTo(mesh);
  return 1;
}

int ReadStl(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error) {
  return ReadMeshBinaryFile(mesh, fileName, ReadStlFromMemory, report, error);
}
