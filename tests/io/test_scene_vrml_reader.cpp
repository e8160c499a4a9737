#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/ReadVrml.h"
#include "io/Texture.h"

namespace {

const char* kHeader = "#VRML V2.0 utf8\n";

int Load(CSceneGraph3d& scene, const std::string& text, CVrmlParser& parser) {
  parser.m_ReadTextureFiles = 0;
  return parser.LoadFromMemory(text.data(), text.size(), &scene);
}

CMesh3d* MeshAt(CSceneGraph3d& scene, int i) {
  return static_cast<CMesh3d*>(scene.GetAt(i));
}

// The system's own layout for one textured triangle pair.
std::string OwnNode(const char* rotation, const char* url, const char* coordIndex) {
  return std::string("DEF Mesh-ROOT Transform {\n  translation 1 2 3\n  rotation ") + rotation +
         "\n  scale 2 2 2\n  children [\n    Shape {\n      appearance Appearance {\n"
         "        material Material {\n          diffuseColor 0.25 0.5 1\n        }\n" +
         (url ? std::string("        texture ImageTexture {\n          url \"") + url +
                    "\"\n        }\n"
              : std::string()) +
         "      }\n      geometry DEF Mesh-FACES IndexedFaceSet {\n        ccw TRUE\n"
         "        solid TRUE\n        coord DEF Mesh-COORD Coordinate { point [\n"
         "          0 0 0,\n          1 0 0,\n          1 1 0,\n          0 1 0]\n        }\n" +
         (url ? "        texCoord TextureCoordinate { point [\n          0 0,\n          1 1]\n"
                "        }\n"
              : "") +
         "        coordIndex [\n" + coordIndex + "]\n" +
         (url ? "        texCoordIndex [\n          0, 1, 0, -1,\n          1, 0, 1, -1]\n" : "") +
         "        }\n      }\n    ]\n  }\n\n";
}

} // namespace

TEST(VrmlReader, ReadsItsOwnLayoutAsDescribed) {
  CSceneGraph3d scene;
  CVrmlParser parser;
  const std::string text =
      std::string(kHeader) +
      OwnNode("0 1 0 1.5708", "wood.bmp", "          0, 1, 2, -1,\n          0, 2, 3, -1") +
      OwnNode("0 0 1 0", "wood.bmp", "          0, 1, -1, -1,\n          0, 2, 3, -1");
  ASSERT_EQ(Load(scene, text, parser), 1) << parser.GetError();
  ASSERT_EQ(scene.NbObject(), 2);
  CMesh3d* mesh = MeshAt(scene, 0);
  EXPECT_EQ(mesh->NbVertex(), 4);
  EXPECT_EQ(mesh->NbFace(), 2);
  EXPECT_EQ(mesh->GetFace(1)->v(2), mesh->GetVertex(3));
  const CTransform& t = mesh->m_Transform;
  EXPECT_EQ(t.m_Translation.z, 3.0);
  EXPECT_EQ(t.m_Scale.x, 2.0);
  EXPECT_EQ(t.m_RotationAxis.y, 1.0);
  EXPECT_FLOAT_EQ(t.m_RotationAngle, static_cast<float>(1.5708f * 57.295784));
  EXPECT_NEAR(t.m_RotationAngle, 90.0002, 1e-4);
  EXPECT_FLOAT_EQ(mesh->m_Material.m_Diffuse[2], 1.0f);
  EXPECT_FLOAT_EQ(mesh->m_Material.m_Diffuse[3], 1.0f);
  EXPECT_FLOAT_EQ(mesh->m_Material.m_Shininess, CMaterial().m_Shininess);
  // a group with a negative index gives no face
  EXPECT_EQ(MeshAt(scene, 1)->NbFace(), 1);
  // both nodes share one texture by name, with its coordinates
  EXPECT_EQ(scene.NbTexture(), 1);
  EXPECT_EQ(mesh->m_IndexTexture, 0);
  EXPECT_EQ(MeshAt(scene, 1)->m_IndexTexture, 0);
  EXPECT_EQ(scene.GetTexture(0)->GetFileName(), "wood.bmp");
  ASSERT_EQ(mesh->m_NbTextureCoordinateIndex, 2);
  EXPECT_EQ(mesh->m_pTextureCoordinateIndex[3], 1);
}

