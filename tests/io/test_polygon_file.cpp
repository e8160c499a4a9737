// The polygon text form: what its readers take and skip, and round trips
// through its writers.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/SceneGraph3d.h"
#include "io/ReadPolygonFile.h"
#include "io/TextOutput.h"
#include "io/WriteObjPolygons.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

namespace {

const char* const kFourVertices = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";

int ReadText(const std::string& text, CPolygonArrays& arrays, CReadReport& report,
             std::string& error) {
  return ReadPolygonArrays(text.data(), text.size(), arrays, report, error);
}

TEST(PolygonFile, CornerTokenForms) {
  struct Case {
    const char* face;
    std::vector<int> corners; // empty: the face is skipped
  };
  const Case cases[] = {
      {"f 1 2 3", {0, 1, 2}},
      {"f 1/1 2/2 3/3 4/4", {0, 1, 2, 3}},
      {"f 1//7 2//7 3//7", {0, 1, 2}},
      {"f 4/1/2 3/1/2 2/1/2", {3, 2, 1}},
      {"f -1 -2 -3", {3, 2, 1}},
      {"f\t1\t 2    3  \r", {0, 1, 2}},
      {"  f 1 2 3", {0, 1, 2}},
      {"f 1 2 5", {}},  // vertex 5 not read so far
      {"f 0 1 2", {}},  // indices count from 1
      {"f -5 1 2", {}}, // before the first vertex
      {"f 1 2", {}},    // fewer than three corners
      {"f 1 2 x", {}},  // not a number
      {"f 1 2 3x", {}}, // trailing junk on a token
      {"f 1 2 99999999999", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    CPolygonArrays arrays;
    CReadReport report;
    std::string error;
    const int ok =
        ReadText(std::string(kFourVertices) + c.face + "\nf 1 2 3\n", arrays, report, error);
    ASSERT_EQ(ok, 1);
    if (c.corners.empty()) {
      EXPECT_EQ(report.skippedFaces, 1);
      EXPECT_EQ(arrays.sizes.size(), 1u);
      continue;
    }
    EXPECT_EQ(report.skippedFaces, 0);
    ASSERT_EQ(arrays.sizes.size(), 2u);
    EXPECT_EQ(std::vector<int>(arrays.corners.begin(), arrays.corners.begin() + arrays.sizes[0]),
              c.corners);
  }
}

TEST(PolygonFile, OtherLinesAreSkippedAndIndicesCountVerticesReadSoFar) {
  const std::string text = "# comment\nmtllib a.mtl\no first\ng group\ns off\nusemtl red\n"
                           "v 0 0 0\nv 1 0 0\nvt 0 0\nvn 0 0 1\nv 0 1 0\nf 1 2 3 4\n"
                           "v 1 1 0\nf 2 4 3\nvx 1 2\nv 1 2\n";
  CPolygonArrays arrays;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadText(text, arrays, report, error), 1);
  EXPECT_EQ(arrays.xyz.size(), 12u);
  EXPECT_EQ(arrays.sizes, std::vector<int>{3});
  EXPECT_EQ(report.skippedFaces, 1) << "vertex 4 came after the face";
  EXPECT_EQ(report.malformedLines, 1) << "a vertex of two coordinates";
}

TEST(PolygonFile, LongLinesAndHugePolygons) {
  std::string text;
  const int n = 5000;
  for (int i = 0; i < n; i++)
    text += "v " + std::to_string(i) + " 0 " + std::to_string(i % 7) + "\n";
  text += "f";
  for (int i = 1; i <= n; i++) text += " " + std::to_string(i);
  text += "\n";
  CPolygonMesh mesh;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadPolygonFromMemory(&mesh, text.data(), text.size(), report, error), 1);
  ASSERT_EQ(mesh.NbFace(), 1);
  EXPECT_EQ(mesh.FaceSize(0), n);
}

TEST(PolygonFile, FilesWithoutFacesAreRefused) {
  for (const char* text : {"", "v 0 0 0\n", "f 1 2 3\n", "# nothing\n", "\0\0\0"}) {
    CPolygonMesh mesh;
    CQuadMesh quads;
    CReadReport report;
    std::string error;
    EXPECT_EQ(ReadPolygonFromMemory(&mesh, text, std::strlen(text), report, error), 0);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadQuadFromMemory(&quads, text, std::strlen(text), report, error), 0);
    EXPECT_EQ(quads.NbFace(), 0);
  }
}

