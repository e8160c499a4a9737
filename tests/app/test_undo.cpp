// Undo and redo through the dispatcher: every kind of record (values of
// positions, values of attributes, copies of the scene), several steps
// back and forth, the bound of the history, commands that fail or throw
// halfway, the modified flag across a save, and the batch runner.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "app/UndoHistory.h"
#include "app/UndoStep.h"
#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/SceneFingerprint.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
using namespace testmeshes;
namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

// What undo must bring back: every aspect of every object in order (a
// restored scene holds copies, so identities do not count), the highlight
// indices and the modified flag.
struct DocState {
  std::vector<std::vector<uint64_t>> objects;
  std::vector<int> highlights;
  std::vector<int> display;
  bool modified = false;

  bool operator==(const DocState& o) const {
    return objects == o.objects && highlights == o.highlights && display == o.display &&
           modified == o.modified;
  }
  bool operator!=(const DocState& o) const { return !(*this == o); }
};

DocState Capture(const COrvexDoc& doc) {
  DocState state;
  for (const auto& object : FingerprintScene(doc.m_SceneGraph).objects)
    state.objects.emplace_back(object.hash, object.hash + kAspectCount);
  state.highlights = {doc.m_HighlightVertexIndex, doc.m_HighlightSecondVertexIndex,
                      doc.m_HighlightFaceIndex,   doc.m_bHighlightFace,
                      doc.m_bHighlightVertex,     doc.m_bHighlightSecondVertex};
  const COrvexDisplayState& d = doc.m_Display;
  state.display = {d.m_PolygonMode,    d.m_bSmoothShading, d.m_bTexture2D,  d.m_PanelVertex,
                   d.m_PanelWireframe, d.m_PanelFace,      d.m_PanelGouraud};
  state.modified = doc.IsModified();
  return state;
}

class UndoTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_Doc.OnNewDocument();
    ASSERT_TRUE(m_Doc.OpenByExtension(kSamples + "/icosahedron.wrl")) << m_Doc.GetLastError();
    m_Doc.m_SceneGraph.Add(MakeGrid(4, 3));
    m_Doc.RunPostLoadSteps();
    m_Doc.m_HighlightVertexIndex = 5;
    m_Doc.m_HighlightFaceIndex = 7;
  }

  CommandResult Run(const std::string& command, const std::vector<std::string>& fields = {}) {
    const CommandInfo* info = ApplicationRegistry().Find(command);
    EXPECT_NE(info, nullptr) << command;
    if (!info) return CommandResult::Unavailable;
    ParamValues values = m_Dispatcher.DialogValues(*info, &m_Doc);
    std::string error;
    for (size_t i = 0; i + 1 < fields.size(); i += 2)
      EXPECT_TRUE(values.Set(fields[i], fields[i + 1], error)) << error;
    return m_Dispatcher.Run(*info, &m_Doc, &values, false).result;
  }
  CUndoHistory& History() { return m_Doc.UndoHistory(); }

  CRecordingUserInterface m_UI;
  COrvexDoc m_Doc{&m_UI};
  CCommandDispatcher m_Dispatcher{ApplicationRegistry(), m_UI};
};

struct UndoCase {
  const char* command;
  std::vector<std::string> fields;
  bool changes = true;
};

const UndoCase kCases[] = {
    {"Geometry/Range...", {"X min", "0", "X max", "100"}}, // positions
    {"Algorithms/Surface subdivision/Loop/Std", {}},       // topology
    {"Algorithms/Check", {}, false},                       // attributes, none changed
    {"Mode/Flat", {}},                                     // bindings
    {"Scene/Keep first object only", {}},                  // objects removed
    {"Scene/Duplicate/Last mesh", {}},                     // objects added
};

} // namespace

