// CSceneGraph3d: ownership, texture sharing by name, the build-on-first-draw
// rule for textures, drawing dispatch and the bulk operations over meshes;
// CVectorSet3d and the camera object. No OpenGL context exists here: the GL
// calls are no-ops, so the tests look at what the scene decides to do.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geometry/Camera3d.h"
#include "geometry/Face3d.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VectorSet3d.h"
#include "geometry/render/InstallRenderers.h"
#include "tests/support/TestMeshes.h"

namespace {

// Object of any type code that counts the calls the scene makes on it.
struct Probe : public CObject3d {
  explicit Probe(int type, int* deleted = nullptr) : type(type), deleted(deleted) {}
  ~Probe() override {
    if (deleted) ++*deleted;
  }
  int GetType() override { return type; }
  int glBuildList() const override { return ++built; }
  int glDraw() const override { return ++drawn; }
  void SetModified() override { ++modified; }
  int type;
  int* deleted;
  mutable int built = 0, drawn = 0;
  int modified = 0;
};

// A quad or polygon mesh as the scene sees it.
struct QuadProbe : public Probe, public CSceneMesh3d {
  QuadProbe() : Probe(TYPE_QUAD_MESH) {}
  void DrawContent() const override { ++immediate; }
  void SetUseMeshColor(int use) override { useMeshColor = use; }
  mutable int immediate = 0;
  int useMeshColor = 0;
};

struct FakeTexture : public CTextureImage {
  FakeTexture(const std::string& name, int* deleted = nullptr) : name(name), deleted(deleted) {}
  ~FakeTexture() override {
    if (deleted) ++*deleted;
  }
  const std::string& GetFileName() const override { return name; }
  unsigned int GetWidth() const override { return 3; }
  unsigned int GetHeight() const override { return 1; }
  unsigned int GetDepth() const override { return 24; }
  int GetRowBytes() const override { return 12; }
  const unsigned char* GetPixels() const override { return pixels; }
  int IsValid() const override { return 1; }
  std::string name;
  int* deleted;
  unsigned char pixels[12] = {0};
};

} // namespace

TEST(SceneGraph, OwnsObjectsAndTexturesUntilFree) {
  int objectsDeleted = 0, texturesDeleted = 0;
  {
    CSceneGraph3d scene;
    EXPECT_EQ(scene.Add(new Probe(TYPE_EDGE3D, &objectsDeleted)), 0);
    auto* camera = new Probe(TYPE_CAMERA, &objectsDeleted);
    scene.Add(camera);
    scene.Add(new Probe(TYPE_CAMERA, &objectsDeleted));
    scene.AddTexture(new FakeTexture("a.bmp", &texturesDeleted));
    EXPECT_EQ(scene.NbObject(), 3);
    EXPECT_EQ(scene.FindObjectOfType(TYPE_CAMERA), camera);
    EXPECT_EQ(scene.FindObjectOfType(TYPE_VECTORSET3D), nullptr);
    EXPECT_EQ(scene.GetAt(3), nullptr);
    EXPECT_EQ(scene.GetAt(-1), nullptr);
    EXPECT_EQ(scene.Find(camera), 1);

    // RemoveAt hands the object over, DeleteAt deletes it
    CObject3d* taken = scene.RemoveAt(1);
    EXPECT_EQ(taken, camera);
    EXPECT_EQ(scene.Find(camera), -1);
    delete taken;
    EXPECT_EQ(scene.DeleteAt(1), 1);
    EXPECT_EQ(scene.DeleteAt(5), 0);
    EXPECT_EQ(objectsDeleted, 2);

    scene.glDraw();
    EXPECT_EQ(scene.m_ListDone, 1);
    scene.Free();
    EXPECT_EQ(objectsDeleted, 3);
    EXPECT_EQ(texturesDeleted, 1);
    EXPECT_EQ(scene.NbObject(), 0);
    EXPECT_EQ(scene.NbTexture(), 0);
    EXPECT_EQ(scene.m_pIndexTextures, nullptr);
    // a refilled scene uploads its textures on the next draw
    EXPECT_EQ(scene.m_ListDone, 0);
    scene.AddTexture(new FakeTexture("b.bmp", &texturesDeleted));
    scene.Add(new Probe(TYPE_EDGE3D, &objectsDeleted));
  }
  EXPECT_EQ(objectsDeleted, 4);
  EXPECT_EQ(texturesDeleted, 2);
}

