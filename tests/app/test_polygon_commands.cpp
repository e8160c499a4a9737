// The commands of quad and polygon meshes and the predefined meshes,
// through the dispatcher and end to end through the batch program.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

class PolygonCommandTest : public ::testing::Test {
protected:
  CommandResult Run(const char* command,
                    const std::vector<std::pair<std::string, std::string>>& sets = {}) {
    const CommandInfo* info = ApplicationRegistry().Find(command);
    EXPECT_NE(info, nullptr) << command;
    if (!info) return CommandResult::Unavailable;
    ParamValues values = m_Dispatcher.DialogValues(*info, &m_Doc);
    std::string error;
    for (const auto& set : sets) EXPECT_TRUE(values.Set(set.first, set.second, error)) << error;
    return m_Dispatcher.Run(*info, &m_Doc, &values).result;
  }
  // type and vertex and face counts of every object
  std::vector<std::vector<int>> Info() const {
    std::vector<std::vector<int>> lines;
    for (int i = 0; i < m_Doc.m_SceneGraph.NbObject(); i++) {
      CObjectProperties p = m_Doc.GetObjectProperties(i);
      lines.push_back({p.m_Type, p.m_NbVertex, p.m_NbFace});
    }
    return lines;
  }
  void SetScene(CObject3d* object) {
    m_Doc.m_SceneGraph.Free();
    m_Doc.m_SceneGraph.Add(object);
  }

  CRecordingUserInterface m_UI;
  COrvexDoc m_Doc{&m_UI};
  CCommandDispatcher m_Dispatcher{ApplicationRegistry(), m_UI};
};

using Lines = std::vector<std::vector<int>>;

TEST_F(PolygonCommandTest, PredefinedMeshesReplaceTheScene) {
  struct Case {
    const char* command;
    std::vector<std::pair<std::string, std::string>> sets;
    Lines info;
  };
  const Case cases[] = {
      {"Predefined/Quadrilateral", {}, {{8, 4, 4}}},
      {"Predefined/Box", {}, {{8, 8, 12}}},
      {"Predefined/Map...", {}, {{8, 100, 162}}},
      {"Predefined/Peaks map...", {{"nx", "3"}, {"nz", "4"}}, {{8, 12, 12}}},
      {"Predefined/Quad-mesh/box", {}, {{10, 8, 6}}},
      {"Predefined/Quad-mesh/mushroom...", {{"Steps", "1"}}, {{10, 58, 56}}},
  };
  for (const Case& c : cases) {
    SetScene(testmeshes::MakeIcoSphere(1));
    m_Doc.m_SceneGraph.Add(testmeshes::MakeIcoSphere(0));
    EXPECT_EQ(Run(c.command, c.sets), CommandResult::Done) << c.command;
    EXPECT_EQ(Info(), c.info) << c.command;
  }
}

TEST_F(PolygonCommandTest, MapCountsOutsideTheirRangeAreRefusedByTheDialog) {
  const CommandInfo* info = ApplicationRegistry().Find("Predefined/Map...");
  ParamValues values = m_Dispatcher.DialogValues(*info, &m_Doc);
  std::string error;
  EXPECT_FALSE(values.Set("nx", "0", error));
  EXPECT_FALSE(values.Set("nz", "10001", error));
  EXPECT_TRUE(values.Set("nz", "10000", error));
}

TEST_F(PolygonCommandTest, ConversionsCheckTheFirstObjectsType) {
  // every conversion on a scene whose first object is of the wrong kind:
  // the message, nothing changed
  struct Case {
    const char* command;
    int wrongType;
  };
  const Case cases[] = {
      {"Algorithms/Mesh conversion/Triangle -> quad", 11},
      {"Algorithms/Mesh conversion/Polygonal -> triangle/star", 8},
      {"Algorithms/Mesh conversion/Polygonal -> triangle/max regularity (valence 6)", 10},
      {"Algorithms/Mesh conversion/Polygonal -> quad && triangles", 8},
      {"Algorithms/Mesh conversion/Triangle -> polygonal", 10},
      {"Algorithms/Mesh conversion/Quad -> polygonal", 11},
      {"Algorithms/Surface subdivision/Quad-mesh/Catmull-Clark", 8},
      {"Algorithms/Surface subdivision/Quad-mesh/Kobbelt", 8},
  };
  for (const Case& c : cases) {
    if (c.wrongType == 8)
      SetScene(testmeshes::MakeIcoSphere(0));
    else if (c.wrongType == 10)
      SetScene(testmeshes::MakeQuadGrid(2, 2));
    else
      SetScene(MakePolygonMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {3}, {0, 1, 2}));
    const Lines before = Info();
    m_UI.messages.clear();
    EXPECT_EQ(Run(c.command), CommandResult::Failed) << c.command;
    EXPECT_EQ(m_UI.messages, std::vector<std::string>{"Sorry, no mesh in scenegraph"});
    EXPECT_EQ(Info(), before) << c.command;
  }
}

