// The progressive valence coder's commands through the dispatcher and the
// batch program: dialogs and their defaults, the files they write and
// read, and the messages of what they refuse.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "app/commands/Handlers.h"
#include "compression/ProgressiveMeshes.h"
#include "compression/ValenceFiles.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/WriteVrml.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/app/RunWithFields.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/ProgressiveRoundTrip.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
namespace fs = std::filesystem;

namespace {

class ProgressiveCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_OldDir = fs::current_path();
    m_Dir = testsupport::FreshTestFolder("orvex_progressive_");
    fs::current_path(m_Dir);
  }
  void TearDown() override { fs::current_path(m_OldDir); }

  CommandResult Run(COrvexDoc& doc, const char* command, const FieldSets& sets = {}) {
    return RunWithFields(m_Dispatcher, doc, command, sets);
  }
  batchprocess::Outcome Batch(const std::vector<std::string>& args) {
    return batchprocess::Run(ORVEX_BATCH, args, m_Dir);
  }

  fs::path m_OldDir, m_Dir;
  CRecordingUserInterface m_UI;
  CCommandDispatcher m_Dispatcher{ApplicationRegistry(), m_UI};
};

} // namespace

TEST_F(ProgressiveCommandTest, DialogsHaveTheirTitlesFieldsAndDefaults) {
  COrvexDoc doc(&m_UI);
  doc.SetPathName((m_Dir / "bunny.wrl").string());
  doc.m_SceneGraph.Add(testmeshes::MakeIcoSphere(2));
  // each dialog's title, fields with their defaults, and an option shown
  // but not offered, which cannot be set
  struct Dialog {
    const char* command;
    const char* title;
    std::vector<std::pair<const char*, const char*>> fields;
    const char* notOffered;
  };
  const Dialog dialogs[] = {
      {"33007",
       "Valence-centered Progressive Meshes",
       {{"File name", "bunny.vpm"},
        {"Requested # vertices", "100"},
        {"# vertices", "162"},
        {"File name (.wrl)", "levels.wrl"},
        {"Beautify", "Volume / surface"},
        {"Use metric (ratio)", "0.25"},
        {"Quantization", "12"}},
       "Pack codes"},
      {"33037", "Progressive decoding", {{"Delay (ms)", "0"}, {"# layers", "0"}}, "Fine grain"},
      {"33000",
       "Valence-centered Progressive Geometry Compression",
       {{"Max degree", "6"}, {"Gate type", "Simple"}},
       "Remesh"},
  };
  for (const Dialog& dialog : dialogs) {
    SCOPED_TRACE(dialog.command);
    const CommandInfo* info = ApplicationRegistry().Find(dialog.command);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->dialogTitle, dialog.title);
    ParamValues values = m_Dispatcher.DialogValues(*info, &doc);
    for (const auto& field : dialog.fields) EXPECT_EQ(values.Text(field.first), field.second);
    std::string error;
    EXPECT_FALSE(values.Set(dialog.notOffered, "on", error));
    EXPECT_NE(error.find("cannot be set"), std::string::npos) << error;
  }
}

