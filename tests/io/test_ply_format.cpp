// The ".ply" reader and writer.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "io/ReadPly.h"
#include "io/WritePly.h"
#include "mesh_format_checks.h"

namespace {

int ReadBytes(const std::string& bytes, CMesh3d& mesh, CReadReport& report, std::string& error) {
  return ReadPlyFromMemory(&mesh, reinterpret_cast<const unsigned char*>(bytes.data()),
                           bytes.size(), report, error);
}

// Body bytes of a binary file in either byte order.
class CBody {
public:
  explicit CBody(bool big) : m_Big(big) {}
  template <class T> CBody& Put(T v) {
    unsigned char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T)); // the test machine is little-endian
    for (size_t i = 0; i < sizeof(T); i++) m_Bytes += char(b[m_Big ? sizeof(T) - 1 - i : i]);
    return *this;
  }
  std::string m_Bytes;

private:
  bool m_Big;
};

// A square of two triangles with extra properties and elements around
// what the mesh takes: double positions after a skipped int, uchar colors,
// a face list of ushort indices counted by an int, a skipped list and a
// skipped element.
std::string SquareWithExtras(bool big) {
  std::string h =
      std::string("ply\nformat ") + (big ? "binary_big_endian" : "binary_little_endian") +
      " 1.0\ncomment extras\nobj_info scanner 7\nelement camera 1\nproperty float f\n"
      "element vertex 4\nproperty int id\nproperty double x\nproperty double y\n"
      "property double z\nproperty uchar red\nproperty uchar green\nproperty uchar blue\n"
      "property float confidence\n"
      "element face 2\nproperty list uchar float weights\n"
      "property list int ushort vertex_index\nend_header\n";
  CBody b(big);
  b.Put(1.5f);
  const double xy[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int i = 0; i < 4; i++)
    b.Put(int32_t(i))
        .Put(xy[i][0])
        .Put(xy[i][1])
        .Put(0.25)
        .Put(uint8_t(10 * i))
        .Put(uint8_t(1))
        .Put(uint8_t(2))
        .Put(0.5f);
  b.Put(uint8_t(1)).Put(0.5f).Put(int32_t(3)).Put(uint16_t(0)).Put(uint16_t(1)).Put(uint16_t(2));
  b.Put(uint8_t(0)).Put(int32_t(3)).Put(uint16_t(0)).Put(uint16_t(2)).Put(uint16_t(3));
  return h + b.m_Bytes;
}

} // namespace