TEST_F(PolygonCommandTest, TriangleToQuadWithoutFlagsLeavesTheSceneAndSaysSo) {
  SetScene(testmeshes::MakeIcoSphere(1));
  m_Doc.GetFirstMesh()->SetFlagOnFaces(0);
  EXPECT_EQ(Run("Algorithms/Mesh conversion/Triangle -> quad"), CommandResult::NothingDone);
  EXPECT_EQ(Info(), (Lines{{8, 42, 80}}));
  ASSERT_FALSE(m_UI.statusLines.empty());
  EXPECT_NE(m_UI.statusLines.back().find("nothing converted"), std::string::npos);
  // flagged: the quads replace the triangles
  m_Doc.GetFirstMesh()->SetFlagOnFaces(1);
  EXPECT_EQ(Run("Algorithms/Mesh conversion/Triangle -> quad"), CommandResult::Done);
  EXPECT_EQ(Info(), (Lines{{10, 42 + 80 + 120, 240}}));
}

TEST_F(PolygonCommandTest, RoundOfConversionsAndUndo) {
  SetScene(testmeshes::MakeIcoSphere(1));
  EXPECT_EQ(Run("Algorithms/Mesh conversion/Triangle -> polygonal"), CommandResult::Done);
  EXPECT_EQ(Info(), (Lines{{11, 42, 80}}));
  EXPECT_EQ(Run("Algorithms/Mesh conversion/Polygonal -> triangle/max regularity (valence 6)"),
            CommandResult::Done);
  EXPECT_EQ(Info(), (Lines{{8, 42, 80}}));
  EXPECT_EQ(Run("Edit/Undo"), CommandResult::Done);
  EXPECT_EQ(Info(), (Lines{{11, 42, 80}}));
  EXPECT_EQ(Run("Algorithms/Mesh conversion/Polygonal -> triangle/star"), CommandResult::Done);
  EXPECT_EQ(Info(), (Lines{{8, 42, 80}})) << "triangles add no centre";
  SetScene(testmeshes::MakeQuadGrid(2, 1));
  EXPECT_EQ(Run("Algorithms/Mesh conversion/Quad -> polygonal"), CommandResult::Done);
  EXPECT_EQ(Run("Algorithms/Mesh conversion/Polygonal -> triangle/star"), CommandResult::Done);
  EXPECT_EQ(Info(), (Lines{{8, 8, 8}}));
}

