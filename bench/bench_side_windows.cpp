// The side windows' work on large inputs: a hole-filling pass and the 3x3
// Gaussian on a 4096 x 4096 scalar image, front-only recursive filling of a
// 2000-pixel hole, loading 64 tiles of 256 x 256, and one Multiview
// repaint (four panes, filled and lined) of a million-face mesh offscreen.

#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "app/offscreen/OffscreenContext.h"
#include "app/offscreen/Snapshot.h"
#include "app/side/MultiviewPaint.h"
#include "app/side/TileSet.h"
#include "geometry/GlListGroup.h"
#include "geometry/Mesh3d.h"
#include "tests/support/ScalarImages.h"
#include "tests/support/SgiFiles.h"
#include "tests/support/TestMeshes.h"

namespace {

constexpr int kSide = 4096;

const orvex::CScalarImage& LargeImage() {
  static const orvex::CScalarImage image = testsupport::RandomScalarImage(kSide, kSide, 0.5, 7);
  return image;
}

void BM_FillPass4096(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    orvex::CScalarImage image = LargeImage();
    state.ResumeTiming();
    benchmark::DoNotOptimize(image.FillPass());
  }
}
BENCHMARK(BM_FillPass4096)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Gaussian3x3_4096(benchmark::State& state) {
  std::string error;
  for (auto _ : state) {
    state.PauseTiming();
    orvex::CScalarImage image = LargeImage();
    state.ResumeTiming();
    benchmark::DoNotOptimize(image.Gaussian3x3(error));
  }
}
BENCHMARK(BM_Gaussian3x3_4096)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// A full 4096 x 4096 image with one round hole of about 2000 pixels.
void BM_RecursiveFillHole(benchmark::State& state) {
  orvex::CScalarImage filled;
  filled.Resize(kSide, kSide, 10.0f);
  int hole = 0;
  for (int y = -26; y <= 26; ++y)
    for (int x = -26; x <= 26; ++x)
      if (x * x + y * y <= 25 * 25) {
        filled.At(kSide / 2 + x, kSide / 2 + y) = orvex::kEmptyPixel;
        ++hole;
      }
  for (auto _ : state) {
    state.PauseTiming();
    orvex::CScalarImage image = filled;
    state.ResumeTiming();
    benchmark::DoNotOptimize(image.FillRecursive());
  }
  state.counters["hole pixels"] = hole;
}
BENCHMARK(BM_RecursiveFillHole)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_LoadTiles64(benchmark::State& state) {
  const auto folder = std::filesystem::temp_directory_path() / "orvex_bench_tiles";
  std::filesystem::create_directories(folder);
  const orvex::TileLevel& level = orvex::MapLevel(3);
  for (int i = 0; i < 64; ++i)
    testsupport::WriteSgiImage(
        (folder / orvex::TileFileName(level.prefix, level.firstIndex, i)).string(), 256, 256,
        [i](int x, int y) {
          return std::array<unsigned char, 3>{static_cast<unsigned char>(x),
                                              static_cast<unsigned char>(y),
                                              static_cast<unsigned char>(i)};
        });
  orvex::CTileSet tiles;
  for (auto _ : state) benchmark::DoNotOptimize(tiles.LoadLevel(folder.string(), level));
  state.counters["tiles"] = static_cast<double>(tiles.m_Tiles.size());
}
BENCHMARK(BM_LoadTiles64)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Four 320 x 240 panes of a lit torus of 999,696 faces, each drawn filled
// and then as lines, from the document's display lists.
void BM_MultiviewRepaint1M(benchmark::State& state) {
  static std::unique_ptr<COrvexDoc> doc = [] {
    auto d = std::make_unique<COrvexDoc>();
    CMesh3d* torus = testmeshes::MakeTorus(708, 706, 1.5, 0.5);
    torus->SetFaceColors(CColor(150, 150, 150));
    d->m_SceneGraph.Add(torus);
    d->m_bLighting = 1;
    return d;
  }();
  orvex::COffscreenContext context;
  orvex::CRenderViewState view;
  std::string error;
  if (!orvex::PrepareOffscreenView(context, view, 320, 240, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  view.FrameScene(doc->m_SceneGraph);
  CGlListGroupScope group(context.ListGroup());
  const auto repaint = [&] {
    for (int pane = 0; pane < orvex::kMultiviewPanes; ++pane)
      orvex::glPaintMultiviewPane(orvex::MultiviewPaneState(view, pane), *doc);
    glFinish();
  };
  repaint(); // builds the display list
  for (auto _ : state) {
    view.SpinTick();
    repaint();
  }
}
BENCHMARK(BM_MultiviewRepaint1M)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