TEST(ReadPly, SkipsExtraPropertiesAndElementsInBothByteOrdersAndAscii) {
  const std::string ascii = "ply\r\nformat ascii 1.0\r\nelement vertex 4\nproperty float32 x\n"
                            "property float32 y\nproperty float32 z\nproperty uint8 red\n"
                            "property uint8 green\nproperty uint8 blue\nproperty int extra\n"
                            "element face 1\nproperty list uint8 int32 vertex_indices\n"
                            "end_header\n0 0 0.25 0 1 2 9\n1 0 0.25 10 1 2 9\n"
                            "1 1 0.25 20 1 2\n9 0 1 0.25 30 1 2 9\n4 0 1 2 3\n";
  const struct {
    const char* name;
    std::string bytes;
    int fanned;
  } cases[] = {{"little-endian", SquareWithExtras(false), 0},
               {"big-endian", SquareWithExtras(true), 0},
               {"ascii, records across lines, quad", ascii, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CMesh3d mesh;
    CReadReport report;
    std::string error;
    ASSERT_EQ(ReadBytes(c.bytes, mesh, report, error), 1) << error;
    ASSERT_EQ(mesh.NbVertex(), 4);
    ASSERT_EQ(mesh.NbFace(), 2);
    EXPECT_EQ(report.fannedPolygons, c.fanned);
    EXPECT_DOUBLE_EQ(mesh.GetVertex(2)->x, 1.0);
    EXPECT_DOUBLE_EQ(mesh.GetVertex(2)->y, 1.0);
    EXPECT_DOUBLE_EQ(mesh.GetVertex(3)->z, 0.25);
    EXPECT_TRUE(mesh.GetVertex(3)->m_Color == CColor(30, 1, 2));
    EXPECT_EQ(mesh.GetFace(1)->v(2), mesh.GetVertex(3));
  }
}

TEST(ReadPly, RefusesBadHeadersAndLyingCountsBeforeAllocating) {
  const std::string start = "ply\nformat binary_little_endian 1.0\n";
  const std::string xyz = "property float x\nproperty float y\nproperty float z\n";
  const struct {
    std::string bytes;
    const char* message;
  } cases[] = {
      {"", "line 1: \"ply\" expected"},
      {"ply\nformat ascii 2.0\nend_header\n", "line 2: \"format"},
      {"ply\nformat ascii 1.0\nelement vertex 1\nproperty quad x\nend_header\n",
       "line 4: unknown type"},
      {start + "property float x\nend_header\n", "line 3: a property before any element"},
      {start + "element vertex 1\n" + xyz, "\"end_header\" missing"},
      {start + "element vertex 1\nproperty float x\nend_header\n" + std::string(4, '\0'),
       "no x, y and z"},
      {start + "element vertex 1099511627776\n" + xyz + "end_header\n" + std::string(64, '\0'),
       "line 3: element \"vertex\" announces 1099511627776 records"},
      {start + "element vertex 1\n" + xyz + "element face 4294967295\n" +
           "property list uchar int vertex_indices\nend_header\n" + std::string(12, '\0'),
       "element \"face\" announces 4294967295 records of at least 1 bytes"},
      {start + "element vertex 0\n" + xyz + "element face 1\n" +
           "property list uint int vertex_indices\nend_header\n" + "\xff\xff\xff\xff",
       "byte offset"},
      {"ply\nformat ascii 1.0\nelement vertex 2\n" + xyz + "end_header\n0 0 0\n1 x 0\n",
       "line 9: element \"vertex\": \"x\" is not a number"},
      {start + "element vertex 1\n" + xyz + "end_header\n" + std::string("\0\0\xc0\x7f", 4) +
           std::string(8, '\0'),
       "vertex 0 is not a finite float position"},
      {"ply\nformat ascii 1.0\nelement face 1\nproperty list uchar int vertex_indices\n"
       "element vertex 3\n" +
           xyz + "end_header\n3 0 1 2\n0 0 0\n1 0 0\n0 1 0\n",
       "line 3: element \"face\": faces before the vertices are not read"},
  };
  for (const auto& c : cases) meshformat::ExpectRefused(ReadPlyFromMemory, c.bytes, c.message);
}

TEST(ReadPly, FacesOutOfRangeAreSkippedAndCounted) {
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadBytes("ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float "
                      "y\nproperty float z\nelement face 3\nproperty list uchar uint "
                      "vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n3 0 1 3\n"
                      "3 0 1 4294967295\n",
                      mesh, report, error),
            0)
      << "uint beyond int is not an ascii index";
  CMesh3d second;
  report = CReadReport();
  ASSERT_EQ(ReadBytes("ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float "
                      "y\nproperty float z\nelement face 3\nproperty list uchar int "
                      "vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n3 0 1 3\n"
                      "3 0 -1 2\n",
                      second, report, error),
            1)
      << error;
  EXPECT_EQ(second.NbFace(), 1);
  EXPECT_EQ(report.skippedFaces, 2);
}

TEST(ReadPly, RealColorChannelsClampAndNanReadsAsZero) {
  CBody b(false);
  b.Put(0.0f).Put(0.0f).Put(0.0f);
  b.Put(std::nanf("")).Put(2.0f).Put(-1.0f);
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadBytes("ply\nformat binary_little_endian 1.0\nelement vertex 1\nproperty float x\n"
                      "property float y\nproperty float z\nproperty float red\nproperty float "
                      "green\nproperty float blue\nend_header\n" +
                          b.m_Bytes,
                      mesh, report, error),
            1)
      << error;
  EXPECT_TRUE(mesh.GetVertex(0)->m_Color == CColor(0, 255, 0));
}

