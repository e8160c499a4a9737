// The document: open and save dispatch, the document commands through the
// dispatcher, and the bounded status text.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "processing/SubdivisionCommands.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/support/SameSnapshot.h"
#include "tests/support/SceneSnapshot.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

// A fresh folder per test; the current directory is restored afterwards,
// should anything move it.
class DocumentTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_OldDir = fs::current_path();
    m_Dir = testsupport::FreshTestFolder("orvex_doc_");
  }
  void TearDown() override { fs::current_path(m_OldDir); }

  std::string Copy(const std::string& sample, const std::string& name) {
    fs::copy_file(kSamples + "/" + sample, m_Dir / name, fs::copy_options::overwrite_existing);
    return (m_Dir / name).string();
  }
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(m_Dir / name) << text;
    return (m_Dir / name).string();
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  CommandResult Run(COrvexDoc& doc, const char* command, const ParamValues* values = nullptr) {
    const CommandInfo* info = ApplicationRegistry().Find(command);
    EXPECT_NE(info, nullptr) << command;
    return m_Dispatcher.Run(*info, &doc, values).result;
  }
  // The first mesh, given to a new document.
  static void Give(COrvexDoc& doc, CMesh3d* mesh) { doc.m_SceneGraph.Add(mesh); }

  fs::path m_OldDir, m_Dir;
  CRecordingUserInterface m_UI;
  CCommandDispatcher m_Dispatcher{ApplicationRegistry(), m_UI};
};

const char* const kInventor = "#Inventor V2.1 ascii\n"
                              "Separator {\n"
                              "  Coordinate3 { point [ 0 0 0, 1 0 0, 0 1 0, 0 0 1 ] }\n"
                              "  IndexedFaceSet { coordIndex [ 0, 1, 2, -1, 0, 3, 1, -1 ] }\n"
                              "}\n";

} // namespace