TEST(VrmlReader, HeaderDecidesWhetherTheFileIsRead) {
  CSceneGraph3d scene;
  CVrmlParser parser;
  EXPECT_EQ(Load(scene, "#VRML V2.0 utf8\n", parser), 1);
  EXPECT_EQ(Load(scene, "#VRML V1.0 ascii\nSeparator {}\n", parser), 0);
  EXPECT_NE(parser.GetError().find("VRML 2.0"), std::string::npos);
  EXPECT_EQ(Load(scene, "", parser), 0);
}

TEST(VrmlReader, ReadsWhatModellingToolsWrite) {
  CSceneGraph3d scene;
  CVrmlParser parser;
  const std::string text = std::string(kHeader) + R"(
    # Shape without DEF or Transform, commas or not, line breaks anywhere
    Shape {
      appearance Appearance { material Material { diffuseColor 1 0 0 shininess 0.5 } }
      geometry IndexedFaceSet {
        coord DEF C
          Coordinate
          {
            point
            [ 0 0 0, 1 0 0  1 1 0,0 1 0 ]
          }
        coordIndex [ 0 1 2 3 -1, 0, 2, 1 ]
        color Color { color [ 1 0 0 0 1 0 0 0 1 1 1 1 ] }
        normal Normal { vector [ 0 0 1 ] } creaseAngle 0.5 solid FALSE
      }
    }
    Viewpoint { position 0 0 10 description "far" }
    Transform { translation 10 0 0 scale 2 2 2 children [
      Transform { translation 0 1 0 children [
        Shape { geometry IndexedFaceSet { coord USE C coordIndex [ 0 1 2 ] } } ] } ] }
    Group { children Shape { geometry Box { size 1 1 1 } } }
    Transform { children Shape { geometry IndexedFaceSet { coord USE C coordIndex [ 0 1 2 ] } }
                bboxSize 1 1 1 translation 0 0 7 }
    ROUTE T.fraction_changed TO I.set_fraction
  )";
  ASSERT_EQ(Load(scene, text, parser), 1) << parser.GetError();
  ASSERT_EQ(scene.NbObject(), 3);
  CMesh3d* quad = MeshAt(scene, 0);
  EXPECT_EQ(quad->NbVertex(), 4);
  EXPECT_EQ(quad->NbFace(), 3); // a fan of two triangles and one triangle
  EXPECT_EQ(quad->GetFace(1)->v(0), quad->GetVertex(0));
  EXPECT_EQ(quad->GetFace(1)->v(2), quad->GetVertex(3));
  EXPECT_EQ(quad->GetVertex(1)->m_Color, CColor(0, 255, 0));
  EXPECT_EQ(quad->m_ColorBinding, 0);
  EXPECT_FLOAT_EQ(quad->m_Material.m_Diffuse[0], 1.0f);
  EXPECT_FLOAT_EQ(quad->m_Material.m_Shininess, 0.5f);
  EXPECT_EQ(quad->m_Transform.m_Scale.x, 1.0);

  // nested transforms are combined into the points
  CMesh3d* nested = MeshAt(scene, 1);
  ASSERT_EQ(nested->NbVertex(), 4);
  EXPECT_DOUBLE_EQ(nested->GetVertex(1)->x, 12.0);
  EXPECT_DOUBLE_EQ(nested->GetVertex(1)->y, 2.0);
  EXPECT_EQ(nested->m_Transform.m_Translation.x, 0.0);
  // a translation written after the children still applies to them
  EXPECT_EQ(MeshAt(scene, 2)->m_Transform.m_Translation.z, 7.0);
}

