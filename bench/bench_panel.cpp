// The command panel on a million faces: normals and sharp edges shown
// (time and memory per segment), and a material preset or slider move
// followed by one paint, beside a plain paint (Mesa's software renderer,
// offscreen).

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/DocumentHost.h"
#include "app/OrvexDoc.h"
#include "app/PanelObjects.h"
#include "app/RenderViewState.h"
#include "app/TerminalUserInterface.h"
#include "app/offscreen/OffscreenContext.h"
#include "app/offscreen/Snapshot.h"
#include "geometry/GlListGroup.h"
#include "geometry/Mesh3d.h"
#include "geometry/VectorSet3d.h"
#include "tests/support/ResidentMemory.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;

namespace {

constexpr int kWidth = 800, kHeight = 600;
// 2 * 708 * 706 = 999,696 faces.
constexpr int kU = 708, kV = 706;

// A grid of a million faces whose heights vary from vertex to vertex, so
// that many of its edges are sharp; adjacency and normals built.
CSceneGraph3d& BumpyScene() {
  static std::unique_ptr<CSceneGraph3d> scene = [] {
    auto s = std::make_unique<CSceneGraph3d>();
    CMesh3d* grid = testmeshes::MakeGrid(kU, kV);
    for (int j = 0; j <= kV; j++)
      for (int i = 0; i <= kU; i++)
        grid->GetVertex(j * (kU + 1) + i)->z = ((i * 7 + j * 13) % 5) * 0.3;
    grid->BuildAdjacency();
    grid->CalculateNormalPerFace();
    grid->CalculateNormalPerVertex();
    s->Add(grid);
    return s;
  }();
  return *scene;
}

// Resident bytes the sets `show` adds take per segment, measured in a
// child process that gave its free pages back first.
double BytesPerSegment(CSceneGraph3d& scene, const std::function<int(CSceneGraph3d&)>& show,
                       const char* name, int& segments) {
  std::vector<double> figures = residentmemory::MeasureInChild([&](std::vector<double>& out) {
    const std::size_t before = residentmemory::ResidentBytes();
    show(scene);
    const std::size_t after = residentmemory::ResidentBytes();
    int count = 0;
    ForEachVectorSet(scene, name, [&count](CVectorSet3d& set) { count += set.NbVector(); });
    out.push_back(count);
    out.push_back(double(after - before));
  });
  if (figures.size() != 2 || figures[0] == 0.0) return 0.0;
  segments = static_cast<int>(figures[0]);
  return figures[1] / figures[0];
}

void BM_ShowSets(benchmark::State& state, const char* name,
                 const std::function<int(CSceneGraph3d&)>& show) {
  CSceneGraph3d& scene = BumpyScene();
  int segments = 0;
  const double bytes = BytesPerSegment(scene, show, name, segments);
  for (auto _ : state) {
    show(scene);
    state.PauseTiming();
    DeleteVectorSets(scene, name);
    state.ResumeTiming();
  }
  state.counters["faces"] = static_cast<CMesh3d*>(scene.GetAt(0))->NbFace();
  state.counters["segments"] = segments;
  state.counters["bytes/segment"] = bytes;
}

void BM_NormalsShow(benchmark::State& state) {
  BM_ShowSets(state, kNormalSetName,
              [](CSceneGraph3d& scene) { return AddNormalSets(scene, 0.1f, 255, 0, 0); });
}
BENCHMARK(BM_NormalsShow)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SharpEdgesShow(benchmark::State& state) {
  BM_ShowSets(state, kSharpEdgeSetName,
              [](CSceneGraph3d& scene) { return AddSharpEdgeSets(scene, 0.5); });
}
BENCHMARK(BM_SharpEdgesShow)->Unit(benchmark::kMillisecond)->Iterations(5);

// A host with one document holding a lit torus without colours of its own
// (drawn through its material), and the dispatcher the panel uses.
struct PanelDocument {
  std::unique_ptr<FILE, int (*)(FILE*)> sink{std::fopen("/dev/null", "w"), std::fclose};
  CTerminalUserInterface ui{sink.get(), sink.get()};
  CDocumentHost host{ui};
  CCommandDispatcher dispatcher{ApplicationRegistry(), ui, &host};
  COrvexDoc* doc = host.NewDocument();

  PanelDocument() {
    CMesh3d* torus = testmeshes::MakeTorus(kU, kV, 1.5, 0.5);
    torus->SetNormalBinding(0);
    doc->m_SceneGraph.Add(torus);
    doc->RunPostLoadSteps();
    doc->m_Display.m_bSmoothShading = 1;
  }
  void Run(const char* command, const char* label, const std::string& value) {
    const CommandInfo& info = *ApplicationRegistry().Find(command);
    ParamValues values = dispatcher.DialogValues(info, doc);
    std::string error;
    values.Set(label, value, error);
    dispatcher.Run(info, doc, &values, false);
  }
};

// kind 0: a plain paint; 1: a preset, then a paint; 2: a Shininess move,
// then a paint; 3 and 4: the preset and the move alone. The list is built
// before the timing starts.
void BM_PanelChangeAndPaint(benchmark::State& state) {
  static PanelDocument panel;
  COffscreenContext context;
  CRenderViewState view;
  std::string error;
  if (!PrepareOffscreenView(context, view, kWidth, kHeight, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  view.FrameScene(panel.doc->m_SceneGraph);
  view.m_Rotation = {30.0f, 0.0f, 0.0f};
  CGlListGroupScope group(context.ListGroup());
  view.glPaint(*panel.doc);
  glFinish();
  const char* presets[] = {"Brass", "Pewter"};
  int step = 0;
  const int kind = static_cast<int>(state.range(0));
  for (auto _ : state) {
    step++;
    if (kind == 1 || kind == 3)
      panel.Run("Panel/Materials/Predefined", "Name", presets[step % 2]);
    else if (kind == 2 || kind == 4)
      panel.Run("Panel/Materials/Shininess", "Position", std::to_string(20 + step % 2));
    if (kind > 2) continue;
    view.glPaint(*panel.doc);
    glFinish();
  }
  const char* labels[] = {"plain paint", "preset + paint", "slider + paint", "preset alone",
                          "slider alone"};
  state.SetLabel(labels[kind]);
}
BENCHMARK(BM_PanelChangeAndPaint)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
