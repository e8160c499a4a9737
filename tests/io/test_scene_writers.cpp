#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VectorSet3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/ReadInventor.h"
#include "io/ReadVrml.h"
#include "io/TextOutput.h"
#include "io/Texture.h"
#include "io/WriteBinaryScene.h"
#include "io/WriteGridFile.h"
#include "io/WriteInventor.h"
#include "io/WriteVrml.h"
#include "tests/support/SameSnapshot.h"
#include "tests/support/SceneSnapshot.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::string& path) {
  return std::ifstream(path).good();
}

// Two triangles over four points, rotated by 90 degrees about y.
CMesh3d* MakeQuad() {
  auto* mesh = new CMesh3d;
  const double p[4][3] = {{0, 0, 0}, {1.5, 0, 0}, {1, 1, 0.25}, {0, 1, -1e-7}};
  for (const auto& v : p) mesh->AddVertex(new CVertex3d(v[0], v[1], v[2]));
  mesh->AddFace(new CFace3d(mesh->GetVertex(0), mesh->GetVertex(1), mesh->GetVertex(2)));
  mesh->AddFace(new CFace3d(mesh->GetVertex(0), mesh->GetVertex(2), mesh->GetVertex(3)));
  mesh->m_Transform.m_Translation.Set(1, -2, 3.5);
  mesh->m_Transform.m_RotationAxis.Set(0, 1, 0);
  mesh->m_Transform.m_RotationAngle = 90.0f;
  mesh->m_Transform.m_Scale.Set(2, 2, 0.5);
  mesh->m_Material.SetDiffuse(0.8f, 0.25f, 0.1f);
  return mesh;
}

} // namespace

TEST(SceneWriters, VrmlBlockKeepsTheLayoutAndCarriesTheMaterial) {
  std::unique_ptr<CMesh3d> mesh(MakeQuad());
  CTextOutput out;
  WriteVRML(mesh.get(), out);
  EXPECT_EQ(out.GetText(), "# Mesh : 4 vertices, 2 faces\n"
                           "DEF Mesh-ROOT Transform {\n"
                           "  translation 1 -2 3.5\n"
                           "  rotation 0 1 0 1.5708\n"
                           "  scale 2 2 0.5\n"
                           "  children [\n"
                           "    Shape {\n"
                           "      appearance Appearance {\n"
                           "        material Material {\n"
                           "          diffuseColor 0.8 0.25 0.1\n"
                           "        }\n"
                           "      }\n"
                           "      geometry DEF Mesh-FACES IndexedFaceSet {\n"
                           "        ccw TRUE\n"
                           "        solid TRUE\n"
                           "        coord DEF Mesh-COORD Coordinate { point [\n"
                           "          0 0 0,\n"
                           "          1.5 0 0,\n"
                           "          1 1 0.25,\n"
                           "          0 1 -1e-07]\n"
                           "        }\n"
                           "        coordIndex [\n"
                           "          0, 1, 2, -1,\n"
                           "          0, 2, 3, -1]\n"
                           "        }\n"
                           "      }\n"
                           "    ]\n"
                           "  }\n\n");
  EXPECT_EQ(mesh->GetVertex(3)->m_Flag, 0); // the mesh is only read

  // an empty mesh still closes both lists
  CMesh3d empty;
  CTextOutput none;
  WriteVRML(&empty, none);
  EXPECT_NE(none.GetText().find("Coordinate { point [\n          ]\n        }\n"
                                "        coordIndex [\n          ]\n        }\n"),
            std::string::npos);
}

TEST(SceneWriters, InventorBlockAndGridFile) {
  std::unique_ptr<CMesh3d> mesh(MakeQuad());
  CTextOutput out;
  WriteInventorHeader(out);
  WriteInventor(mesh.get(), out);
  EXPECT_EQ(out.GetText(), "#Inventor V2.1 ascii\n\n"
                           "# Mesh : 4 vertices, 2 faces\n"
                           "Separator {\n"
                           "        Coordinate3 { point [\n"
                           "          0 0 0,\n"
                           "          1.5 0 0,\n"
                           "          1 1 0.25,\n"
                           "          0 1 -1e-07]\n"
                           "        }\n"
                           "        IndexedFaceSet {\n"
                           "        coordIndex [\n"
                           "          0, 1, 2, -1,\n"
                           "          0, 2, 3, -1]\n"
                           "        }\n"
                           "      }\n");
  CMesh3d back;
  CReadReport report;
  std::string error;
  ASSERT_EQ(
      ReadInventorFromMemory(&back, out.GetText().data(), out.GetText().size(), report, error), 1);
  EXPECT_EQ(back.NbFace(), 2);

  const std::string grid = ::testing::TempDir() + "grid.txt";
  ASSERT_EQ(WriteGridFile(mesh.get(), grid, error), 1);
  EXPECT_EQ(Slurp(grid), "0 0 -1e-07 1.5 1 0.25\n0 0 0\n1.0\n1\n4\n2\n"
                         "0 0 0\n1.5 0 0\n1 1 0.25\n0 1 -1e-07\n0 1 2\n0 2 3\n");
}

