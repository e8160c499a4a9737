// Paint time of the render view on a million-face lit mesh, drawn with
// Mesa's software renderer through the offscreen context: a spinning
// model from its cached display list, the first frame that builds the
// list, and immediate drawing (as while a command runs) for comparison.

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <memory>
#include <string>

#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "app/offscreen/OffscreenContext.h"
#include "app/offscreen/Snapshot.h"
#include "geometry/GlListGroup.h"
#include "geometry/Mesh3d.h"
#include "tests/support/TestMeshes.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
// A closed torus of 2 * 708 * 706 = 999,696 faces.
constexpr int kTorusU = 708, kTorusV = 706;

// The document with the torus, Gouraud-shaded and lit, made once.
COrvexDoc& TorusDocument() {
  static std::unique_ptr<COrvexDoc> doc = [] {
    auto d = std::make_unique<COrvexDoc>();
    CMesh3d* torus = testmeshes::MakeTorus(kTorusU, kTorusV, 1.5, 0.5);
    torus->SetFaceColors(CColor(150, 150, 150));
    torus->SetNormalBinding(0);
    d->m_SceneGraph.Add(torus);
    d->m_Display.m_bSmoothShading = 1;
    d->m_bLighting = 1;
    return d;
  }();
  return *doc;
}

// The offscreen view, set up once; false (with the benchmark skipped) when
// no context can be made.
bool PrepareView(benchmark::State& state, orvex::COffscreenContext& context,
                 orvex::CRenderViewState& view) {
  std::string error;
  if (!orvex::PrepareOffscreenView(context, view, kWidth, kHeight, error)) {
    state.SkipWithError(error.c_str());
    return false;
  }
  view.m_Rotation = {30.0f, 0.0f, 0.0f};
  return true;
}

void Paint(COrvexDoc& doc, orvex::CRenderViewState& view) {
  view.SpinTick(); // a new rotation every frame
  view.glPaint(doc);
  glFinish();
}

void Report(benchmark::State& state, COrvexDoc& doc) {
  state.counters["faces"] = static_cast<CMesh3d*>(doc.m_SceneGraph.GetAt(0))->NbFace();
  state.counters["frames/s"] =
      benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
}

// Spinning: the list is built before the timing starts, then only called.
void BM_PaintSpinningFromList(benchmark::State& state) {
  COrvexDoc& doc = TorusDocument();
  orvex::COffscreenContext context;
  orvex::CRenderViewState view;
  if (!PrepareView(state, context, view)) return;
  CGlListGroupScope group(context.ListGroup());
  Paint(doc, view);
  for (auto _ : state) Paint(doc, view);
  Report(state, doc);
}
BENCHMARK(BM_PaintSpinningFromList)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(3.0);

// The first frame after a change: the list is compiled, then called.
void BM_PaintFirstFrameBuildingTheList(benchmark::State& state) {
  COrvexDoc& doc = TorusDocument();
  orvex::COffscreenContext context;
  orvex::CRenderViewState view;
  if (!PrepareView(state, context, view)) return;
  CGlListGroupScope group(context.ListGroup());
  for (auto _ : state) {
    doc.m_SceneGraph.SetModifiedAll();
    Paint(doc, view);
  }
  Report(state, doc);
}
BENCHMARK(BM_PaintFirstFrameBuildingTheList)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(3.0);

// Every vertex sent again on every paint, as while a command runs.
void BM_PaintImmediate(benchmark::State& state) {
  COrvexDoc& doc = TorusDocument();
  orvex::COffscreenContext context;
  orvex::CRenderViewState view;
  if (!PrepareView(state, context, view)) return;
  CGlListGroupScope group(context.ListGroup());
  doc.BeginCommand();
  for (auto _ : state) Paint(doc, view);
  doc.EndCommand();
  Report(state, doc);
}
BENCHMARK(BM_PaintImmediate)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