TEST_F(ProgressiveCommandTest, EncodingWritesItsFileAndDecodingAddsAMeshLayerByLayer) {
  COrvexDoc doc(&m_UI);
  doc.m_SceneGraph.Add(testmeshes::MakeIcoSphere(3));
  const int before = doc.GetFirstMesh()->NbVertex();
  ASSERT_EQ(Run(doc, "33007",
                {{"File name", "s.vpm"},
                 {"Requested # vertices", "40"},
                 {"Assessment", "on"},
                 {"Output levels (.wrl)", "on"},
                 {"Update view", "on"}}),
            CommandResult::Done);
  EXPECT_EQ(doc.GetFirstMesh()->NbVertex(), before);
  EXPECT_TRUE(fs::exists(m_Dir / "s.vpm"));
  EXPECT_TRUE(fs::exists(m_Dir / "levels.wrl"));
  EXPECT_TRUE(std::regex_match(m_UI.statusLines.back(), std::regex("speed: [0-9.e+]+ faces/s")))
      << m_UI.statusLines.back();
  ASSERT_FALSE(m_UI.messages.empty());
  EXPECT_TRUE(std::regex_match(
      m_UI.messages.back(), std::regex("Base mesh: \\d+ vertices\r\nConnectivity: [0-9.]+ b/rv\r\n"
                                       "Geometry: [0-9.]+ b/rv\r\nTotal: \\d+ bits \\([0-9.]+ "
                                       "b/v\\)\r\n\\d+ layers\r\n")))
      << m_UI.messages.back();
  EXPECT_GT(m_UI.redraws, 0); // "Update view" showed the levels

  // a requested count not below the vertex count is refused
  m_UI.messages.clear();
  EXPECT_EQ(Run(doc, "33007", {{"Requested # vertices", std::to_string(before)}}),
            CommandResult::Failed);
  EXPECT_EQ(m_UI.messages, std::vector<std::string>{"invalid #vertices"});

  // decoding the file adds a mesh with more vertices for more layers
  int previous = 0;
  for (const std::string layers : {"1", "3", "0"}) { // 0: every layer
    SCOPED_TRACE(layers);
    const int objects = doc.m_SceneGraph.NbObject();
    ASSERT_EQ(Run(doc, "33037",
                  {{"File name", "s.vpm"},
                   {"# layers", layers},
                   {"Visual debugging", "on"},
                   {"Color", "on"}}),
              CommandResult::Done);
    ASSERT_EQ(doc.m_SceneGraph.NbObject(), objects + 1);
    const CMesh3d* decoded = static_cast<CMesh3d*>(doc.m_SceneGraph.GetAt(objects));
    EXPECT_GT(decoded->NbVertex(), previous);
    previous = decoded->NbVertex();
    EXPECT_EQ(m_UI.statusLines.back(), "Decoding...done (" + std::to_string(decoded->NbVertex()) +
                                           " vertices, " + std::to_string(decoded->NbFace()) +
                                           " faces)");
    if (layers == "0") {
      EXPECT_EQ(decoded->NbVertex(), doc.GetFirstMesh()->NbVertex());
      EXPECT_EQ(decoded->NbFace(), doc.GetFirstMesh()->NbFace());
    }
  }
  // a damaged file adds nothing and says why
  WriteBytesReplacing((m_Dir / "bad.vpm").string(), std::vector<uint8_t>(40, 0xFF));
  const int objects = doc.m_SceneGraph.NbObject();
  m_UI.messages.clear();
  EXPECT_EQ(Run(doc, "33037", {{"File name", "bad.vpm"}}), CommandResult::Failed);
  EXPECT_EQ(doc.m_SceneGraph.NbObject(), objects);
  ASSERT_EQ(m_UI.messages.size(), 1u);
  EXPECT_NE(m_UI.messages[0].find("bad.vpm"), std::string::npos);
}

// A layer file puts the coarsest layer's vertices back into the base mesh.
TEST_F(ProgressiveCommandTest, LayerDecodingAppliesOneLayerToTheFirstMesh) {
  std::unique_ptr<CMesh3d> sphere(testmeshes::MakeIcoSphere(3));
  CProgressiveOptions options;
  options.m_RequestedVertices = 40;
  progressivetest::RoundTrip trip = progressivetest::RunRoundTrip(*sphere, options);
  ASSERT_TRUE(trip.ok) << trip.error;
  const CEncodedLayer& coarsest = trip.encoding.m_Layers.back();
  WriteBytesReplacing((m_Dir / "layer.bin").string(),
                      WriteLayerFile(coarsest.m_Type, coarsest.m_Codes));
  CProgressiveMesh base;
  base.Build(trip.file.m_BasePositions, trip.file.m_BaseFaces);
  COrvexDoc doc(&m_UI);
  CMesh3d* mesh = new CMesh3d;
  FillMesh(base, trip.file.m_Quantizer, *mesh);
  doc.m_SceneGraph.Add(mesh);
  ASSERT_EQ(Run(doc, "33003", {{"File name", "layer.bin"}}), CommandResult::Done);
  const std::vector<int>& level = trip.encoding.m_Levels[trip.encoding.m_Levels.size() - 2];
  EXPECT_EQ(mesh->NbFace(), static_cast<int>(level.size() / 3));
  EXPECT_EQ(mesh->NbVertex(), static_cast<int>(base.NbVertex() + coarsest.m_Removals.size()));
  // a file that is not a layer file is refused
  WriteBytesReplacing((m_Dir / "empty.bin").string(), {});
  m_UI.messages.clear();
  EXPECT_EQ(Run(doc, "33003", {{"File name", "empty.bin"}}), CommandResult::Failed);
  EXPECT_EQ(m_UI.messages, std::vector<std::string>{"The layer file is empty"});
}

