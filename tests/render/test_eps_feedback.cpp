// The feedback pass of the EPS export on the offscreen view: every face of
// the scene comes back, flat shading gives one colour per polygon and
// Gouraud shading several, and a buffer that stays too small after its
// doublings is reported instead of writing an empty picture.

#include <gtest/gtest.h>

#include <string>

#include "app/EpsExport.h"
#include "app/offscreen/OffscreenContext.h"
#include "app/offscreen/Snapshot.h"
#include "geometry/GlListGroup.h"
#include "tests/render/RenderTestSupport.h"

namespace {

struct FeedbackRun {
  bool ok = false;
  CFeedbackScene scene;
  CEpsPage page;
  std::string error;
};

FeedbackRun Capture(const COrvexDoc& doc, long first, long most) {
  FeedbackRun run;
  orvex::CRenderViewState view;
  view.m_Translation = {0.0f, 0.0f, -4.0f};
  if (!orvex::PrepareOffscreenView(rendertest::SharedContext(), view, rendertest::kWidth,
                                   rendertest::kHeight, run.error))
    return run;
  CGlListGroupScope group(rendertest::SharedContext().ListGroup());
  run.ok = orvex::CaptureFeedback(doc, view, run.scene, run.page, run.error, first, most);
  return run;
}

// Polygons whose corners differ in colour.
int ShadedPolygons(const CFeedbackScene& scene) {
  int shaded = 0;
  for (const CFeedbackPrimitive& p : scene.primitives) {
    const float* a = scene.Vertex(p.first);
    for (uint32_t i = 1; i < p.count; i++) {
      const float* b = scene.Vertex(p.first + i);
      if (a[3] != b[3] || a[4] != b[4] || a[5] != b[5]) {
        shaded++;
        break;
      }
    }
  }
  return shaded;
}

TEST(EpsFeedback, EveryFaceComesBackInItsShading) {
  const struct {
    const char* name;
    const char* mode;
    long first, most;
    bool shaded;
  } cases[] = {
      {"flat", "Mode/Flat", 64, 1L << 20, false},
      {"Gouraud", "Mode/Gouraud", orvex::kFeedbackFirstFloats, orvex::kFeedbackMaxFloats, true},
  };
  for (const auto& c : cases) {
    auto doc = rendertest::SphereDocument(2);
    rendertest::RunCommand(*doc, c.mode);
    doc->m_bLighting = 1; // lit: the corners of a smooth face differ
    FeedbackRun run = Capture(*doc, c.first, c.most);
    ASSERT_TRUE(run.ok) << c.name << ": " << run.error;
    EXPECT_EQ(run.scene.primitives.size(), 320u) << c.name;
    EXPECT_EQ(run.page.viewport[2], float(rendertest::kWidth));
    EXPECT_EQ(run.page.viewport[3], float(rendertest::kHeight));
    EXPECT_EQ(ShadedPolygons(run.scene) > 0, c.shaded) << c.name;
  }
}

TEST(EpsFeedback, SceneTooLargeForTheLargestBufferIsReported) {
  auto doc = rendertest::SphereDocument(2);
  FeedbackRun run = Capture(*doc, 64, 512);
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.error, "Scene too large for EPS export");
}

} // namespace
