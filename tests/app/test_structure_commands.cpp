// The structure coder's commands: the dialog, runs through the dispatcher
// and the batch program.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"
#include "geometry/VectorSet3d.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/app/RunWithFields.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
namespace fs = std::filesystem;

namespace {

class ClipboardUI : public CRecordingUserInterface {
public:
  std::vector<std::string> clipboard;
  void SetClipboardText(const std::string& text) override { clipboard.push_back(text); }
};

class StructureCommandTest : public ::testing::Test {
protected:
  void SetUp() override { m_Dir = testsupport::FreshTestFolder("orvex_structure_"); }

  // The document lives in the test's folder, where the coder writes.
  void Place(COrvexDoc& doc, CMesh3d* mesh) {
    doc.SetPathName((m_Dir / "mesh.wrl").string());
    if (mesh) doc.m_SceneGraph.Add(mesh);
  }
  CommandResult Run(COrvexDoc& doc, const char* command, const FieldSets& sets = {}) {
    return RunWithFields(m_Dispatcher, doc, command, sets);
  }
  std::string LastMessage() const { return m_UI.messages.empty() ? "" : m_UI.messages.back(); }

  fs::path m_Dir;
  ClipboardUI m_UI;
  CCommandDispatcher m_Dispatcher{ApplicationRegistry(), m_UI};
};

// The file name defaults are exercised by the runs below, which name no file.
TEST_F(StructureCommandTest, DialogFieldsAndDefaults) {
  const CCommandRegistry& registry = ApplicationRegistry();
  for (const char* name : {"32897", "Mesh structure coding"}) {
    ASSERT_NE(registry.Find(name), nullptr) << name;
    EXPECT_EQ(registry.Find(name)->id, 32897);
  }
  ASSERT_NE(registry.Find("Mesh structure decoding"), nullptr);
  EXPECT_EQ(registry.Find("Mesh structure decoding")->id, 32901);
  COrvexDoc doc(&m_UI);
  const ParamValues values = m_Dispatcher.DialogValues(*registry.Find("32897"), &doc);
  for (const char* on : {"Encourage full vertices as pivots", "Visual debugging"})
    EXPECT_TRUE(values.Check(on)) << on;
  for (const char* off : {"Multiple seed face", "Seed face", "Multithreading"})
    EXPECT_FALSE(values.Check(off)) << off;
  for (const char* zero : {"Visual delay (ms)", "Seed face (number)"})
    EXPECT_EQ(values.Integer(zero), 0) << zero;
  EXPECT_EQ(values.Integer("Update each"), 1);
}

TEST_F(StructureCommandTest, OneRunReportsDrawsTheGatesAndLeavesTheMesh) {
  COrvexDoc doc(&m_UI);
  CMesh3d* mesh = testmeshes::MakeGridWithHoles(10, 8, 2);
  Place(doc, mesh);
  const int faces = mesh->NbFace(), vertices = mesh->NbVertex();
  ASSERT_EQ(Run(doc, "32897"), CommandResult::Done) << LastMessage();
  const std::string report = LastMessage();
  for (const char* line : {"Cost       : ", "Duration   : ", "Speed     : ", "Nb offsets : "})
    EXPECT_NE(report.find(line), std::string::npos) << line;
  EXPECT_NE(report.find("Nb faces   : " + std::to_string(faces) + " faces\r\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(m_Dir / "topology.bin"));
  // the mesh first, then the drawing of every gate not on the boundary
  ASSERT_EQ(doc.m_SceneGraph.NbObject(), 2);
  EXPECT_EQ(doc.m_SceneGraph.GetAt(0), mesh);
  EXPECT_EQ(mesh->NbFace(), faces);
  EXPECT_EQ(mesh->NbVertex(), vertices);
  auto* gates = static_cast<CVectorSet3d*>(doc.m_SceneGraph.GetAt(1));
  ASSERT_EQ(gates->GetType(), TYPE_VECTORSET3D);
  EXPECT_EQ(gates->m_Name, "VectorSet");
  EXPECT_GT(gates->NbVector(), faces / 2);
  EXPECT_LE(gates->NbVector(), faces + testmeshes::CountBoundaryEdges(mesh));

  // decoding appends the decoded mesh
  ASSERT_EQ(Run(doc, "32901"), CommandResult::Done) << LastMessage();
  ASSERT_EQ(doc.m_SceneGraph.NbObject(), 3);
  auto* decoded = static_cast<CMesh3d*>(doc.m_SceneGraph.GetAt(2));
  EXPECT_EQ(decoded->NbFace(), faces);
  EXPECT_EQ(decoded->NbVertex(), vertices);
  EXPECT_EQ(m_UI.statusLines.back().rfind("End decoding...", 0), 0u);
}

TEST_F(StructureCommandTest, RefusalsSayWhy) {
  struct Case {
    const char* name;
    const char* command;
    CommandResult result;
    const char* message;
    CMesh3d* mesh;
    FieldSets sets;
  };
  const CommandResult failed = CommandResult::Failed;
  const char* fan = "Edge (0, 1) has more than two faces: the mesh is not manifold";
  const char* seed = "Seed face 8 does not exist (the mesh has 8 faces)";
  const char* threads = "Multithreading is not available for this coder: nothing was done";
  const FieldSets seedEight = {{"Seed face", "on"}, {"Seed face (number)", "8"}};
  const FieldSets multithreading = {{"Multithreading", "on"}};
  const FieldSets broken = {{"File name", "broken.bin"}};
  std::ofstream(m_Dir / "broken.bin", std::ios::binary) << "not a structure file";
  for (const Case& c :
       std::vector<Case>{{"fan", "32897", failed, fan, testmeshes::MakeNonManifoldFan(3), {}},
                         {"seed", "32897", failed, seed, testmeshes::MakeGrid(2, 2), seedEight},
                         {"threads", "32897", CommandResult::NothingDone, threads,
                          testmeshes::MakeGrid(2, 2), multithreading},
                         {"no mesh", "32897", failed, "Sorry, no mesh in scenegraph", nullptr, {}},
                         {"broken file", "32901", failed, "broken.bin: ", nullptr, broken}}) {
    COrvexDoc doc(&m_UI);
    Place(doc, c.mesh);
    m_UI.messages.clear();
    EXPECT_EQ(Run(doc, c.command, c.sets), c.result) << c.name;
    EXPECT_NE(LastMessage().find(c.message), std::string::npos) << c.name << ": " << LastMessage();
    EXPECT_EQ(doc.m_SceneGraph.NbObject(), c.mesh ? 1 : 0) << c.name;
  }
}

TEST_F(StructureCommandTest, CurrentFaceOutOfRangeSeedsFromFaceZero) {
  COrvexDoc doc(&m_UI);
  Place(doc, testmeshes::MakeIcoSphere(1));
  doc.m_HighlightFaceIndex = 5000;
  EXPECT_EQ(Run(doc, "32897", {{"Visual debugging", "off"}}), CommandResult::Done) << LastMessage();
}

TEST_F(StructureCommandTest, MultipleSeedsFillTheTableOncePerSecondAndAtTheEnd) {
  COrvexDoc doc(&m_UI);
  CMesh3d* mesh = testmeshes::MakeGridWithHoles(5, 4, 1);
  Place(doc, mesh);
  ASSERT_EQ(Run(doc, "32897", {{"Multiple seed face", "on"}}), CommandResult::Done)
      << LastMessage();
  ASSERT_FALSE(m_UI.clipboard.empty());
  EXPECT_LE(m_UI.clipboard.size(), 2u); // a short study: at most one while running
  const std::string& table = m_UI.clipboard.back();
  EXPECT_EQ(table.rfind("Seed\tBoundary\tNbVertexNeighbor\tNbOffset\tNbGhost\tCost\r\n", 0), 0u);
  size_t rows = 0;
  for (size_t at = table.find("\r\n"); at != std::string::npos; at = table.find("\r\n", at + 2))
    ++rows;
  EXPECT_EQ(rows, static_cast<size_t>(mesh->NbFace()) + 1);
  // corner face 0 of the grid has one boundary edge
  EXPECT_EQ(table.find("\r\n0\t1\t"), table.find("\r\n"));
}

TEST_F(StructureCommandTest, BatchEncodesWithSetsAndDecodes) {
  const fs::path input = m_Dir / "ico.smf";
  fs::copy_file(std::string(ORVEX_SAMPLES_DIR) + "/icosahedron.smf", input);
  batchprocess::Outcome plain = batchprocess::Run(
      ORVEX_BATCH, {input.string(), "--save", (m_Dir / "plain.wrl").string()}, m_Dir);
  ASSERT_EQ(plain.status, 0) << plain.err;
  batchprocess::Outcome run = batchprocess::Run(
      ORVEX_BATCH,
      {input.string(), "--run", "Mesh structure coding", "--set", "Visual debugging=off", "--set",
       "Encourage full vertices as pivots=off", "--set", "File name (...)=coded.bin", "--save",
       (m_Dir / "coded.wrl").string()},
      m_Dir, m_Dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE((run.out + run.err).find("Nb faces   : 20 faces"), std::string::npos) << run.out;
  ASSERT_TRUE(fs::exists(m_Dir / "coded.bin"));
  EXPECT_EQ(batchprocess::ReadFile(m_Dir / "coded.wrl"),
            batchprocess::ReadFile(m_Dir / "plain.wrl"));
  batchprocess::Outcome decode = batchprocess::Run(
      ORVEX_BATCH, {input.string(), "--run", "32901", "--set", "File name=coded.bin", "--info"},
      m_Dir, m_Dir);
  ASSERT_EQ(decode.status, 0) << decode.err;
  EXPECT_NE(decode.out.find("12 20 triangle mesh\n1 "), std::string::npos) << decode.out;
}

} // namespace
