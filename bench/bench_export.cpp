// The view exports at their sizes of use: the EPS of a lit, Gouraud-shaded
// sphere of 1.3 million faces at 800 x 600 (feedback, depth sort and
// writing timed apart, with the peak memory), the SVG face picture of the
// same sphere, the copy of a 1920 x 1080 view and the writing of a
// 100-frame 1024 x 768 video.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/CaptureClientPixels.h"
#include "app/EpsExport.h"
#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "app/offscreen/OffscreenContext.h"
#include "app/offscreen/Snapshot.h"
#include "geometry/GlListGroup.h"
#include "geometry/Mesh3d.h"
#include "io/WriteAvi.h"
#include "io/WriteSvg.h"
#include "processing/VectorDrawing.h"
#include "tests/support/TestMeshes.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

// The sphere (20 * 4^8 = 1,310,720 faces), Gouraud-shaded and lit.
COrvexDoc& SphereDocument() {
  static std::unique_ptr<COrvexDoc> doc = [] {
    auto d = std::make_unique<COrvexDoc>();
    CMesh3d* sphere = testmeshes::MakeIcoSphere(8);
    sphere->Rebuild();
    sphere->SetFaceColors(CColor(150, 150, 150));
    sphere->SetNormalBinding(0);
    d->m_SceneGraph.Add(sphere);
    d->m_Display.m_bSmoothShading = 1;
    d->m_bLighting = 1;
    return d;
  }();
  return *doc;
}

orvex::CRenderViewState SphereView() {
  orvex::CRenderViewState view;
  view.m_Translation = {0.0f, 0.0f, -3.0f};
  view.m_Rotation = {30.0f, 20.0f, 0.0f};
  return view;
}

std::string TempFile(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

// Processor seconds of the whole process (all threads): on a shared machine
// the wall clock also counts the time others held the processors.
double ProcessSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void BM_EpsOfMillionFaceSphere(benchmark::State& state) {
  COrvexDoc& doc = SphereDocument();
  orvex::COffscreenContext context;
  orvex::CRenderViewState view = SphereView();
  std::string error;
  if (!orvex::PrepareOffscreenView(context, view, kWidth, kHeight, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  CGlListGroupScope group(context.ListGroup());
  double feedback = 0, sort = 0, write = 0, bytes = 0, primitives = 0;
  double feedbackCpu = 0, sortCpu = 0, writeCpu = 0;
  for (auto _ : state) {
    // phases timed apart
    auto t0 = std::chrono::steady_clock::now();
    const double c0 = ProcessSeconds();
    CFeedbackScene scene;
    CEpsPage page;
    if (!orvex::CaptureFeedback(doc, view, scene, page, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    auto t1 = std::chrono::steady_clock::now();
    const double c1 = ProcessSeconds();
    std::vector<uint32_t> order = FarthestFirst(scene);
    auto t2 = std::chrono::steady_clock::now();
    const double c2 = ProcessSeconds();
    // the sort again inside Write: its time is taken off the write below
    if (!EpsWriter(page).Write(TempFile("orvex_bench.eps"), scene, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    auto t3 = std::chrono::steady_clock::now();
    const double c3 = ProcessSeconds();
    feedbackCpu += c1 - c0;
    sortCpu += c2 - c1;
    writeCpu += c3 - c2 - (c2 - c1);
    feedback += std::chrono::duration<double>(t1 - t0).count();
    sort += std::chrono::duration<double>(t2 - t1).count();
    write += std::chrono::duration<double>(t3 - t2).count() -
             std::chrono::duration<double>(t2 - t1).count();
    bytes = double(std::filesystem::file_size(TempFile("orvex_bench.eps")));
    primitives = double(scene.primitives.size());
  }
  const double n = double(state.iterations());
  state.counters["feedback_s"] = feedback / n;
  state.counters["sort_s"] = sort / n;
  state.counters["write_s"] = write / n;
  state.counters["write_MB_per_s"] = bytes / 1e6 / (write / n);
  state.counters["feedback_cpu_s"] = feedbackCpu / n;
  state.counters["sort_cpu_s"] = sortCpu / n;
  state.counters["write_cpu_s"] = writeCpu / n;
  state.counters["file_MB"] = bytes / 1e6;
  state.counters["primitives"] = primitives;
  state.counters["peak_RSS_MB"] = PeakResidentMegabytes();
  std::filesystem::remove(TempFile("orvex_bench.eps"));
}
BENCHMARK(BM_EpsOfMillionFaceSphere)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_SvgFaceModeOfMillionFaceSphere(benchmark::State& state) {
  COrvexDoc& doc = SphereDocument();
  CMesh3d* sphere = doc.GetFirstMesh();
  orvex::CRenderViewState view = SphereView();
  view.m_Width = kWidth;
  view.m_Height = kHeight;
  const orvex::CViewMatrices m = view.ComputeMatrices();
  CVectorView vector{};
  for (int i = 0; i < 16; i++)
    vector.modelView[i] = m.m_ModelView[i], vector.projection[i] = m.m_Projection[i];
  for (int i = 0; i < 4; i++) vector.viewport[i] = m.m_Viewport[i];
  std::string error;
  int faces = 0;
  const double start = ProcessSeconds();
  for (auto _ : state) {
    sphere->SetFlagOnFaces(0);
    CVectorPicture picture(kWidth, kHeight);
    faces = DrawFacesGdi(*sphere, vector, CFaceColors(), picture);
    if (!WriteSvg(TempFile("orvex_bench.svg"), picture, error)) state.SkipWithError(error.c_str());
  }
  state.counters["faces"] = faces;
  state.counters["cpu_s"] = (ProcessSeconds() - start) / double(state.iterations());
  std::filesystem::remove(TempFile("orvex_bench.svg"));
}
BENCHMARK(BM_SvgFaceModeOfMillionFaceSphere)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void BM_CopyOf1920x1080View(benchmark::State& state) {
  COrvexDoc& doc = SphereDocument();
  orvex::COffscreenContext context;
  orvex::CRenderViewState view = SphereView();
  std::string error;
  if (!orvex::PrepareOffscreenView(context, view, 1920, 1080, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  CGlListGroupScope group(context.ListGroup());
  view.glPaint(doc);
  CRgbImage image;
  const double start = ProcessSeconds();
  for (auto _ : state) {
    orvex::CaptureClientPixels(1920, 1080, image);
    benchmark::DoNotOptimize(image.m_Pixels.data());
  }
  state.counters["cpu_ms"] = (ProcessSeconds() - start) * 1e3 / double(state.iterations());
}
BENCHMARK(BM_CopyOf1920x1080View)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteOf100FramesAt1024x768(benchmark::State& state) {
  std::vector<CRgbImage> frames(100);
  for (size_t f = 0; f < frames.size(); f++) {
    frames[f].Resize(1024, 768);
    for (size_t i = 0; i < frames[f].m_Pixels.size(); i++)
      frames[f].m_Pixels[i] = (unsigned char)(i * 7 + f);
  }
  std::string error;
  const double start = ProcessSeconds();
  for (auto _ : state)
    if (!WriteAvi(TempFile("orvex_bench.avi"), frames, kAviRate, error))
      state.SkipWithError(error.c_str());
  state.counters["file_MB"] = double(AviFileSize(1024, 768, 100, kAviRate)) / 1e6;
  state.counters["cpu_s"] = (ProcessSeconds() - start) / double(state.iterations());
  std::filesystem::remove(TempFile("orvex_bench.avi"));
}
BENCHMARK(BM_WriteOf100FramesAt1024x768)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
