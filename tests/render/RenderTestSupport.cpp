#include "tests/render/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <set>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/offscreen/OffscreenContext.h"
#include "app/offscreen/Snapshot.h"
#include "geometry/Mesh3d.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/support/TestMeshes.h"

namespace rendertest {

orvex::COffscreenContext& SharedContext() {
  static orvex::COffscreenContext context;
  return context;
}

CRgbImage Render(orvex::COffscreenContext& context, const COrvexDoc& doc,
                 const orvex::CRenderViewState& view) {
  CRgbImage image;
  std::string error;
  EXPECT_TRUE(orvex::RenderSnapshot(context, doc, view, kWidth, kHeight, image, error)) << error;
  return image;
}

CRgbImage Render(const COrvexDoc& doc, const orvex::CRenderViewState& view) {
  return Render(SharedContext(), doc, view);
}

std::unique_ptr<COrvexDoc> DocumentWith(CMesh3d* mesh) {
  auto doc = std::make_unique<COrvexDoc>();
  mesh->SetFaceColors(CColor(100, 100, 100));
  mesh->SetVertexColors(CColor(100, 100, 100));
  doc->m_SceneGraph.Add(mesh);
  return doc;
}

std::unique_ptr<COrvexDoc> SphereDocument(int level) {
  return DocumentWith(testmeshes::MakeIcoSphere(level));
}

void RunCommand(COrvexDoc& doc, const std::string& path) {
  CRecordingUserInterface ui;
  orvex::CCommandDispatcher dispatcher(orvex::ApplicationRegistry(), ui);
  const orvex::CommandInfo* info = orvex::ApplicationRegistry().Find(path);
  ASSERT_NE(info, nullptr) << path;
  orvex::CCommandOutcome outcome = dispatcher.Run(*info, &doc);
  EXPECT_EQ(outcome.result, orvex::CommandResult::Done) << path << ": " << outcome.error;
}

int Luminance(const CRgbImage& image, int x, int y) {
  const unsigned char* p = image.Pixel(x, y);
  return (p[0] + p[1] + p[2]) / 3;
}

int CountNot(const CRgbImage& image, int r, int g, int b) {
  int count = 0;
  for (int y = 0; y < image.m_Height; y++)
    for (int x = 0; x < image.m_Width; x++) {
      const unsigned char* p = image.Pixel(x, y);
      if (p[0] != r || p[1] != g || p[2] != b) count++;
    }
  return count;
}

int CountColors(const CRgbImage& image) {
  std::set<int> colors;
  for (size_t i = 0; i + 2 < image.m_Pixels.size(); i += 3)
    colors.insert(image.m_Pixels[i] << 16 | image.m_Pixels[i + 1] << 8 | image.m_Pixels[i + 2]);
  return static_cast<int>(colors.size());
}

double MeanLitX(const CRgbImage& image) {
  double sum = 0.0;
  int count = 0;
  for (int y = 0; y < image.m_Height; y++)
    for (int x = 0; x < image.m_Width; x++)
      if (Luminance(image, x, y) > 0) {
        sum += x;
        count++;
      }
  return count ? sum / count : -1.0;
}

} // namespace rendertest
