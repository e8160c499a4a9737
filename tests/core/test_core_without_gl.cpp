// The core library alone (this suite links no OpenGL): every object's
// drawing goes through the installed renderer, draws nothing without one,
// and objects that held GL names hand them to the render side when they
// are freed, on any thread, instead of calling GL.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "geometry/Camera3d.h"
#include "geometry/GlListGroup.h"
#include "geometry/Mesh3d.h"
#include "geometry/ObjectRenderer.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VectorSet3d.h"
#include "geometry/VisualModeChooser3d.h"
#include "tests/support/TestMeshes.h"

using namespace testmeshes;

namespace {

// A renderer that records which entry each call reached.
std::string g_Reached;

CObjectRenderer RecordingRenderer() {
  CObjectRenderer r;
  r.meshBuild = [](const CMesh3d&) { return g_Reached = "meshBuild", 7; };
  r.meshDraw = [](const CMesh3d&) { return g_Reached = "meshDraw", 7; };
  r.vertexDraw = [](const CVertex3d&) { return g_Reached = "vertexDraw", 7; };
  r.faceHighlight = [](const CFace3d&, const CColor&, const CTransform*, const CColor*) {
    g_Reached = "faceHighlight";
  };
  r.cameraDraw = [](const CCamera3d&) { return g_Reached = "cameraDraw", 7; };
  r.vectorSetBuild = [](const CVectorSet3d&) { return g_Reached = "vectorSetBuild", 7; };
  r.vectorSetDraw = [](const CVectorSet3d&) { return g_Reached = "vectorSetDraw", 7; };
  r.quadBuild = [](const CQuadMesh&) { return g_Reached = "quadBuild", 7; };
  r.quadDraw = [](const CQuadMesh&) { return g_Reached = "quadDraw", 7; };
  r.quadContent = [](const CQuadMesh&) { g_Reached = "quadContent"; };
  r.polygonBuild = [](const CPolygonMesh&) { return g_Reached = "polygonBuild", 7; };
  r.polygonDraw = [](const CPolygonMesh&) { return g_Reached = "polygonDraw", 7; };
  r.polygonContent = [](const CPolygonMesh&) { g_Reached = "polygonContent"; };
  r.chooserDraw = [](const CVisualModeChooser3d&) { return g_Reached = "chooserDraw", 7; };
  r.sceneBuild = [](const CSceneGraph3d&) { return g_Reached = "sceneBuild", 7; };
  return r;
}

// Installs a renderer for the scope and restores the previous one.
class RendererScope {
public:
  explicit RendererScope(const CObjectRenderer* renderer) : m_Previous(InstalledObjectRenderer()) {
    SetObjectRenderer(renderer);
  }
  ~RendererScope() { SetObjectRenderer(m_Previous); }

private:
  const CObjectRenderer* m_Previous;
};

struct DrawCase {
  const char* entry;         // the renderer entry the operation reaches
  std::function<int()> call; // the virtual operation, through the base where it has one
};

std::vector<DrawCase> DrawCases() {
  static std::unique_ptr<CMesh3d> mesh(MakeIcoSphere(1));
  static CCamera3d camera;
  static CVectorSet3d set;
  static std::unique_ptr<CQuadMesh> quad(MakeQuadGrid(2, 2));
  static CPolygonMesh polygon;
  static CVisualModeChooser3d chooser(45.0, 1.0, {});
  static CSceneGraph3d scene;
  auto asObject = [](const CObject3d* o, bool build) {
    return [o, build] { return build ? o->glBuildList() : o->glDraw(); };
  };
  // an operation without a result: 7 when it reached an entry
  auto reached = [](void (*call)()) {
    return [call] { return call(), g_Reached.empty() ? 0 : 7; };
  };
  return {
      {"meshBuild", asObject(mesh.get(), true)},
      {"meshDraw", asObject(mesh.get(), false)},
      {"vertexDraw", asObject(mesh->GetVertex(0), false)},
      {"faceHighlight",
       reached([] { mesh->GetFace(0)->glDrawHighlight(CColor(), nullptr, nullptr); })},
      {"cameraDraw", asObject(&camera, false)},
      {"vectorSetBuild", asObject(&set, true)},
      {"vectorSetDraw", asObject(&set, false)},
      {"quadBuild", asObject(quad.get(), true)},
      {"quadDraw", asObject(quad.get(), false)},
      {"quadContent", reached([] { static_cast<const CSceneMesh3d&>(*quad).DrawContent(); })},
      {"polygonBuild", asObject(&polygon, true)},
      {"polygonDraw", asObject(&polygon, false)},
      {"polygonContent", reached([] { static_cast<const CSceneMesh3d&>(polygon).DrawContent(); })},
      {"chooserDraw", asObject(&chooser, false)},
      {"sceneBuild", [] { return scene.glBuildList(); }},
  };
}

} // namespace