TEST_F(UndoTest, EachKindOfCommandUndoesAndRedoesExactly) {
  for (const UndoCase& c : kCases) {
    SCOPED_TRACE(c.command);
    SetUp();
    History().Clear();
    m_Doc.SetModifiedFlag(false);
    m_Doc.m_SceneGraph.SetNormalBindingAll(0); // so that Mode/Flat changes it
    const DocState before = Capture(m_Doc);
    ASSERT_EQ(Run(c.command, c.fields), CommandResult::Done);
    const DocState after = Capture(m_Doc);
    EXPECT_EQ(after.objects != before.objects, c.changes);
    ASSERT_TRUE(History().CanUndo());

    ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
    EXPECT_EQ(Capture(m_Doc), before);
    EXPECT_FALSE(History().CanUndo());
    ASSERT_EQ(Run("Edit/Redo"), CommandResult::Done);
    EXPECT_EQ(Capture(m_Doc), after);
    EXPECT_FALSE(History().CanRedo());
    ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
    EXPECT_EQ(Capture(m_Doc), before);
  }
}

TEST_F(UndoTest, AttributeAndPositionCommandsRecordValuesNotTheScene) {
  for (const char* command : {"Algorithms/Check", "Mode/Flat"}) {
    SetUp();
    const CObject3d* first = m_Doc.m_SceneGraph.GetAt(0);
    ASSERT_EQ(Run(command), CommandResult::Done);
    ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
    // values went back into the same meshes
    EXPECT_EQ(m_Doc.m_SceneGraph.GetAt(0), first) << command;
  }
  History().Clear();
  ASSERT_EQ(Run("Geometry/Range...", {"X min", "0", "X max", "100"}), CommandResult::Done);
  // a record of positions and normals is smaller than a copy
  EXPECT_LT(History().Bytes(), EstimateSceneBytes(m_Doc.m_SceneGraph));
}

TEST_F(UndoTest, SeveralStepsBackAndForth) {
  std::vector<DocState> states{Capture(m_Doc)};
  for (const UndoCase& c : {kCases[1], kCases[5], kCases[0], kCases[2]}) {
    ASSERT_EQ(Run(c.command, c.fields), CommandResult::Done) << c.command;
    states.push_back(Capture(m_Doc));
  }
  EXPECT_EQ(History().NbUndo(), 4u);
  for (size_t i = states.size() - 1; i > 0; i--) {
    ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
    EXPECT_EQ(Capture(m_Doc), states[i - 1]) << "undo to " << i - 1;
  }
  EXPECT_EQ(Run("Edit/Undo"), CommandResult::Unavailable); // disabled: nothing to undo
  for (size_t i = 1; i < states.size(); i++) {
    ASSERT_EQ(Run("Edit/Redo"), CommandResult::Done);
    EXPECT_EQ(Capture(m_Doc), states[i]) << "redo to " << i;
  }
  EXPECT_EQ(Run("Edit/Redo"), CommandResult::Unavailable);

  // a new command after undo drops what could be redone
  ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
  ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
  EXPECT_EQ(History().NbRedo(), 2u);
  ASSERT_EQ(Run("Mode/Flat"), CommandResult::Done);
  EXPECT_FALSE(History().CanRedo());
  EXPECT_EQ(History().NbUndo(), 3u);
}

TEST_F(UndoTest, TheBoundDropsTheOldestSteps) {
  History().SetLimits(CUndoHistory::kDefaultMaxBytes, 2);
  const DocState start = Capture(m_Doc);
  ASSERT_EQ(Run("Scene/Duplicate/Last mesh"), CommandResult::Done);
  const DocState one = Capture(m_Doc);
  ASSERT_EQ(Run("Scene/Duplicate/Last mesh"), CommandResult::Done);
  ASSERT_EQ(Run("Scene/Duplicate/Last mesh"), CommandResult::Done);
  EXPECT_EQ(History().NbUndo(), 2u);
  ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
  ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
  EXPECT_EQ(Capture(m_Doc), one);
  EXPECT_NE(Capture(m_Doc), start);
  EXPECT_FALSE(History().CanUndo());

  // bytes: two records fit, a third pushes the oldest out
  History().Clear();
  ASSERT_EQ(Run("Geometry/Range...", {"X max", "10"}), CommandResult::Done);
  const size_t record = History().Bytes();
  History().SetLimits(record * 5 / 2, 20);
  for (const char* max : {"20", "30", "40"})
    ASSERT_EQ(Run("Geometry/Range...", {"X max", max}), CommandResult::Done);
  EXPECT_EQ(History().NbUndo(), 2u);
  EXPECT_LE(History().Bytes(), record * 5 / 2);
}

