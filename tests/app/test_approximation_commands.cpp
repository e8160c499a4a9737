// The approximation commands through the dispatcher: the grid and the
// progressive mesh on the document, and the volume-based worker: started,
// refused commands while it runs, stopped, the document closed under it,
// a cancelled file dialog, and the batch program waiting for it.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <thread>

#include "app/Dispatcher.h"
#include "app/DocumentHost.h"
#include "app/DocumentWorker.h"
#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/app/RunWithFields.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/MeshChecks.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

namespace fs = std::filesystem;
using namespace orvex;

namespace {

const char* kVolume = "Algorithms/Surface simplification/Volume-based metric...";
const char* kStop = "Algorithms/Surface simplification/Stop volume-based metric";

CMesh3d* MeshAt(COrvexDoc& doc, int i) {
  return static_cast<CMesh3d*>(doc.m_SceneGraph.GetAt(i));
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A long global optimisation of object 1 against object 0 (two spheres).
FieldSets LongRun() {
  return {{"Final", "600"}, {"Max iter", "100000"}, {"Samples per face", "20"}};
}

TEST(ApproximationCommands, GridAndProgressiveMeshOnTheDocument) {
  CRecordingUserInterface ui;
  COrvexDoc doc(&ui);
  CCommandDispatcher dispatcher(ApplicationRegistry(), ui);
  // without a mesh: the message, nothing added
  EXPECT_EQ(RunWithFields(dispatcher, doc, "Algorithms/Hash table..."), CommandResult::Failed);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back(), "Sorry, no mesh in scenegraph");

  doc.m_SceneGraph.Add(testmeshes::MakeIcoSphere(2));
  EXPECT_EQ(RunWithFields(dispatcher, doc, "Algorithms/Hash table...", {{"Size", "8"}}),
            CommandResult::Done);
  ASSERT_EQ(doc.m_SceneGraph.NbObject(), 2);
  EXPECT_EQ(doc.m_SceneGraph.GetAt(1)->GetType(), TYPE_OBJECT3D);
  // a grid beyond 256 cells a side is refused by the dialog
  std::string error;
  ParamValues values =
      dispatcher.DialogValues(*ApplicationRegistry().Find("Algorithms/Hash table..."), &doc);
  EXPECT_FALSE(values.Set("Size", "300", error));

  doc.m_HighlightFaceIndex = 5;
  EXPECT_EQ(RunWithFields(dispatcher, doc, "Algorithms/Surface simplification/Progressive mesh...",
                          {{"Update frequency", "5"}}),
            CommandResult::Done);
  EXPECT_EQ(MeshAt(doc, 0)->NbVertex(), 81);
  EXPECT_EQ(doc.m_HighlightFaceIndex, 0);
}

TEST(ApproximationCommands, WorkerRefusesSceneCommandsAndStops) {
  fs::path dir = testsupport::FreshTestFolder("orvex_volumic_");
  CRecordingUserInterface ui;
  CDocumentHost host(ui);
  COrvexDoc* doc = host.NewDocument();
  doc->m_SceneGraph.Add(testmeshes::MakeIcoSphere(4));
  doc->m_SceneGraph.Add(testmeshes::MakeIcoSphere(4));
  CCommandDispatcher dispatcher(ApplicationRegistry(), ui, &host);
  const CCommandRegistry& registry = ApplicationRegistry();

  // a cancelled file dialog starts nothing
  EXPECT_EQ(RunWithFields(dispatcher, *doc, kVolume, LongRun()), CommandResult::Cancelled);
  EXPECT_EQ(ui.messages.back(), "The operation has been canceled");
  EXPECT_FALSE(doc->IsBusy());
  EXPECT_FALSE(registry.IsEnabled(*registry.Find(kStop), doc));

  ui.saveFileName = (dir / "steps.wrl").string();
  ASSERT_EQ(RunWithFields(dispatcher, *doc, kVolume, LongRun()), CommandResult::Done);
  ASSERT_TRUE(doc->IsBusy());
  EXPECT_TRUE(registry.IsEnabled(*registry.Find(kStop), doc));
  // scene-changing and file-writing commands are refused with the reason;
  // view commands and saving still run
  for (const char* refused : {"Algorithms/Surface subdivision/Loop/Std", "Edit/Undo", kVolume}) {
    SCOPED_TRACE(refused);
    const CommandInfo* info = registry.Find(refused);
    EXPECT_FALSE(registry.IsEnabled(*info, doc));
    EXPECT_EQ(dispatcher.Run(*info, doc, nullptr, false).result, CommandResult::Unavailable);
    EXPECT_NE(ui.messages.back().find("stop it first"), std::string::npos);
  }
  EXPECT_TRUE(registry.IsEnabled(*registry.Find("File/Save"), doc));

  // the full run takes minutes: a stop that is heard ends it within seconds
  // even sanitized on a busy machine (finishing the file and the adjacency
  // included), so the bound only tells a heard stop from an ignored one
  const auto stopAt = std::chrono::steady_clock::now();
  EXPECT_EQ(RunWithFields(dispatcher, *doc, kStop), CommandResult::Done);
  EXPECT_LT(Seconds(stopAt), 10.0);
  EXPECT_FALSE(doc->IsBusy());
  ASSERT_FALSE(ui.statusLines.empty());
  EXPECT_NE(ui.statusLines.back().find("Volume-based metric stopped"), std::string::npos);
  // a stopped run ends like a finished one: adjacency rebuilt, file complete
  meshchecks::ExpectConsistentAdjacency(*MeshAt(*doc, 1));
  const std::string steps = batchprocess::ReadFile(dir / "steps.wrl");
  EXPECT_EQ(steps.rfind("#VRML V2.0", 0), 0u);
  EXPECT_NE(steps.find("# Intermediate file"), std::string::npos);

  // closing the document while a worker runs stops it first
  ASSERT_EQ(RunWithFields(dispatcher, *doc, kVolume, LongRun()), CommandResult::Done);
  const auto closeAt = std::chrono::steady_clock::now();
  host.CloseDocument(doc);
  EXPECT_LT(Seconds(closeAt), 10.0);
  EXPECT_TRUE(host.Documents().empty());
}

TEST(ApproximationCommands, BatchWaitsForTheWorker) {
  fs::path dir = testsupport::FreshTestFolder("orvex_volumic_batch_");
  const std::string samples = ORVEX_SAMPLES_DIR;
  const std::string loop = "Algorithms/Surface subdivision/Loop/Std";
  batchprocess::Outcome outcome = batchprocess::Run(
      ORVEX_BATCH,
      {samples + "/icosahedron.wrl", "--run", loop, "--run", loop, "--run", kVolume, "--set",
       "Final=60", "--set", "Max iter=4", "--set", "Samples per face=4", "--yes", "--info"},
      dir, dir);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("Volume-based metric done, 162 -> 60 vertices"), std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find("0 8 60 116"), std::string::npos) << outcome.out;
  EXPECT_TRUE(fs::exists(dir / "mesh_volumic.wrl"));
}

