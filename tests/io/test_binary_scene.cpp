// The binary scene (".raw") and binary mesh (".bin") readers against what
// the writers lay out.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "geometry/VectorSet3d.h"
#include "io/ReadBinaryScene.h"
#include "io/WriteBinaryScene.h"
#include "mesh_format_checks.h"

namespace {

using meshformat::ExpectRefused;

CMesh3d* Transformed(CMesh3d* mesh, float shift) {
  CTransform& t = mesh->m_Transform;
  t.m_Translation = CVector3d(shift, -2.5, 0.125);
  t.m_RotationAxis = CVector3d(0, 1, 0);
  t.m_RotationAngle = 33.0f;
  t.m_Scale = CVector3d(1, 2, 0.5);
  return mesh;
}

void ExpectSameTransform(const CTransform& a, const CTransform& b) {
  EXPECT_EQ(float(a.m_Translation.x), float(b.m_Translation.x));
  EXPECT_EQ(float(a.m_Translation.y), float(b.m_Translation.y));
  EXPECT_EQ(float(a.m_RotationAxis.y), float(b.m_RotationAxis.y));
  EXPECT_EQ(a.m_RotationAngle, b.m_RotationAngle);
  EXPECT_EQ(float(a.m_Scale.z), float(b.m_Scale.z));
}

std::string MeshRecord(const CMesh3d* mesh) {
  std::string bytes;
  WriteBinary(mesh, bytes);
  return bytes;
}

std::string Int32(int32_t v) {
  return std::string(reinterpret_cast<const char*>(&v), 4);
}

int ReadScene(const std::string& bytes, CSceneGraph3d& scene, std::string& error) {
  CReadReport report;
  return ReadBinarySceneFromMemory(&scene, reinterpret_cast<const unsigned char*>(bytes.data()),
                                   bytes.size(), report, error);
}

} // namespace

TEST(BinaryMesh, RoundTripKeepsFacesAndTransform) {
  CMesh3d* written = Transformed(meshformat::MakeTwoComponents(), 4.0f);
  const CTransform transform = written->m_Transform; // the round trip takes the mesh
  CMesh3d read;
  meshformat::ExpectRoundTrip(written, WriteBinaryMesh, ReadBinaryMesh, "two.bin", read);
  ExpectSameTransform(transform, read.m_Transform);
}

TEST(BinaryScene, RoundTripKeepsMeshesInOrderAndSkipsOtherObjects) {
  CSceneGraph3d scene;
  scene.Add(Transformed(testmeshes::MakeTorus(5, 4), 1.0f));
  scene.Add(new CVectorSet3d); // counted, not stored
  scene.Add(new CMesh3d);      // empty
  scene.Add(Transformed(testmeshes::MakeGridWithHoles(4, 3, 1), -3.0f));
  const std::string path = ::testing::TempDir() + "scene.raw";
  std::string error;
  ASSERT_EQ(WriteBinary(&scene, path, error), 1) << error;

  CSceneGraph3d read;
  CReadReport report;
  ASSERT_EQ(ReadBinaryScene(&read, path, report, error), 1) << error;
  ASSERT_EQ(read.NbObject(), 3);
  const int written[] = {0, 2, 3};
  for (int i = 0; i < 3; i++) {
    SCOPED_TRACE(i);
    auto* a = static_cast<CMesh3d*>(scene.m_ArrayObject[written[i]]);
    auto* b = static_cast<CMesh3d*>(read.m_ArrayObject[i]);
    ASSERT_EQ(b->GetType(), TYPE_MESH3D);
    meshformat::ExpectSameMesh(*a, *b);
    ExpectSameTransform(a->m_Transform, *b->GetTransform());
  }
}

TEST(BinaryScene, EveryCutOfASmallFileIsRefusedUnlessItEndsBetweenRecords) {
  CSceneGraph3d scene;
  scene.Add(testmeshes::MakeGrid(1, 1));
  scene.Add(testmeshes::MakeGrid(2, 1));
  const std::string first = MeshRecord(static_cast<CMesh3d*>(scene.m_ArrayObject[0]));
  const std::string bytes =
      Int32(2) + first + MeshRecord(static_cast<CMesh3d*>(scene.m_ArrayObject[1]));
  for (size_t n = 0; n < bytes.size(); n++) {
    SCOPED_TRACE(n);
    CSceneGraph3d read;
    std::string error;
    const bool boundary = n == 4 || n == 4 + first.size();
    EXPECT_EQ(ReadScene(bytes.substr(0, n), read, error), boundary ? 1 : 0);
    EXPECT_EQ(read.NbObject(), boundary ? int(n > 4) : 0);
    EXPECT_EQ(error.empty(), boundary);
  }
}

TEST(BinaryScene, LyingCountsAndBadNumbersAreRefused) {
  CMesh3d* grid = testmeshes::MakeGrid(1, 1);
  const std::string record = MeshRecord(grid);
  delete grid;
  auto withField = [&](size_t offset, uint32_t value) {
    std::string r = record;
    std::memcpy(&r[offset], &value, 4);
    return r;
  };
  const float nan = std::nanf("");
  uint32_t nanBits;
  std::memcpy(&nanBits, &nan, 4);
  const struct {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"2^31 vertices", Int32(1) + withField(40, 0x80000000u), "more than the file holds"},
      {"huge face count", Int32(1) + withField(44, 0xffffffffu), "more than the file holds"},
      {"more records than objects", Int32(1) + record + record, "more mesh records than"},
      {"negative object count", Int32(-1), "negative"},
      {"non-finite scale", Int32(1) + withField(36, nanBits), "not finite"},
      {"non-finite vertex", Int32(1) + withField(48 + 4, nanBits), "vertex 0"},
      {"too short", "ab", "too short"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CSceneGraph3d read;
    std::string error;
    EXPECT_EQ(ReadScene(c.bytes, read, error), 0);
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(read.NbObject(), 0);
  }
}

TEST(BinaryMesh, FilesOfOtherLayoutsAreRefusedAsCoderOutput) {
  CMesh3d* grid = testmeshes::MakeGrid(2, 2);
  const std::string record = MeshRecord(grid);
  delete grid;
  const std::string cases[] = {"",           "short",         record.substr(0, record.size() - 1),
                               record + "x", record + record, std::string(4096, '\x5a')};
  for (const std::string& bytes : cases)
    ExpectRefused(ReadBinaryMeshFromMemory, bytes, "probably the output of a mesh coder");
  // a face corner outside the vertices is skipped, not refused
  std::string bad = record;
  const int32_t outside = 1000;
  std::memcpy(&bad[bad.size() - 4], &outside, 4);
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadBinaryMeshFromMemory(&mesh, reinterpret_cast<const unsigned char*>(bad.data()),
                                     bad.size(), report, error),
            1)
      << error;
  EXPECT_EQ(report.skippedFaces, 1);
  EXPECT_EQ(mesh.NbFace(), 7);
}