TEST_F(PolygonCommandTest, WeldOfAPolygonMesh) {
  SetScene(MakePolygonMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {3, 3},
                           {0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(Run("Algorithms/Weld"), CommandResult::Done);
  EXPECT_EQ(Info(), (Lines{{11, 4, 2}}));
  ASSERT_FALSE(m_UI.statusLines.empty());
  EXPECT_EQ(m_UI.statusLines.back(), "Weld....done");
}

TEST_F(PolygonCommandTest, SubdivisionOfEveryQuadMesh) {
  SetScene(testmeshes::MakeQuadGrid(2, 2));
  m_Doc.m_SceneGraph.Add(testmeshes::MakeIcoSphere(0));
  m_Doc.m_SceneGraph.Add(testmeshes::MakeQuadTorus(4, 4));
  EXPECT_EQ(Run("Algorithms/Surface subdivision/Quad-mesh/Catmull-Clark"), CommandResult::Done);
  EXPECT_EQ(Info(), (Lines{{10, 25, 16}, {8, 12, 20}, {10, 64, 64}}));
  EXPECT_EQ(Run("Algorithms/Surface subdivision/Quad-mesh/Kobbelt"), CommandResult::Done);
  EXPECT_EQ(Info()[2], (std::vector<int>{10, 256, 256}));
  EXPECT_NE(m_UI.statusLines.back().find("Kobbelt done, 80 -> 320 quads"), std::string::npos);
}

TEST_F(PolygonCommandTest, KobbeltHasItsOwnKey) {
  EXPECT_EQ(ApplicationRegistry().FindByKey("Ctrl+Shift+L"),
            ApplicationRegistry().Find("Algorithms/Surface subdivision/Quad-mesh/Kobbelt"));
  EXPECT_EQ(ApplicationRegistry().FindByKey("Ctrl+K"),
            ApplicationRegistry().Find("Algorithms/Surface subdivision/Quad-mesh/Catmull-Clark"));
}

// A 2 x 2 BMP, 24 bits, bottom row first, blue first: bottom-left red,
// bottom-right green, top-left blue, top-right white.
void WriteBmp(const fs::path& path) {
  std::vector<unsigned char> bytes = {'B', 'M'};
  auto u32 = [&](unsigned v) {
    for (int i = 0; i < 4; i++) bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
  };
  auto u16 = [&](unsigned v) {
    bytes.push_back(static_cast<unsigned char>(v));
    bytes.push_back(static_cast<unsigned char>(v >> 8));
  };
  u32(54 + 16), u16(0), u16(0), u32(54);
  u32(40), u32(2), u32(2), u16(1), u16(24), u32(0), u32(16), u32(0), u32(0), u32(0), u32(0);
  const unsigned char rows[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
  bytes.insert(bytes.end(), rows, rows + 16);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

TEST_F(PolygonCommandTest, MapFromImageTakesTrueColoursWithRowZeroAtTheBottom) {
  const fs::path folder = testsupport::FreshTestFolder("orvex_map_image_");
  WriteBmp(folder / "four.bmp");
  SetScene(testmeshes::MakeIcoSphere(0));
  EXPECT_EQ(Run("Predefined/Map from image...",
                {{"Image file", (folder / "four.bmp").string()}, {"Width", "2"}, {"Height", "2"}}),
            CommandResult::Done);
  ASSERT_EQ(Info(), (Lines{{8, 4, 2}}));
  const CMesh3d* mesh = m_Doc.GetFirstMesh();
  EXPECT_EQ(mesh->GetVertex(0)->m_Color, CColor(255, 0, 0));
  EXPECT_EQ(mesh->GetVertex(1)->m_Color, CColor(0, 255, 0));
  EXPECT_EQ(mesh->GetVertex(2)->m_Color, CColor(0, 0, 255));
  float min = 0, max = 0;
  mesh->Range(1, &min, &max);
  EXPECT_FLOAT_EQ(min, -0.1f);
  EXPECT_FLOAT_EQ(max, 0.1f);
  // as quads
  EXPECT_EQ(Run("Predefined/Map from image...", {{"Image file", (folder / "four.bmp").string()},
                                                 {"Width", "2"},
                                                 {"Height", "2"},
                                                 {"Quad mesh", "on"}}),
            CommandResult::Done);
  EXPECT_EQ(Info(), (Lines{{10, 4, 1}}));
  // no file: the open dialog, cancelled
  EXPECT_EQ(Run("Predefined/Map from image..."), CommandResult::Cancelled);
}

class PolygonBatchTest : public ::testing::Test {
protected:
  void SetUp() override { m_Dir = testsupport::FreshTestFolder("orvex_polygon_batch_"); }
  batchprocess::Outcome Run(const std::vector<std::string>& args) {
    return batchprocess::Run(ORVEX_BATCH, args, m_Dir);
  }
  fs::path m_Dir;
};

TEST_F(PolygonBatchTest, QuadFileOpensSubdividesAndSavesBack) {
  const fs::path quad = m_Dir / "cube.quad";
  auto made = Run({kSamples + "/icosahedron.wrl", "--run", "Predefined/Quad-mesh/box", "--save",
                   quad.string()});
  ASSERT_EQ(made.status, 0) << made.err;
  auto run = Run({quad.string(), "--run", "Algorithms/Surface subdivision/Quad-mesh/Catmull-Clark",
                  "--run", "File/Export/Quad mesh...", "--set",
                  "File name=" + (m_Dir / "cc.quad").string(), "--info"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("0 10 26 24 quad mesh"), std::string::npos) << run.out;
  auto back = Run({(m_Dir / "cc.quad").string(), "--info"});
  EXPECT_NE(back.out.find("0 10 26 24 quad mesh"), std::string::npos) << back.out << back.err;
}

TEST_F(PolygonBatchTest, TriangleScenesRefuseQuadsAndWrlRefusesPolygons) {
  auto toQuad = Run({kSamples + "/icosahedron.wrl", "--save", (m_Dir / "ico.quad").string()});
  EXPECT_NE(toQuad.status, 0);
  EXPECT_NE(toQuad.err.find(".obj"), std::string::npos) << toQuad.err;
  auto toWrl = Run({kSamples + "/icosahedron.wrl", "--run",
                    "Algorithms/Mesh conversion/Triangle -> polygonal", "--save",
                    (m_Dir / "poly.wrl").string()});
  EXPECT_NE(toWrl.status, 0);
  EXPECT_NE(toWrl.err.find("save it as .obj"), std::string::npos) << toWrl.err;
  EXPECT_FALSE(fs::exists(m_Dir / "poly.wrl"));
}

TEST_F(PolygonBatchTest, OpenedImageBecomesAHeightField) {
  WriteBmp(m_Dir / "four.bmp");
  auto run = Run({(m_Dir / "four.bmp").string(), "--info"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("0 8 2500 4802 triangle mesh"), std::string::npos) << run.out;
}

TEST_F(PolygonBatchTest, BrokenQuadFilesAreRefusedWithAMessage) {
  std::ofstream(m_Dir / "bad.quad") << "v 0 0 0\nf 1 2 3 4\nf 1 1 1\n";
  auto run = Run({(m_Dir / "bad.quad").string(), "--info"});
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.err.find("no quad"), std::string::npos) << run.err;
}

} // namespace