TEST(SceneGraph, TexturesAreSharedByExactName) {
  CSceneGraph3d scene;
  scene.AddTexture(new FakeTexture("wood.jpg"));
  scene.AddTexture(new FakeTexture("Stone.bmp"));
  scene.AddTexture(new FakeTexture("wood.jpg"));
  int index = -1;
  ASSERT_EQ(scene.FindTexture("wood.jpg", index), 1);
  EXPECT_EQ(index, 0);
  ASSERT_EQ(scene.FindTexture("Stone.bmp", index), 1);
  EXPECT_EQ(index, 1);
  index = 7;
  EXPECT_EQ(scene.FindTexture("stone.bmp", index), 0);
  EXPECT_EQ(scene.FindTexture("WOOD.JPG", index), 0);
  EXPECT_EQ(index, 7);
  EXPECT_EQ(scene.GetTexture(2)->GetFileName(), "wood.jpg");
  EXPECT_EQ(scene.GetTexture(3), nullptr);
}

TEST(SceneGraph, DrawBuildsOnceAndUploadsTexturesAddedLater) {
  CSceneGraph3d scene;
  auto* probe = new Probe(TYPE_VECTORSET3D);
  scene.Add(probe);
  CMesh3d* mesh = testmeshes::MakeGrid(1, 1);
  mesh->m_IndexTexture = 4; // no such texture: drawn without binding
  scene.Add(mesh);

  // no textures: no names
  scene.glDraw();
  EXPECT_EQ(probe->built, 1);
  EXPECT_EQ(probe->drawn, 1);
  EXPECT_EQ(scene.m_pIndexTextures, nullptr);
  scene.glDraw();
  EXPECT_EQ(probe->built, 1);
  EXPECT_EQ(probe->drawn, 2);

  // a texture appended after the first draw gets its name on the next draw
  scene.AddTexture(new FakeTexture("late.bmp"));
  mesh->m_IndexTexture = 0;
  scene.glDraw();
  EXPECT_EQ(probe->built, 2);
  EXPECT_EQ(scene.m_NbIndexTexture, 1);
  ASSERT_NE(scene.m_pIndexTextures, nullptr);

  scene.glDrawType(TYPE_VECTORSET3D);
  EXPECT_EQ(probe->drawn, 4);
  scene.glDrawType(TYPE_CAMERA);
  EXPECT_EQ(probe->drawn, 4);
}

TEST(SceneGraph, DrawContentGoesThroughImmediateDrawingOnly) {
  CSceneGraph3d scene;
  auto* quad = new QuadProbe;
  auto* other = new Probe(TYPE_VECTORSET3D);
  auto* polygonWithoutInterface = new Probe(TYPE_POLYGON_MESH);
  scene.Add(quad);
  scene.Add(other);
  scene.Add(polygonWithoutInterface);
  scene.Add(testmeshes::MakeGrid(2, 1));
  scene.glDrawContent(1);
  EXPECT_EQ(quad->immediate, 1);
  EXPECT_EQ(quad->drawn + other->drawn + polygonWithoutInterface->drawn, 0);
  EXPECT_EQ(other->built, 0);
}

TEST(SceneGraph, BulkOperationsReachMeshesAndTheRightOthers) {
  CSceneGraph3d scene;
  CMesh3d* grid = testmeshes::MakeGrid(2, 2);
  CMesh3d* sphere = testmeshes::MakeIcoSphere(0);
  auto* probe = new Probe(TYPE_VECTORSET3D);
  auto* quad = new QuadProbe;
  scene.Add(grid);
  scene.Add(probe);
  scene.Add(sphere);
  scene.Add(quad);

  // adjacency and normals are rebuilt from scratch on every mesh
  for (CMesh3d* mesh : {grid, sphere})
    for (CFace3d* f : mesh->m_ArrayFace) {
      f->SetNeighbors(nullptr, nullptr, nullptr);
      f->m_Normal.Set(0, 0, 0);
    }
  scene.BuildAdjacencyAll();
  scene.CalculateNormalPerFaceAll();
  scene.CalculateNormalPerVertexAll();
  EXPECT_EQ(testmeshes::CountBoundaryEdges(sphere), 0);
  for (CFace3d* f : sphere->m_ArrayFace) {
    EXPECT_EQ(f->NbNeighbor(), 3);
    EXPECT_NEAR(f->m_Normal.Length(), 1.0, 1e-9);
  }
  EXPECT_NEAR(grid->GetVertex(0)->m_Normal.z * grid->GetVertex(0)->m_Normal.z, 1.0, 1e-9);

  scene.ShowAll(0);
  EXPECT_EQ(grid->m_Show + sphere->m_Show, 0);
  scene.SetNormalBindingAll(0);
  EXPECT_EQ(grid->m_NormalBinding + sphere->m_NormalBinding, 0);
  EXPECT_EQ(probe->built, 1);
  EXPECT_EQ(quad->built, 1);

  grid->m_Modified = sphere->m_Modified = 0;
  scene.SetColorBindingAll(0);
  EXPECT_EQ(grid->m_ColorBinding + sphere->m_ColorBinding, 0);
  EXPECT_EQ(grid->m_Modified + sphere->m_Modified, 2);
  EXPECT_EQ(probe->modified, 1);

  scene.SetUseMeshColorAll(1);
  EXPECT_EQ(grid->m_UseMeshColor + sphere->m_UseMeshColor, 2);
  EXPECT_EQ(quad->useMeshColor, 1);
  EXPECT_EQ(probe->modified, 2);
  scene.SetModifiedAll();
  EXPECT_EQ(quad->modified, 3);
}