TEST(WritePly, RoundTripKeepsComponentsBoundariesAndColors) {
  CMesh3d* written = meshformat::MakeTwoComponents();
  written->GetVertex(5)->m_Color = CColor(1, 2, 3);
  CMesh3d read;
  const std::string bytes =
      meshformat::ExpectRoundTrip(written, WritePly, ReadPly, "two.ply", read);
  EXPECT_EQ(bytes.find("format binary_little_endian 1.0\n"), 4u);
  EXPECT_TRUE(read.GetVertex(5)->m_Color == CColor(1, 2, 3));
}

namespace {

// A plain layout (float x, y, z; a uchar-counted list of int or uint
// corners): the little-endian file takes the block path, the big-endian one
// the per-property path; both must read the same. Each case writes its
// vertices, then its face records as (count, corners), then cuts the file
// `cut` bytes short.
struct CPlainCase {
  const char* name;
  const char* cornerType;
  std::vector<float> xyz;
  std::vector<std::vector<uint32_t>> faces;
  size_t cut;
};

std::string PlainFile(const CPlainCase& c, bool big) {
  std::string h = std::string("ply\nformat ") +
                  (big ? "binary_big_endian" : "binary_little_endian") +
                  // headers of equal length, so that both give the same byte offsets
                  (big ? " 1.0\ncomment abcd" : " 1.0\ncomment a") + "\nelement vertex " +
                  std::to_string(c.xyz.size() / 3) +
                  "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
                  std::to_string(c.faces.size()) + "\nproperty list uchar " + c.cornerType +
                  " vertex_indices\nend_header\n";
  CBody b(big);
  for (float v : c.xyz) b.Put(v);
  for (const auto& f : c.faces) {
    b.Put(uint8_t(f.size()));
    for (uint32_t k : f) b.Put(k);
  }
  std::string file = h + b.m_Bytes;
  file.resize(file.size() - c.cut);
  return file;
}

} // namespace

TEST(ReadPly, PlainLayoutsReadTheSameInBothByteOrders) {
  const float nan = std::nanf("");
  const std::vector<float> square = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  const std::vector<CPlainCase> cases = {
      {"triangles", "int", square, {{0, 1, 2}, {0, 2, 3}}, 0},
      {"uint corners", "uint", square, {{0, 1, 2}, {2, 3, 0}}, 0},
      {"quad among triangles", "int", square, {{0, 1, 2}, {0, 1, 2, 3}, {0, 2, 3}}, 0},
      {"short and empty lists", "int", square, {{0, 1}, {}, {1, 2, 3}}, 0},
      {"corner out of range", "int", square, {{0, 1, 4}, {0, 2, 3}}, 0},
      {"corner beyond int", "uint", square, {{0, 1, 0x80000000u}, {0, 2, 3}}, 0},
      {"vertex not finite", "int", {0, 0, 0, 1, nan, 0, 1, 1, 0}, {{0, 1, 2}}, 0},
      {"cut inside the last face", "int", square, {{0, 1, 2}, {0, 2, 3}}, 5},
      {"cut inside a face count", "int", square, {{0, 1, 2}, {0, 2, 3}}, 13},
      {"cut inside the vertices", "int", square, {{0, 1, 2}}, 13 + 6},
  };
  for (const CPlainCase& c : cases) {
    SCOPED_TRACE(c.name);
    CMesh3d little, big;
    CReadReport littleReport, bigReport;
    std::string littleError, bigError;
    const int readLittle = ReadBytes(PlainFile(c, false), little, littleReport, littleError);
    const int readBig = ReadBytes(PlainFile(c, true), big, bigReport, bigError);
    EXPECT_EQ(readLittle, readBig);
    EXPECT_EQ(littleError, bigError);
    EXPECT_EQ(littleReport.skippedFaces, bigReport.skippedFaces);
    EXPECT_EQ(littleReport.fannedPolygons, bigReport.fannedPolygons);
    little.Rebuild();
    meshformat::ExpectSameMesh(little, big);
  }
}