TEST(VrmlReader, BadIndicesAreSkippedAndBrokenFilesRefused) {
  CSceneGraph3d scene;
  CVrmlParser parser;
  const std::string shape =
      "Shape { geometry IndexedFaceSet { coord Coordinate { point [0 0 0 1 0 0 0 1 0] }"
      " coordIndex [ 0 1 2 -1 0 1 3 -1 0 -7 2 -1 2 1 0 ] } }\n";
  ASSERT_EQ(Load(scene, kHeader + shape, parser), 1);
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), 2);
  EXPECT_EQ(parser.GetReport().skippedFaces, 2);
  const std::string noFaces = "Shape { geometry IndexedFaceSet { coord Coordinate { point [] } } }";
  ASSERT_EQ(Load(scene, kHeader + noFaces, parser), 1);
  EXPECT_EQ(parser.GetReport().skippedObjects, 1);
  EXPECT_EQ(scene.NbObject(), 1);

  // refused files leave the scene as it was and say why
  const char* broken[] = {
      "Shape { geometry IndexedFaceSet { coord Coordinate { point [ 0 0 0 1 0 ] } } }",
      "Shape { geometry IndexedFaceSet { coordIndex [ 0 1 2",
      "Shape { geometry IndexedFaceSet { coordIndex [ 0 x 2 ] } }",
      "Transform { children [ Shape { } ",
      "Shape { appearance Appearance { texture ImageTexture { url \"a.bmp } } }",
      "DEF A Group { children [ USE A ] }",
  };
  for (const char* b : broken) {
    const std::string text = kHeader + shape + b;
    EXPECT_EQ(Load(scene, text, parser), 0) << b;
    EXPECT_EQ(parser.GetError().rfind("line ", 0), 0u) << parser.GetError();
    EXPECT_EQ(scene.NbObject(), 1);
  }

  // definitions used over and over stop with an error instead of exhausting memory
  std::string bomb = std::string(kHeader) + "DEF A0 Group { children [" + shape + "] }\n";
  for (int i = 1; i < 40; i++)
    bomb += "DEF A" + std::to_string(i) + " Group { children [ USE A" + std::to_string(i - 1) +
            " USE A" + std::to_string(i - 1) + " ] }\n";
  CSceneGraph3d other;
  EXPECT_EQ(Load(other, bomb, parser), 0);
  EXPECT_EQ(other.NbObject(), 0);
}

TEST(VrmlReader, ReadsSampleAndTextureFilesBesideTheScene) {
  CSceneGraph3d scene;
  CVrmlParser parser;
  ASSERT_EQ(parser.Load(ORVEX_SAMPLES_DIR "/icosahedron.wrl", &scene), 1) << parser.GetError();
  ASSERT_EQ(scene.NbObject(), 1);
  EXPECT_EQ(MeshAt(scene, 0)->NbVertex(), 12);
  EXPECT_EQ(MeshAt(scene, 0)->NbFace(), 20);

  // a BMP texture (stored blue, green, red) named relative to the scene's folder
  CTexture image;
  ASSERT_EQ(image.Alloc(1, 1, 24), 1);
  image.SetColor(0, 0, 10, 20, 30);
  const std::string folder = ::testing::TempDir();
  ASSERT_EQ(image.WriteBmp(folder + "/texel.bmp"), 1);
  const std::string path = folder + "/textured.wrl";
  std::ofstream(path) << kHeader
                      << "Shape { appearance Appearance { texture ImageTexture { url \"texel.bmp\" "
                         "} } geometry IndexedFaceSet { coord Coordinate { point [ 0 0 0 1 0 0 0 "
                         "1 0 ] } coordIndex [ 0 1 2 ] texCoord TextureCoordinate { point [ 0 0 1 "
                         "0 0 1 ] } } }\n";
  CSceneGraph3d textured;
  ASSERT_EQ(parser.Load(path, &textured), 1) << parser.GetError();
  ASSERT_EQ(textured.NbTexture(), 1);
  const CTextureImage* texture = textured.GetTexture(0);
  EXPECT_EQ(texture->GetFileName(), "texel.bmp");
  ASSERT_TRUE(texture->IsValid());
  EXPECT_EQ(texture->GetPixels()[0], 30); // red first once the BMP order is swapped
  EXPECT_EQ(MeshAt(textured, 0)->m_IndexTexture, 0);
  EXPECT_EQ(MeshAt(textured, 0)->m_NbTextureCoordinate, 3);
}