TEST(PolygonFile, QuadReaderSkipsOtherPolygonsAndRefusesAFileWithoutQuads) {
  const std::string text =
      std::string(kFourVertices) + "f 1 2 3\nf 1 2 3 4\nf 4 3 2 1\nf 1 2 3 4 1\n";
  CQuadMesh quads;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadQuadFromMemory(&quads, text.data(), text.size(), report, error), 1);
  EXPECT_EQ(quads.NbFace(), 2);
  EXPECT_EQ(report.skippedFaces, 2);
  const std::string triangles = std::string(kFourVertices) + "f 1 2 3\n";
  EXPECT_EQ(ReadQuadFromMemory(&quads, triangles.data(), triangles.size(), report, error), 0);
  EXPECT_EQ(error, "This file holds no quad");
}

TEST(PolygonFile, QuadMeshRoundTripIsExact) {
  const auto folder = testsupport::FreshTestFolder("quad_round_trip_");
  std::unique_ptr<CQuadMesh> torus(testmeshes::MakeQuadTorus(9, 7, 1.0 / 3.0, 0.1));
  CSceneGraph3d scene;
  scene.Add(torus.release());
  scene.Add(testmeshes::MakeQuadGrid(3, 2));
  const std::string path = (folder / "two.quad").string();
  std::string error;
  ASSERT_EQ(WriteQuadFile(&scene, path, error), 1) << error;
  // both meshes come back as one quad mesh, every coordinate exact
  CSceneGraph3d read;
  CReadReport report;
  ASSERT_EQ(ReadQuadScene(&read, path, report, error), 1) << error;
  ASSERT_EQ(read.NbObject(), 1);
  const auto* back = static_cast<const CQuadMesh*>(read.GetAt(0));
  const auto* first = static_cast<const CQuadMesh*>(scene.GetAt(0));
  const auto* second = static_cast<const CQuadMesh*>(scene.GetAt(1));
  ASSERT_EQ(back->NbVertex(), first->NbVertex() + second->NbVertex());
  ASSERT_EQ(back->NbFace(), first->NbFace() + second->NbFace());
  for (int v = 0; v < first->NbVertex(); v++) {
    EXPECT_EQ(back->m_Vertices[v].x, first->m_Vertices[v].x);
    EXPECT_EQ(back->m_Vertices[v].y, first->m_Vertices[v].y);
    EXPECT_EQ(back->m_Vertices[v].z, first->m_Vertices[v].z);
  }
  const CQuadFace& last = back->m_Faces.back();
  for (int k = 0; k < 4; k++) EXPECT_EQ(last.v[k], second->m_Faces.back().v[k] + first->NbVertex());
}

TEST(PolygonFile, QuadFilesRefuseOtherMeshes) {
  const auto folder = testsupport::FreshTestFolder("quad_refuse_");
  CSceneGraph3d scene;
  std::string error;
  EXPECT_EQ(WriteQuadFile(&scene, (folder / "a.quad").string(), error), 0);
  scene.Add(testmeshes::MakeQuadGrid(1, 1));
  scene.Add(testmeshes::MakeIcoSphere(0));
  EXPECT_EQ(WriteQuadFile(&scene, (folder / "b.quad").string(), error), 0);
  EXPECT_NE(error.find(".obj"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "b.quad"));
}

TEST(PolygonFile, PolygonMeshGroupKeepsItsPolygonsAndDigits) {
  std::unique_ptr<CPolygonMesh> mesh(MakePolygonMesh(
      {0.1f, 0.2f, 0.3f, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0.5f, 0}, {5, 3}, {0, 1, 4, 2, 3, 0, 1, 2}));
  mesh->m_Vertices[0].x = 0.1; // a double that needs 17 digits
  CTextOutput out;
  int base = 3;
  WriteObjPolygonMesh(out, *mesh, "P", base);
  EXPECT_EQ(base, 8);
  const std::string& text = out.GetText();
  EXPECT_EQ(text.rfind("o P\nv 0.10000000000000001 ", 0), 0u) << text;
  EXPECT_NE(text.find("\nf 4 5 8 6 7\nf 4 5 6\n"), std::string::npos) << text;
  // read back (the first three vertices of the file being elsewhere)
  const std::string file = "v 9 9 9\nv 9 9 9\nv 9 9 9\n" + text;
  CPolygonMesh back;
  CReadReport report;
  std::string error;
  ASSERT_EQ(ReadPolygonFromMemory(&back, file.data(), file.size(), report, error), 1);
  EXPECT_EQ(back.NbFace(), 2);
  EXPECT_EQ(back.FaceSize(0), 5);
  EXPECT_FLOAT_EQ(static_cast<float>(back.m_Vertices[3].x), 0.1f);
}

} // namespace