TEST_F(DocumentTest, OpenDispatchByExtension) {
  COrvexDoc doc(&m_UI);
  // ".WRL" in capitals reaches the VRML reader; base path and folder follow,
  // the process's current directory stays where it was
  std::string wrl = Copy("icosahedron.wrl", "ICO.WRL");
  ASSERT_EQ(doc.OpenByExtension(wrl), 1) << doc.GetLastError();
  ASSERT_NE(doc.GetFirstMesh(), nullptr);
  EXPECT_EQ(doc.GetFirstMesh()->NbFace(), 20);
  EXPECT_EQ(doc.m_BasePath, (m_Dir / "ICO").string());
  EXPECT_EQ(doc.GetFolder(), m_Dir.string());
  EXPECT_EQ(fs::current_path(), m_OldDir);
  EXPECT_EQ(doc.GetFirstMesh()->GetVertex(0)->NbNeighbor(), 5); // post-load adjacency

  // ".iv" is read; ".IV" is not an Inventor file and nothing else matches
  COrvexDoc iv(&m_UI);
  EXPECT_EQ(iv.OpenByExtension(Write("tetra.iv", kInventor)), 1) << iv.GetLastError();
  EXPECT_EQ(iv.GetFirstMesh()->NbFace(), 2);
  COrvexDoc capitals(&m_UI);
  EXPECT_EQ(capitals.OpenByExtension(Write("TETRA.IV", kInventor)), 0);
  EXPECT_NE(capitals.GetLastError().find("Unknown file type"), std::string::npos);
  EXPECT_EQ(capitals.m_SceneGraph.NbObject(), 0);

  // a name ending in "quad" (no dot) is a quad mesh; this one holds none
  COrvexDoc quad(&m_UI);
  EXPECT_EQ(quad.OpenByExtension(Write("surfacequad", "1 2 3\n")), 0);
  EXPECT_NE(quad.GetLastError().find("no face"), std::string::npos);
  EXPECT_EQ(
      quad.OpenByExtension(Write("facesquad", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n")),
      1);
  EXPECT_EQ(quad.m_SceneGraph.GetAt(0)->GetType(), TYPE_QUAD_MESH);

  // ".dem" meshes get adjacency and normals like the other plain formats
  COrvexDoc dem(&m_UI);
  ASSERT_EQ(dem.OpenByExtension(Write("tri.dem", "vertices: 3\nfaces: 1\n"
                                                 "v 0 0 0\nx\nv 1 0 0\nx\nv 0 1 0\nx\n"
                                                 "f 1 2 3\nc ff 00 00\n")),
            1)
      << dem.GetLastError();
  EXPECT_EQ(dem.GetFirstMesh()->GetVertex(0)->NbNeighbor(), 2);
}

// The research mesh formats save the first mesh and open it again as a
// closed mesh with its adjacency (STL corners welded back together).
TEST_F(DocumentTest, MeshFormatsSaveAndOpenAgain) {
  COrvexDoc doc(&m_UI);
  ASSERT_EQ(doc.OpenByExtension(Copy("icosahedron.smf", "ico.smf")), 1);
  for (const char* name : {"ico.off", "ico.ply", "ICO.STL", "ico.obj"}) {
    SCOPED_TRACE(name);
    const std::string path = (m_Dir / name).string();
    ASSERT_EQ(doc.SaveByExtension(path), 1) << doc.GetLastError();
    COrvexDoc again(&m_UI);
    ASSERT_EQ(again.OpenByExtension(path), 1) << again.GetLastError();
    const CMesh3d* mesh = again.GetFirstMesh();
    EXPECT_EQ(mesh->NbVertex(), 12);
    EXPECT_EQ(mesh->NbFace(), 20);
    EXPECT_EQ(testmeshes::CountBoundaryEdges(mesh), 0);
  }
  // polygons are split, and the status line says so
  COrvexDoc quad(&m_UI);
  ASSERT_EQ(quad.OpenByExtension(Write("quad.off", "OFF\n4 1 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n"
                                                   "4 0 1 2 3\n")),
            1);
  EXPECT_EQ(quad.GetFirstMesh()->NbFace(), 2);
  ASSERT_FALSE(m_UI.statusLines.empty());
  EXPECT_NE(m_UI.statusLines.back().find("1 polygons split into triangles"), std::string::npos);
  COrvexDoc obj(&m_UI);
  ASSERT_EQ(obj.OpenByExtension(Write("quads.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 "
                                                   "0\nf 1 2 3 4\nf 2 5 3\n")),
            1)
      << obj.GetLastError();
  // OBJ faces of more than three corners stay whole, in a polygon mesh
  ASSERT_EQ(obj.m_SceneGraph.NbObject(), 1);
  ASSERT_EQ(obj.m_SceneGraph.GetAt(0)->GetType(), TYPE_POLYGON_MESH);
  EXPECT_EQ(static_cast<CPolygonMesh*>(obj.m_SceneGraph.GetAt(0))->NbFace(), 2);
}

TEST_F(DocumentTest, FailedOpenKeepsWhatTheDocumentHad) {
  COrvexDoc doc(&m_UI);
  std::string good = Copy("icosahedron.smf", "ico.smf");
  ASSERT_EQ(doc.OpenByExtension(good), 1);
  std::string basePath = doc.m_BasePath;
  for (const std::string& bad :
       {Write("broken.wrl", "#VRML V2.0 utf8\nTransform { children [ Shape {"),
        Write("scene.xyz", "v 0 0 0\n"), (m_Dir / "missing.smf").string(),
        Write("mesh.obj", "v 0 0 0\n")}) {
    EXPECT_EQ(doc.OpenByExtension(bad), 0) << bad;
    EXPECT_FALSE(doc.GetLastError().empty()) << bad;
    ASSERT_EQ(doc.m_SceneGraph.NbObject(), 1) << bad;
    EXPECT_EQ(doc.GetFirstMesh()->NbFace(), 20) << bad;
    EXPECT_EQ(doc.m_BasePath, basePath) << bad;
    EXPECT_EQ(doc.GetPathName(), good) << bad;
  }
}

TEST_F(DocumentTest, SaveAsksAndWritesOnlyWhatItCan) {
  COrvexDoc doc(&m_UI);
  ASSERT_EQ(doc.OpenByExtension(Copy("icosahedron.smf", "ico.smf")), 1);
  std::string target = Write("out.wrl", "old contents");

  // declined: nothing written, the save fails
  m_UI.answerYes = false;
  EXPECT_EQ(doc.SaveByExtension(target), 0);
  EXPECT_EQ(m_UI.questions.back(), "Save moodifications ?");
  EXPECT_EQ(Read(target), "old contents");

  // an extension that writes nothing says so and fails
  m_UI.answerYes = true;
  std::string other = (m_Dir / "out.smf").string();
  EXPECT_EQ(doc.SaveByExtension(other), 0);
  EXPECT_FALSE(fs::exists(other));
  EXPECT_EQ(m_UI.messages.size(), 1u);

  // ".wrl" and ".RAW" are written; the VRML file reads back the same; the
  // scene is only read (the document just becomes unmodified)
  for (int i = 0; i < doc.GetFirstMesh()->NbVertex(); i++)
    doc.GetFirstMesh()->GetVertex(i)->m_Flag = 40 - i;
  const std::string scene = testsupport::SceneSnapshot(doc.m_SceneGraph);
  ASSERT_EQ(doc.SaveByExtension(target), 1) << doc.GetLastError();
  EXPECT_EQ(doc.SaveByExtension((m_Dir / "out.RAW").string()), 1);
  EXPECT_TRUE(testsupport::SameSnapshot(scene, testsupport::SceneSnapshot(doc.m_SceneGraph)));
  EXPECT_GT(fs::file_size(m_Dir / "out.RAW"), 4u);
  COrvexDoc again(&m_UI);
  ASSERT_EQ(again.OpenByExtension(target), 1) << again.GetLastError();
  EXPECT_EQ(again.GetFirstMesh()->NbVertex(), 12);
  EXPECT_EQ(again.GetFirstMesh()->NbFace(), 20);

  // a writer that fails (a scene without meshes) leaves the old file
  std::string before = Read(target);
  COrvexDoc empty(&m_UI);
  EXPECT_EQ(empty.SaveByExtension(target), 0);
  EXPECT_EQ(Read(target), before);
}

// Files written under a fixed or relative name land beside each document's
// own file, whichever document was opened last, and the outcome names them.
TEST_F(DocumentTest, FixedNameOutputsLandInTheirDocumentsFolder) {
  const struct {
    const char* command;
    std::vector<std::string> files;
  } cases[] = {
      {"File/Export/scene to multiple iv files", {"mesh0.iv"}},
      {"32986", {"mesh.bin", "codes.txt", "codes.bin"}},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const fs::path base = m_Dir / std::to_string(n++);
    fs::path folders[2] = {base / "a", base / "b"};
    COrvexDoc first(&m_UI), second(&m_UI);
    COrvexDoc* docs[2] = {&first, &second};
    for (int i = 0; i < 2; i++) {
      fs::create_directories(folders[i]);
      fs::copy_file(kSamples + "/icosahedron.wrl", folders[i] / "ico.wrl");
      ASSERT_EQ(docs[i]->OpenByExtension((folders[i] / "ico.wrl").string()), 1);
    }
    // the first document runs first: its folder is not the latest opened
    for (int i = 0; i < 2; i++) {
      CCommandOutcome outcome =
          m_Dispatcher.Run(*ApplicationRegistry().Find(c.command), docs[i], nullptr, false);
      ASSERT_EQ(outcome.result, CommandResult::Done);
      std::vector<std::string> expected;
      for (const std::string& file : c.files) {
        expected.push_back((folders[i] / file).string());
        EXPECT_TRUE(fs::exists(folders[i] / file)) << expected.back();
      }
      EXPECT_EQ(outcome.filesWritten, expected);
    }
    EXPECT_EQ(fs::current_path(), m_OldDir);
  }
}

// Each document draws from its own generator, started like a fresh one: a
// document's random refinement does not depend on what others drew.
TEST_F(DocumentTest, EachDocumentDrawsItsOwnRandomSequence) {
  auto positions = [](const COrvexDoc& doc) {
    std::vector<double> xyz;
    const CMesh3d* mesh = doc.GetFirstMesh();
    for (int i = 0; i < mesh->NbVertex(); i++)
      xyz.insert(xyz.end(), {mesh->GetVertex(i)->x, mesh->GetVertex(i)->y, mesh->GetVertex(i)->z});
    return xyz;
  };
  COrvexDoc first(&m_UI), second(&m_UI);
  Give(first, testmeshes::MakeIcoSphere(2));
  Give(second, testmeshes::MakeIcoSphere(2));
  COrvexDoc alone(&m_UI);
  Give(alone, testmeshes::MakeIcoSphere(2));
  CRandom15 fresh;
  CommandLoopAdaptiveRandom(&alone.m_SceneGraph, fresh);

  ASSERT_EQ(Run(first, kMenuLoopAdaptiveRandom), CommandResult::Done);
  const std::vector<double> firstOnce = positions(first);
  EXPECT_EQ(firstOnce, positions(alone));
  ASSERT_EQ(Run(second, kMenuLoopAdaptiveRandom), CommandResult::Done);
  EXPECT_EQ(positions(second), firstOnce);
  ASSERT_EQ(Run(second, kMenuLoopAdaptiveRandom), CommandResult::Done);
  ASSERT_EQ(Run(first, kMenuLoopAdaptiveRandom), CommandResult::Done);
  EXPECT_EQ(positions(first), positions(second));
  EXPECT_NE(positions(first), firstOnce);
}

TEST_F(DocumentTest, HighlightCommandsAndTheirIndices) {
  COrvexDoc doc(&m_UI);
  Give(doc, testmeshes::MakeGrid(2, 60)); // 3 x 61 = 183 vertices
  ASSERT_EQ(doc.GetFirstMesh()->NbVertex(), 183);
  doc.m_HighlightVertexIndex = 181;
  EXPECT_EQ(Run(doc, "Debug/Highlight next vertex"), CommandResult::Done);
  EXPECT_EQ(doc.m_HighlightVertexIndex, 182);
  EXPECT_EQ(Run(doc, "Debug/Highlight next vertex"), CommandResult::Done);
  EXPECT_EQ(doc.m_HighlightVertexIndex, 182); // restarts at 182, as it always did

  int faces = doc.GetFirstMesh()->NbFace();
  doc.m_HighlightFaceIndex = faces - 1;
  Run(doc, "Debug/Highlight next face");
  EXPECT_EQ(doc.m_HighlightFaceIndex, 0);

  // turning the face highlight on starts at face 0; off keeps the index
  doc.m_HighlightFaceIndex = 7;
  Run(doc, "Mode/Highlight/Face");
  EXPECT_EQ(doc.m_bHighlightFace, 1);
  EXPECT_EQ(doc.m_HighlightFaceIndex, 0);
  doc.m_HighlightFaceIndex = 7;
  Run(doc, "Mode/Highlight/Face");
  EXPECT_EQ(doc.m_bHighlightFace, 0);
  EXPECT_EQ(doc.m_HighlightFaceIndex, 7);

  // a command that leaves an index beyond the first mesh brings it back
  // (drawing does not: it only reads the document)
  doc.m_HighlightFaceIndex = faces + 10;
  Run(doc, "Algorithms/Check");
  EXPECT_EQ(doc.m_HighlightFaceIndex, 0);
  doc.m_HighlightVertexIndex = 183;
  doc.m_HighlightSecondVertexIndex = -1;
  doc.m_HighlightFaceIndex = 3;
  Run(doc, "Mode/Flat");
  EXPECT_EQ(doc.m_HighlightVertexIndex, 0);
  EXPECT_EQ(doc.m_HighlightSecondVertexIndex, 0);
  EXPECT_EQ(doc.m_HighlightFaceIndex, 3);
}

TEST_F(DocumentTest, DispatcherBracketsEveryCommand) {
  COrvexDoc doc(&m_UI);
  Give(doc, testmeshes::MakeIcoSphere(1));
  Give(doc, testmeshes::MakeIcoSphere(0));
  EXPECT_EQ(Run(doc, "Scene/Duplicate/Last mesh"), CommandResult::Done);
  ASSERT_EQ(doc.m_SceneGraph.NbObject(), 3);
  EXPECT_EQ(static_cast<CMesh3d*>(doc.m_SceneGraph.GetAt(2))->NbFace(), 20);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(m_UI.waitDepth, 0);
  EXPECT_EQ(m_UI.maxWaitDepth, 1);
  int redraws = m_UI.redraws;

  EXPECT_EQ(Run(doc, "Scene/Keep first object only"), CommandResult::Done);
  EXPECT_EQ(doc.m_SceneGraph.NbObject(), 1);
  EXPECT_EQ(doc.GetFirstMesh()->NbFace(), 80);
  EXPECT_EQ(m_UI.redraws, redraws + 1);
  EXPECT_EQ(m_UI.erasingRedraws, 1);

  // commands on a scene without mesh say so
  COrvexDoc empty(&m_UI);
  EXPECT_EQ(Run(empty, "Algorithms/Weld"), CommandResult::Failed);
  EXPECT_EQ(m_UI.messages.back(), "Sorry, no mesh in scenegraph");
  // commands without a handler do not run
  CCommandOutcome bidon = m_Dispatcher.Run(*ApplicationRegistry().Find("Geometry/Bidon"), &doc);
  EXPECT_EQ(bidon.result, CommandResult::Unavailable);
  EXPECT_NE(bidon.error.find("not available yet"), std::string::npos);
  // nothing ever asked to save
  EXPECT_TRUE(m_UI.questions.empty());
}

TEST_F(DocumentTest, MeshAndDisplayCommands) {
  COrvexDoc doc(&m_UI);
  std::unique_ptr<CMesh3d> ico(testmeshes::MakeIcoSphere(0));
  CMesh3d* soup = testmeshes::MakeSoup(ico.get());
  Give(doc, soup);
  ASSERT_EQ(soup->NbVertex(), 60);
  EXPECT_EQ(Run(doc, "Algorithms/Weld"), CommandResult::Done);
  EXPECT_EQ(soup->NbVertex(), 12);
  EXPECT_EQ(m_UI.statusLines.back(), "Weld....done");

  Run(doc, "Mode/Flat");
  EXPECT_EQ(doc.m_Display.m_bSmoothShading, 0);
  EXPECT_EQ(soup->m_NormalBinding, 1);
  EXPECT_EQ(doc.m_Display.m_PanelGouraud, 0);
  Run(doc, "Mode/Gouraud");
  EXPECT_EQ(doc.m_Display.m_bSmoothShading, 1);
  EXPECT_EQ(soup->m_NormalBinding, 0);
  EXPECT_EQ(doc.m_Display.m_PanelGouraud, 1);
  Run(doc, "Mode/Line");
  EXPECT_EQ(doc.m_Display.m_PolygonMode, COrvexDisplayState::Line);
  EXPECT_EQ(doc.m_Display.m_PanelWireframe, 1);
  Run(doc, "Mode/Light");
  EXPECT_EQ(doc.m_bLighting, 0);

  // Range: only the fields that changed act
  const CommandInfo* range = ApplicationRegistry().Find("Geometry/Range...");
  ParamValues values = m_Dispatcher.DialogValues(*range, &doc);
  std::string error;
  ASSERT_TRUE(values.Set("X min", "0", error));
  ASSERT_TRUE(values.Set("X max", "10", error));
  ASSERT_TRUE(values.Set("Offset Z", "2", error));
  float yMin, yMax, zMin, zMax;
  soup->Range(1, &yMin, &yMax);
  soup->Range(2, &zMin, &zMax);
  EXPECT_EQ(m_Dispatcher.Run(*range, &doc, &values, false).result, CommandResult::Done);
  float min, max;
  soup->Range(0, &min, &max);
  EXPECT_NEAR(min, 0.0f, 1e-5);
  EXPECT_NEAR(max, 10.0f, 1e-5);
  soup->Range(1, &min, &max);
  EXPECT_EQ(min, yMin);
  EXPECT_EQ(max, yMax);
  soup->Range(2, &min, &max);
  EXPECT_NEAR(min, zMin + 2.0f, 1e-5);
}

TEST(StatusMessage, IsBoundedAt255Characters) {
  CRecordingUserInterface ui;
  std::string longText(1000, 'x');
  EXPECT_EQ(ui.StatusMessage("Loop done, %d -> %d faces, %s", 20, 80, longText.c_str()),
            CUserInterface::kStatusMaxLength);
  EXPECT_EQ(ui.statusLines.back().size(), 255u);
  EXPECT_EQ(ui.statusLines.back().substr(0, 25), "Loop done, 20 -> 80 faces");
}