TEST(ApproximationCommands, WorkerErrorsAreReportedAndTheDocumentStays) {
  CRecordingUserInterface ui;
  COrvexDoc doc(&ui);
  doc.m_SceneGraph.Add(testmeshes::MakeIcoSphere(1));
  int posted = 0;
  doc.SetWorkerNotifier([&posted] { posted++; });
  struct Case {
    CDocumentWorker::Work work;
    const char* report;
    bool failed;
  };
  const Case cases[] = {
      {[](const CApproximationHooks&) -> std::string { throw std::runtime_error("broken"); },
       "broken", true},
      {[](const CApproximationHooks&) -> std::string { throw std::bad_alloc(); },
       "Insuffisant memory", true},
      {[](const CApproximationHooks& hooks) {
         while (!hooks.Stopped()) std::this_thread::yield();
         return std::string("stopped");
       },
       "stopped", false}};
  for (const Case& c : cases) {
    ASSERT_TRUE(doc.Worker().Start(c.work, doc.SceneLock(), doc.WorkerNotifier()));
    if (!c.failed) {
      // one worker at a time
      EXPECT_FALSE(doc.Worker().Start(c.work, doc.SceneLock(), nullptr));
      doc.Worker().RequestStop();
    }
    ASSERT_TRUE(doc.ServeWorker(true));
    const std::vector<std::string>& shown = c.failed ? ui.messages : ui.statusLines;
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), c.report);
    EXPECT_FALSE(doc.IsBusy());
    EXPECT_EQ(doc.m_SceneGraph.NbObject(), 1);
  }
  // the end of every run was posted to the front end
  EXPECT_EQ(posted, 3);
  EXPECT_FALSE(doc.ServeWorker(false));
}

} // namespace