TEST(SceneWriters, BinarySceneCountsEveryObject) {
  CSceneGraph3d scene;
  scene.Add(MakeQuad());
  scene.Add(new CVectorSet3d);
  const std::string path = ::testing::TempDir() + "scene.raw";
  std::string error;
  ASSERT_EQ(WriteBinary(&scene, path, error), 1);
  const std::string bytes = Slurp(path);
  ASSERT_EQ(bytes.size(), 4u + 4 * 12 + 4 * 3 * 4 + 2 * 3 * 4);
  auto i32 = [&](size_t at) {
    int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  auto f32 = [&](size_t at) {
    float v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  EXPECT_EQ(i32(0), 2);
  EXPECT_EQ(f32(4), 1.0f);       // translation x
  EXPECT_EQ(f32(4 + 20), 0.0f);  // axis z
  EXPECT_EQ(f32(4 + 24), 90.0f); // angle in degrees
  EXPECT_EQ(f32(4 + 36), 0.5f);  // scale z
  EXPECT_EQ(i32(4 + 40), 4);
  EXPECT_EQ(i32(4 + 44), 2);
  EXPECT_EQ(f32(4 + 48 + 12), 1.5f);
  EXPECT_EQ(i32(4 + 48 + 48 + 12 + 8), 3);
}

TEST(SceneWriters, ScenesWithoutMeshesAndFailedSavesWriteNothing) {
  const std::string path = ::testing::TempDir() + "nothing.wrl";
  std::remove(path.c_str());
  CSceneGraph3d scene;
  scene.Add(new CVectorSet3d);
  std::string error;
  EXPECT_EQ(WriteVRML(&scene, path, error), 0);
  EXPECT_EQ(error, "This scene does not contain meshes");
  EXPECT_EQ(WriteBinary(&scene, path, error), 0);
  EXPECT_FALSE(Exists(path));

  // a save that cannot be written leaves the old file alone
  const std::string old = ::testing::TempDir() + "old.wrl";
  std::ofstream(old) << "precious";
  scene.Add(MakeQuad());
  EXPECT_EQ(WriteVRML(&scene, ::testing::TempDir() + "no-such-dir/x.wrl", error), 0);
  EXPECT_EQ(error, "Unable to open file for writing");
  EXPECT_EQ(Slurp(old), "precious");
}

TEST(SceneWriters, VrmlRoundTripKeepsGeometryTransformMaterialTextureAndColors) {
  CSceneGraph3d scene;
  scene.Add(MakeQuad());
  CMesh3d* sphere = testmeshes::MakeIcoSphere(2);
  sphere->GetVertex(5)->m_Color.Set(255, 127, 3);
  const float uv[] = {0, 0, 1, 0, 0.5f, 1};
  std::vector<int> corners;
  for (int i = 0; i < sphere->NbFace(); i++) corners.insert(corners.end(), {0, 1, 2});
  sphere->SetTextureCoordinates(uv, 3, corners.data(), sphere->NbFace());
  auto* texture = new CTexture;
  texture->m_FileName = "my \"wood\".bmp";
  sphere->m_IndexTexture = scene.AddTexture(texture);
  scene.Add(sphere);
  scene.Add(new CMesh3d); // an empty mesh stays valid VRML

  const std::string path = ::testing::TempDir() + "round.wrl";
  std::string error;
  ASSERT_EQ(WriteVRML(&scene, path, error), 1) << error;
  CSceneGraph3d back;
  CVrmlParser parser;
  parser.m_ReadTextureFiles = 0;
  ASSERT_EQ(parser.Load(path, &back), 1) << parser.GetError();
  ASSERT_EQ(back.NbObject(), 2); // the empty mesh has no face to read back
  EXPECT_EQ(parser.GetReport().skippedObjects, 1);
  for (int m = 0; m < 2; m++) {
    auto* a = static_cast<CMesh3d*>(scene.GetAt(m));
    auto* b = static_cast<CMesh3d*>(back.GetAt(m));
    const CVertexIndexMap index(a->m_ArrayVertex);
    ASSERT_EQ(a->NbVertex(), b->NbVertex());
    ASSERT_EQ(a->NbFace(), b->NbFace());
    for (int i = 0; i < a->NbVertex(); i++) {
      EXPECT_NEAR(a->GetVertex(i)->x, b->GetVertex(i)->x, 1e-5);
      EXPECT_NEAR(a->GetVertex(i)->z, b->GetVertex(i)->z, 1e-5);
      EXPECT_EQ(a->GetVertex(i)->m_Color, b->GetVertex(i)->m_Color);
    }
    for (int i = 0; i < a->NbFace(); i++)
      for (int k = 0; k < 3; k++)
        EXPECT_EQ(b->GetFace(i)->v(k), b->GetVertex(index.IndexOf(a->GetFace(i)->v(k))));
    const CTransform &ta = a->m_Transform, &tb = b->m_Transform;
    EXPECT_NEAR(ta.m_RotationAngle, tb.m_RotationAngle, 1e-3);
    EXPECT_EQ(ta.m_Translation.x, tb.m_Translation.x);
    EXPECT_EQ(ta.m_Scale.z, tb.m_Scale.z);
    for (int k = 0; k < 4; k++)
      EXPECT_FLOAT_EQ(a->m_Material.m_Diffuse[k], b->m_Material.m_Diffuse[k]);
  }
  auto* textured = static_cast<CMesh3d*>(back.GetAt(1));
  ASSERT_EQ(back.NbTexture(), 1);
  EXPECT_EQ(back.GetTexture(0)->GetFileName(), "my \"wood\".bmp");
  EXPECT_EQ(textured->m_IndexTexture, 0);
  ASSERT_EQ(textured->m_NbTextureCoordinate, 3);
  EXPECT_FLOAT_EQ(textured->m_pTextureCoordinate[5], 1.0f);
  EXPECT_EQ(static_cast<CMesh3d*>(back.GetAt(0))->m_IndexTexture, -1);

  // two meshes give two nodes of the same name
  const std::string text = Slurp(path);
  EXPECT_EQ(text.rfind("#VRML V2.0 utf8\n\n# Produced by 3d Orvexbox 1.0 (Talvane)\n\n", 0), 0u);
  size_t count = 0;
  for (size_t at = 0; (at = text.find("DEF Mesh-ROOT Transform {", at)) != std::string::npos; at++)
    count++;
  EXPECT_EQ(count, 3u);
}

TEST(SceneWriters, InventorExportNamesFilesByObjectIndex) {
  CSceneGraph3d scene;
  scene.Add(new CVectorSet3d);
  scene.Add(MakeQuad());
  const std::string folder = ::testing::TempDir();
  std::string error;
  EXPECT_EQ(WriteInventorFiles(&scene, folder, error), 1);
  CMesh3d mesh;
  CReadReport report;
  ASSERT_EQ(ReadInventor(&mesh, folder + "/mesh1.iv", report, error), 1) << error;
  EXPECT_EQ(mesh.NbFace(), 2);
}

// Saving only reads the scene: every writer leaves every flag, tag and mode
// as it was, and numbers the corners by their place in the vertex array
// whatever the vertex flags hold.
TEST(SceneWriters, SavingReadsTheSceneOnly) {
  struct Writer {
    const char* name;
    std::string (*write)(const CSceneGraph3d&, const std::string& folder);
  };
  const Writer writers[] = {
      {"VRML scene",
       [](const CSceneGraph3d& scene, const std::string& folder) {
         std::string error;
         EXPECT_EQ(WriteVRML(&scene, folder + "/scene.wrl", error), 1) << error;
         return Slurp(folder + "/scene.wrl");
       }},
      {"binary scene",
       [](const CSceneGraph3d& scene, const std::string& folder) {
         std::string error;
         EXPECT_EQ(WriteBinary(&scene, folder + "/scene.raw", error), 1) << error;
         return Slurp(folder + "/scene.raw");
       }},
      {"Inventor files",
       [](const CSceneGraph3d& scene, const std::string& folder) {
         std::string error;
         EXPECT_EQ(WriteInventorFiles(&scene, folder, error), 2) << error;
         return Slurp(folder + "/mesh0.iv") + Slurp(folder + "/mesh2.iv");
       }},
      {"grid file", [](const CSceneGraph3d& scene, const std::string& folder) {
         std::string error;
         const auto* mesh = static_cast<const CMesh3d*>(scene.GetAt(2));
         EXPECT_EQ(WriteGridFile(mesh, folder + "/grid.txt", error), 1) << error;
         return Slurp(folder + "/grid.txt");
       }}};
  const std::string folder = testsupport::FreshTestFolder("orvex_writers_").string();
  CSceneGraph3d scene;
  scene.Add(MakeQuad());
  scene.Add(new CVectorSet3d);
  scene.Add(testmeshes::MakeIcoSphere(1));
  auto setFlags = [&scene](bool scrambled) {
    for (int m : {0, 2}) {
      auto* mesh = static_cast<CMesh3d*>(scene.GetAt(m));
      for (int i = 0; i < mesh->NbVertex(); i++)
        mesh->GetVertex(i)->m_Flag = scrambled ? mesh->NbVertex() - 1 - i : 0;
      for (int i = 0; i < mesh->NbFace(); i++) mesh->GetFace(i)->m_Flag = scrambled ? 9 : 0;
    }
  };
  for (const Writer& w : writers) {
    SCOPED_TRACE(w.name);
    setFlags(false);
    const std::string plain = w.write(scene, folder);
    setFlags(true);
    const std::string before = testsupport::SceneSnapshot(scene);
    EXPECT_EQ(w.write(scene, folder), plain);
    EXPECT_TRUE(testsupport::SameSnapshot(before, testsupport::SceneSnapshot(scene)));
  }
}