TEST(VectorSet, PairsSegmentsAndLengthFactor) {
  CVectorSet3d set;
  EXPECT_EQ(set.GetType(), TYPE_VECTORSET3D);
  EXPECT_EQ(set.m_Name, "VectorSet");
  EXPECT_EQ(set.m_Color, CColor(255, 255, 255));
  EXPECT_EQ(set.glBuildList(), 0); // empty: nothing to build
  set.Add(CVector3d(1, 0, 0), CVector3d(1, 2, 0));
  set.Add(new CVertex3d(0, 0, 0), new CVertex3d(0, 0, 4));
  set.m_ArrayPoint.Add(new CPoint3d(CVector3d(9, 9, 9))); // odd point: not a segment
  EXPECT_EQ(set.NbVector(), 2);
  set.SetLengthFactor(0.5f);
  CVector3d start, end;
  ASSERT_EQ(set.GetSegment(0, start, end), 1);
  EXPECT_DOUBLE_EQ(end.y, 1.0);
  ASSERT_EQ(set.GetSegment(1, start, end), 1);
  EXPECT_DOUBLE_EQ(end.z, 2.0);
  EXPECT_EQ(set.GetSegment(2, start, end), 0);

  // without a GL context no list can be made: reported, not drawn
  InstallRenderers();
  EXPECT_EQ(set.glBuildList(), 0);
  EXPECT_EQ(set.m_Error, "CVectorSet3d::BuildList : unable to build DrawList");
  EXPECT_EQ(set.glDraw(), 0);
}

TEST(VectorSet, SetsBuiltFromAMesh) {
  CMesh3d* grid = testmeshes::MakeGrid(2, 1);
  grid->m_Transform.SetTranslation(CVector3d(0, 0, 3));
  CVectorSet3d* normals = NewFaceNormalSet(grid);
  ASSERT_EQ(normals->NbVector(), grid->NbFace());
  EXPECT_EQ(normals->m_Name, "NormalSet");
  EXPECT_DOUBLE_EQ(normals->m_Transform.m_Translation.z, 3.0);
  CVector3d start, end;
  ASSERT_EQ(normals->GetSegment(0, start, end), 1);
  CVector3d centroid = grid->GetFace(0)->Center();
  EXPECT_NEAR((start - centroid).Length(), 0.0, 1e-12);
  EXPECT_NEAR((end - start).Length(), 1.0, 1e-12);
  EXPECT_NEAR(std::fabs(end.z - start.z), 1.0, 1e-12);
  delete normals;

  EXPECT_EQ(NewSharpEdgeSet(grid, 0.1), nullptr); // flat: no sharp edge
  delete grid;

  // icosahedron: every edge is sharp and seen from both faces
  CMesh3d* ico = testmeshes::MakeIcoSphere(0);
  CVectorSet3d* sharp = NewSharpEdgeSet(ico, 0.5);
  ASSERT_NE(sharp, nullptr);
  EXPECT_EQ(sharp->m_Name, "SharpEdgesSet");
  EXPECT_EQ(sharp->NbVector(), 60);
  delete sharp;
  delete ico;
}

TEST(Camera, RotationsKeepAnOrthonormalFrameAndMovesFollowIt) {
  CCamera3d camera;
  EXPECT_EQ(camera.GetType(), TYPE_CAMERA);
  camera.Rotate1(PI_3D / 2);
  EXPECT_NEAR(camera.m_Direction.x, -1.0, 1e-9);
  camera.Translate(0, 0, 1); // backwards: against the viewing direction
  EXPECT_NEAR(camera.m_Position.x, 1.0, 1e-9);
  camera.Rotate2(0.3);
  EXPECT_NEAR(camera.m_Direction.Length(), 1.0, 1e-12);
  EXPECT_NEAR(camera.m_Up.Length(), 1.0, 1e-12);
  EXPECT_NEAR(camera.m_Direction * camera.m_Up, 0.0, 1e-12);
  const CVector3d before = camera.m_Position;
  camera.Translate(0, 2, 0);
  EXPECT_NEAR(((camera.m_Position - before) - camera.m_Up * 2.0).Length(), 0.0, 1e-12);
  camera.Show(0);
  EXPECT_EQ(camera.glDraw(), 0);
}