TEST_F(UndoTest, ARecordLargerThanTheBoundRunsWithoutUndo) {
  ASSERT_EQ(Run("Mode/Flat"), CommandResult::Done);
  History().SetLimits(64, 20);
  const size_t faces = static_cast<CMesh3d*>(m_Doc.m_SceneGraph.GetAt(0))->NbFace();
  ASSERT_EQ(Run("Algorithms/Surface subdivision/Loop/Std"), CommandResult::Done);
  EXPECT_EQ(static_cast<size_t>(static_cast<CMesh3d*>(m_Doc.m_SceneGraph.GetAt(0))->NbFace()),
            4 * faces);
  EXPECT_FALSE(History().CanUndo()); // the older step no longer leads back
  ASSERT_FALSE(m_UI.statusLines.empty());
  EXPECT_EQ(m_UI.statusLines.back(), "No undo for Loop/Std: the scene is too large to record");
}

TEST_F(UndoTest, ModifiedFlagComesBackAcrossASave) {
  fs::path dir = testsupport::FreshTestFolder("orvex_undo_");
  EXPECT_FALSE(Capture(m_Doc).modified);
  ASSERT_EQ(Run("Algorithms/Surface subdivision/Loop/Std"), CommandResult::Done);
  EXPECT_TRUE(m_Doc.IsModified());
  ASSERT_TRUE(m_Doc.SaveByExtension((dir / "saved.wrl").string()));
  EXPECT_FALSE(m_Doc.IsModified());
  ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
  EXPECT_FALSE(m_Doc.IsModified()); // as it was before the command
  ASSERT_EQ(Run("Edit/Redo"), CommandResult::Done);
  EXPECT_FALSE(m_Doc.IsModified()); // as it was before undo: the saved scene
}