TEST(CoreWithoutGl, EveryDrawingOperationReachesItsRendererEntry) {
  const CObjectRenderer recording = RecordingRenderer();
  RendererScope scope(&recording);
  for (const DrawCase& c : DrawCases()) {
    g_Reached.clear();
    EXPECT_EQ(c.call(), 7) << c.entry;
    EXPECT_EQ(g_Reached, c.entry);
  }
}

TEST(CoreWithoutGl, WithoutARendererNothingIsDrawn) {
  RendererScope scope(nullptr);
  const CObjectRenderer empty; // installed, but with no entries
  for (const CObjectRenderer* renderer : {static_cast<const CObjectRenderer*>(nullptr), &empty}) {
    SetObjectRenderer(renderer);
    for (const DrawCase& c : DrawCases()) {
      g_Reached.clear();
      EXPECT_EQ(c.call(), 0) << c.entry;
      EXPECT_TRUE(g_Reached.empty()) << c.entry;
    }
  }
}

TEST(CoreWithoutGl, DeferredNamesAreTakenByKindAndGroup) {
  const int a = glNewListGroup();
  const int b = glNewListGroup();
  const unsigned int lists[] = {11, 0, 12}; // 0 is no name and is skipped
  const unsigned int textures[] = {21, 22};
  const size_t before = NbDeferredGlNames();
  DeferGlNames(GlNameKind::List, a, lists, 3);
  DeferGlNames(GlNameKind::Texture, a, textures, 2);
  DeferGlNames(GlNameKind::List, b, lists, 1);
  DeferGlNames(GlNameKind::List, b, nullptr, 4);
  EXPECT_EQ(NbDeferredGlNames(), before + 5);

  struct Take {
    GlNameKind kind;
    int group;
    std::vector<unsigned int> expected;
  };
  const Take takes[] = {
      {GlNameKind::Texture, b, {}},
      {GlNameKind::List, a, {11, 12}},
      {GlNameKind::List, a, {}}, // taken once only
      {GlNameKind::Texture, a, {21, 22}},
  };
  for (const Take& t : takes) EXPECT_EQ(TakeDeferredGlNames(t.kind, t.group), t.expected);
  EXPECT_EQ(NbDeferredGlNames(), before + 1);
  ForgetGlGroup(b);
  EXPECT_EQ(NbDeferredGlNames(), before);
}

TEST(CoreWithoutGl, ASceneFreedOnAnotherThreadDefersItsTextureNames) {
  const int group = glNewListGroup();
  auto* scene = new CSceneGraph3d;
  scene->Add(MakeIcoSphere(2));
  // names a render side would have made for two textures in its group
  scene->m_pIndexTextures = new unsigned int[2]{5, 6};
  scene->m_NbIndexTexture = 2;
  scene->m_TextureGroup = group;
  std::thread([scene] { delete scene; }).join();
  EXPECT_EQ(TakeDeferredGlNames(GlNameKind::Texture, group), (std::vector<unsigned int>{5, 6}));
}

TEST(CoreWithoutGl, MeshesBuiltAndFreedOnTwoThreadsLeaveNoNames) {
  const size_t before = NbDeferredGlNames();
  std::vector<CMesh3d*> meshes(8);
  std::thread builder([&] {
    for (CMesh3d*& m : meshes) m = MakeTorus(24, 12);
  });
  builder.join();
  std::thread freer([&] {
    for (CMesh3d* m : meshes) {
      m->glDraw(); // no renderer installed in this program: nothing happens
      delete m;
    }
  });
  freer.join();
  EXPECT_EQ(NbDeferredGlNames(), before);
}
