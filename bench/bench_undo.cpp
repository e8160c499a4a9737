// Cost of undo around one Loop step of a million-face mesh: recording the
// scene before the step (a copy, since Loop changes the topology), the
// step itself through the dispatcher, and Edit/Undo afterwards.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "app/TerminalUserInterface.h"
#include "app/UndoHistory.h"
#include "app/UndoRecorder.h"
#include "geometry/Mesh3d.h"
#include "tests/support/TestMeshes.h"

namespace {

using namespace orvex;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// 2 * 708 * 706 = 999,696 faces, closed. Each iteration records the
// scene as the dispatcher does before Loop, runs the step alone (without
// recording), hands the record to the document's history and undoes
// through the dispatcher. Making and freeing the meshes is not timed.
void BM_UndoLoopStepMillionFaces(benchmark::State& state) {
  std::unique_ptr<FILE, int (*)(FILE*)> sink(std::fopen("/dev/null", "w"), std::fclose);
  CTerminalUserInterface ui(sink.get(), sink.get());
  const CCommandRegistry& registry = ApplicationRegistry();
  const CommandInfo& loop = *registry.Find("Loop/Std");
  CommandInfo loopAlone = loop;
  loopAlone.recordsUndo = false;
  const CommandInfo& undo = *registry.Find("Edit/Undo");
  double record = 0, step = 0, back = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<COrvexDoc>(&ui);
    doc->m_SceneGraph.Add(testmeshes::MakeTorus(708, 706));
    doc->RunPostLoadSteps();
    CCommandDispatcher dispatcher(registry, ui);
    std::string whyNot;
    state.ResumeTiming();

    Clock::time_point t0 = Clock::now();
    std::unique_ptr<CUndoStep> recorded = RecordUndoStep(loop, *doc, doc->UndoHistory(), whyNot);
    Clock::time_point t1 = Clock::now();
    dispatcher.Run(loopAlone, doc.get(), nullptr, false);
    Clock::time_point t2 = Clock::now();
    doc->UndoHistory().Push(std::move(recorded));
    Clock::time_point t3 = Clock::now();
    dispatcher.Run(undo, doc.get(), nullptr, false);
    Clock::time_point t4 = Clock::now();
    if (doc->GetFirstMesh()->NbFace() != 999696) state.SkipWithError("undo did not restore");

    record += Seconds(t0, t1);
    step += Seconds(t1, t2);
    back += Seconds(t3, t4);
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["record s"] = record / n;
  state.counters["step s"] = step / n;
  state.counters["undo s"] = back / n;
  state.counters["record/step"] = step > 0 ? record / step : 0;
}
BENCHMARK(BM_UndoLoopStepMillionFaces)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