// Handlers that change the mesh and then fail or throw: the scene they
// started from comes back and no step is left.
TEST(UndoGuard, FailingOrThrowingHandlerLeavesNoHalfChangedScene) {
  const struct {
    const char* name;
    Effects effects;
    bool raise;
  } cases[] = {
      {"throws after topology", kEffectTopology, true},
      {"fails after topology", kEffectTopology, false},
      {"throws after positions", kEffectPositions, true},
      {"fails after attributes", kEffectAttributes, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CCommandRegistry registry;
    CommandInfo info;
    info.name = c.name;
    info.effects = c.effects;
    info.handler = [&c](CCommandContext& context) {
      CMesh3d* mesh = context.doc->GetFirstMesh();
      context.doc->m_HighlightFaceIndex = 3;
      if (c.effects & kEffectPositions) mesh->GetVertex(0)->x += 10;
      if (c.effects & kEffectAttributes) mesh->GetFace(0)->m_Flag = 77;
      if (c.effects & kEffectTopology) {
        mesh->GetFace(0)->m_Flag = 77;
        mesh->DeleteFacesWithFlag(77);
      }
      if (c.raise) throw std::runtime_error("halfway");
      return CommandResult::Failed;
    };
    int id = registry.Add(info);
    CRecordingUserInterface ui;
    COrvexDoc doc(&ui);
    doc.m_SceneGraph.Add(MakeTorus(8, 6));
    doc.RunPostLoadSteps();
    const DocState before = Capture(doc);
    CCommandDispatcher dispatcher(registry, ui);
    EXPECT_EQ(dispatcher.Run(id, &doc).result, CommandResult::Failed);
    EXPECT_EQ(Capture(doc), before);
    EXPECT_FALSE(doc.UndoHistory().CanUndo());
    EXPECT_FALSE(doc.IsCommandRunning());
  }
}

TEST(UndoBatch, RunUndoSave) {
  fs::path dir = testsupport::FreshTestFolder("orvex_undo_batch_");
  std::string out = (dir / "out.wrl").string();
  auto loop = batchprocess::Run(
      ORVEX_BATCH, {kSamples + "/icosahedron.wrl", "--run", "Loop/Std", "--info"}, dir);
  ASSERT_EQ(loop.status, 0) << loop.err;
  EXPECT_NE(loop.out.find("0 8 42 80 triangle mesh"), std::string::npos) << loop.out;
  auto run = batchprocess::Run(
      ORVEX_BATCH,
      {kSamples + "/icosahedron.wrl", "--run", "Loop/Std", "--run", "Edit/Undo", "--save", out},
      dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Undone: Loop/Std"), std::string::npos) << run.out;
  auto again = batchprocess::Run(ORVEX_BATCH, {out, "--info"}, dir);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, "0 8 12 20 triangle mesh\n");
}

namespace {

int ElementsWithHistory(const CMesh3d& mesh) {
  int count = 0;
  for (const CVertex3d* v : mesh.m_ArrayVertex) count += v && v->GetHistory();
  for (const CFace3d* f : mesh.m_ArrayFace) count += f && f->GetHistory();
  return count;
}

} // namespace

// A mesh's own subdivision history names its elements: a restored mesh
// comes back without it, and the mesh a redo brings back keeps its own,
// still naming its own elements.
TEST(UndoGuard, MeshHistoryNeverNamesAnotherCopy) {
  CCommandRegistry registry;
  CommandInfo info;
  info.name = "Reconnect";
  info.effects = kEffectTopology;
  info.handler = [](CCommandContext& context) {
    CMesh3d* mesh = context.doc->GetFirstMesh();
    CFace3d* face = mesh->GetFace(0);
    face->PushCorner(0);
    face->SetVertex(0, mesh->GetVertex(mesh->NbVertex() - 1));
    return CommandResult::Done;
  };
  int id = registry.Add(info);
  CRecordingUserInterface ui;
  COrvexDoc doc(&ui);
  doc.m_SceneGraph.Add(MakeIcoSphere(1));
  doc.RunPostLoadSteps();
  CCommandDispatcher dispatcher(registry, ui);
  const DocState before = Capture(doc);

  ASSERT_EQ(dispatcher.Run(id, &doc).result, CommandResult::Done);
  EXPECT_EQ(ElementsWithHistory(*doc.GetFirstMesh()), 1);
  ASSERT_TRUE(doc.UndoHistory().Undo(doc));
  EXPECT_EQ(Capture(doc).objects, before.objects);
  EXPECT_EQ(ElementsWithHistory(*doc.GetFirstMesh()), 0);
  EXPECT_EQ(doc.GetFirstMesh()->UndoHistory(), 0);

  ASSERT_TRUE(doc.UndoHistory().Redo(doc));
  CMesh3d* mesh = doc.GetFirstMesh();
  EXPECT_EQ(ElementsWithHistory(*mesh), 1);
  // the mesh's own undo puts its corner back from its own vertices
  mesh->UndoHistory();
  EXPECT_EQ(ElementsWithHistory(*mesh), 0);
  EXPECT_EQ(Capture(doc).objects[0][kAspectTopology], before.objects[0][kAspectTopology]);
  // and the document's history still goes back and forth
  ASSERT_TRUE(doc.UndoHistory().Undo(doc));
  EXPECT_EQ(Capture(doc).objects, before.objects);
}

TEST_F(UndoTest, DisplayCommandsAndCommandsThatDoNothingLeaveNoStep) {
  for (const char* command : {"Debug/Highlight next vertex", "Mode/Line"}) {
    ASSERT_EQ(Run(command), CommandResult::Done) << command;
    EXPECT_FALSE(History().CanUndo()) << command;
  }
  // nothing to keep: one object only
  History().Clear();
  ASSERT_EQ(Run("Scene/Keep first object only"), CommandResult::Done);
  ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
  ASSERT_EQ(Run("Edit/Redo"), CommandResult::Done);
  EXPECT_EQ(Run("Scene/Keep first object only"), CommandResult::NothingDone);
  EXPECT_EQ(History().NbUndo(), 1u);
  EXPECT_FALSE(History().CanRedo());
}

TEST_F(UndoTest, ASceneThatCannotBeCopiedRunsWithoutUndo) {
  ASSERT_EQ(Run("Mode/Flat"), CommandResult::Done);
  m_Doc.m_SceneGraph.Add(new CObject3d); // a kind of object without a copy
  ASSERT_EQ(Run("Algorithms/Surface subdivision/Loop/Std"), CommandResult::Done);
  EXPECT_EQ(static_cast<CMesh3d*>(m_Doc.m_SceneGraph.GetAt(0))->NbFace(), 80);
  EXPECT_FALSE(History().CanUndo());
  ASSERT_FALSE(m_UI.statusLines.empty());
  EXPECT_EQ(m_UI.statusLines.back(), "No undo for Loop/Std: the scene cannot be copied");
}

// Stopping a command at any of its progress reports brings the scene back
// as it was; a command that runs to its end shows 1 exactly once, last.
TEST_F(UndoTest, CancelledCommandsLeaveTheSceneAsItWas) {
  CProgressScope::SetInterval(std::chrono::milliseconds(0));
  const DocState before = Capture(m_Doc);
  const std::vector<std::string> multiple = {"Iterations", "3"};
  ASSERT_EQ(Run("Algorithms/Surface subdivision/Loop/&Multiple...", multiple), CommandResult::Done);
  const size_t reports = m_UI.progress.size();
  ASSERT_GE(reports, 6u);
  EXPECT_EQ(std::count(m_UI.progress.begin(), m_UI.progress.end(), 1.0), 1);
  EXPECT_EQ(m_UI.progress.back(), 1.0);
  EXPECT_TRUE(std::is_sorted(m_UI.progress.begin(), m_UI.progress.end()));
  ASSERT_EQ(Run("Edit/Undo"), CommandResult::Done);
  ASSERT_EQ(Capture(m_Doc).objects, before.objects);

  for (size_t stop : {size_t(1), reports / 2, reports - 1}) {
    SCOPED_TRACE(stop);
    m_UI.progress.clear();
    m_UI.stopAtReport = static_cast<int>(stop);
    const int ends = m_UI.progressEnds;
    EXPECT_EQ(Run("Algorithms/Surface subdivision/Loop/&Multiple...", multiple),
              CommandResult::Cancelled);
    EXPECT_EQ(m_UI.statusLines.back(), "Cancelled: Loop/Multiple...");
    EXPECT_EQ(m_UI.progressEnds, ends + 1);
    EXPECT_EQ(Capture(m_Doc).objects, before.objects);
  }
  m_UI.stopAtReport = 0;
  CProgressScope::SetInterval(std::chrono::milliseconds(40));
}

// The valence coder closes the boundaries with a ghost vertex while it
// conquers: stopped then, the mesh gets its boundaries back.
TEST(CancelledCoder, LeavesTheMeshAsItWas) {
  CProgressScope::SetInterval(std::chrono::milliseconds(0));
  CRecordingUserInterface ui;
  COrvexDoc doc(&ui);
  doc.OnNewDocument();
  doc.m_SceneGraph.Add(MakeGridWithHoles(200, 150, 4)); // > 16384 gates, boundaries
  doc.RunPostLoadSteps();
  const DocState before = Capture(doc);
  CCommandDispatcher dispatcher(ApplicationRegistry(), ui);
  ui.stopAtReport = 1;
  const CommandInfo* info = ApplicationRegistry().Find("32986");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(dispatcher.Run(*info, &doc, nullptr, false).result, CommandResult::Cancelled);
  EXPECT_EQ(Capture(doc).objects, before.objects);
  CProgressScope::SetInterval(std::chrono::milliseconds(40));
}

TEST(BatchInterrupt, CtrlCStopsTheCommandAndSavesNothing) {
  fs::path dir = testsupport::FreshTestFolder("orvex_interrupt_");
  const std::string out = (dir / "out.wrl").string();
  setenv("ORVEX_BATCH_INTERRUPT_AT_PROGRESS", "1", 1);
  batchprocess::Outcome run = batchprocess::Run(
      ORVEX_BATCH, {kSamples + "/icosahedron.wrl", "--run", "Loop/Std", "--save", out}, dir);
  unsetenv("ORVEX_BATCH_INTERRUPT_AT_PROGRESS");
  EXPECT_EQ(run.status, 130) << run.err;
  EXPECT_NE(run.out.find("Cancelled: Loop/Std"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("interrupted, nothing saved"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(out));
}