TEST_F(ProgressiveCommandTest, GeometryCompressionReportsBitsPerRemovedVertex) {
  COrvexDoc doc(&m_UI);
  doc.m_SceneGraph.Add(testmeshes::MakeIcoSphere(3));
  for (const char* order : {"0", "2"}) {
    ASSERT_EQ(Run(doc, "33000", {{"Adaptive arithmetic coding", order}, {"Debug", "on"}}),
              CommandResult::Done);
    EXPECT_TRUE(std::regex_match(m_UI.statusLines.back(), std::regex("[0-9.]+ bit/remove vertex")))
        << m_UI.statusLines.back();
  }
  m_UI.messages.clear();
  EXPECT_EQ(Run(doc, "33000", {{"Gate type", "Double"}}), CommandResult::NothingDone);
  EXPECT_EQ(m_UI.messages, std::vector<std::string>{"Double gates are not available"});
}

// Encoding, opening, partial decoding and the levels file, end to end with
// `--set`.
TEST_F(ProgressiveCommandTest, BatchEncodesOpensAndDecodes) {
  // a sphere of 642 vertices
  CSceneGraph3d scene;
  scene.Add(testmeshes::MakeIcoSphere(3));
  const std::string input = (m_Dir / "sphere.wrl").string();
  std::string error;
  ASSERT_EQ(WriteVRML(&scene, input, error), 1) << error;
  batchprocess::Outcome encode =
      Batch({input, "--run", "33007", "--set", "Requested # vertices=30", "--set",
             "Output levels (.wrl)=on", "--set", "Quantization=10", "--set", "File name=out.vpm"});
  ASSERT_EQ(encode.status, 0) << encode.err;
  EXPECT_NE(encode.out.find("speed: "), std::string::npos) << encode.out;

  batchprocess::Outcome open = Batch({(m_Dir / "out.vpm").string(), "--info"});
  ASSERT_EQ(open.status, 0) << open.err;
  EXPECT_NE(open.out.find("Decoding...done\n"), std::string::npos) << open.out;
  EXPECT_NE(open.out.find("0 8 642 1280 triangle mesh"), std::string::npos) << open.out;

  batchprocess::Outcome partial = Batch({input, "--run", "Progressive decoding", "--set",
                                         "File name=out.vpm", "--set", "# layers=2", "--info"});
  ASSERT_EQ(partial.status, 0) << partial.err;
  const std::regex done("Decoding\\.\\.\\.done \\(\\d+ vertices, \\d+ faces\\)");
  EXPECT_EQ(std::distance(std::sregex_iterator(partial.out.begin(), partial.out.end(), done),
                          std::sregex_iterator()),
            1)
      << partial.out;
  EXPECT_NE(partial.out.find("\n1 8 "), std::string::npos) << partial.out;

  // the levels read back: the whole mesh first, then ever fewer vertices
  batchprocess::Outcome levels = Batch({(m_Dir / "levels.wrl").string(), "--info"});
  ASSERT_EQ(levels.status, 0) << levels.err;
  std::regex line("(\\d+) 8 (\\d+) (\\d+) triangle mesh");
  std::vector<int> counts;
  for (auto it = std::sregex_iterator(levels.out.begin(), levels.out.end(), line);
       it != std::sregex_iterator(); ++it)
    counts.push_back(std::stoi((*it)[2]));
  ASSERT_GT(counts.size(), 2u) << levels.out;
  EXPECT_EQ(counts.front(), 642);
  for (size_t i = 1; i < counts.size(); ++i) EXPECT_LT(counts[i], counts[i - 1]);
  EXPECT_LE(counts.back(), 30);

  // what is refused ends the run with a message
  batchprocess::Outcome packed = Batch({input, "--run", "33007", "--set", "Pack codes=on"});
  EXPECT_NE(packed.status, 0);
  EXPECT_NE(packed.err.find("Pack codes"), std::string::npos) << packed.err;
  WriteBytesReplacing((m_Dir / "short.vpm").string(), {0x6d, 0x00});
  batchprocess::Outcome bad = Batch({(m_Dir / "short.vpm").string(), "--info"});
  EXPECT_NE(bad.status, 0);
  EXPECT_NE(bad.err.find("truncated"), std::string::npos) << bad.err;
}
