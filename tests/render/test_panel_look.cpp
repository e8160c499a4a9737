// What the command panel's materials look like: a plain sphere read from a
// ".smf" file shows its shape in many lit levels under the default
// material and the panel's swatches, and each preset shows its hue.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unordered_map>

#include "geometry/Mesh3d.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/PanelHarness.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace rendertest;
using orvex::CommandResult;

namespace {

// A sphere of 5,120 faces without colours, as a ".smf" file (0-based
// corners).
std::string WriteSphereSmf(const std::filesystem::path& dir) {
  const std::string path = (dir / "sphere.smf").string();
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeIcoSphere(4));
  std::ofstream smf(path);
  smf.precision(17);
  std::unordered_map<const CVertex3d*, int> index;
  for (int i = 0; i < mesh->NbVertex(); i++) {
    const CVertex3d* v = mesh->GetVertex(i);
    index[v] = i;
    smf << "v " << v->x << " " << v->y << " " << v->z << "\n";
  }
  for (int i = 0; i < mesh->NbFace(); i++) {
    const CFace3d* f = mesh->GetFace(i);
    smf << "f";
    for (int k = 0; k < 3; k++) smf << " " << index[f->v(k)];
    smf << "\n";
  }
  return path;
}

// Lit pixels: not the black background.
struct LitMeasure {
  int lit = 0;
  int nearWhite = 0;
  std::set<int> levels;
  double mean[3] = {0.0, 0.0, 0.0};
};

LitMeasure Measure(const CRgbImage& image) {
  LitMeasure m;
  for (int y = 0; y < image.m_Height; y++)
    for (int x = 0; x < image.m_Width; x++) {
      const unsigned char* p = image.Pixel(x, y);
      if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
      m.lit++;
      if (std::min({p[0], p[1], p[2]}) > 240) m.nearWhite++;
      m.levels.insert(Luminance(image, x, y));
      for (int k = 0; k < 3; k++) m.mean[k] += p[k];
    }
  for (double& c : m.mean) c /= std::max(1, m.lit);
  return m;
}

class PanelLook : public ::testing::Test {
protected:
  void SetUp() override {
    m_Dir = testsupport::FreshTestFolder("orvex_panel_look_");
    m_Path = WriteSphereSmf(m_Dir);
  }
  // A new document holding the sphere, with its panel.
  std::unique_ptr<testmeshes::CPanelHarness> Open() {
    auto h = std::make_unique<testmeshes::CPanelHarness>();
    EXPECT_EQ(h->doc->OpenByExtension(m_Path), 1) << h->doc->GetLastError();
    EXPECT_EQ(h->Mesh(0)->NbFace(), 5120);
    return h;
  }
  CRgbImage Picture(testmeshes::CPanelHarness& h) {
    orvex::CRenderViewState view;
    view.FrameScene(h.doc->m_SceneGraph);
    return Render(*h.doc, view);
  }

  std::filesystem::path m_Dir;
  std::string m_Path;
};

TEST_F(PanelLook, PlainSphereShowsManyLitLevelsAndLittleWhite) {
  struct Case {
    const char* shading;
    bool panelSwatches;
  } cases[] = {
      {"Mode/Flat", false}, {"Mode/Gouraud", false}, {"Mode/Flat", true}, {"Mode/Gouraud", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.shading) + (c.panelSwatches ? " with the panel's swatches" : ""));
    auto h = Open();
    ASSERT_EQ(h->Run(c.shading), CommandResult::Done);
    if (c.panelSwatches) {
      const orvex::CCommandPanelState& panel = h->Panel();
      for (auto [command, color] :
           {std::pair{"Panel/Materials/Ambient", panel.m_MaterialAmbient},
            std::pair{"Panel/Materials/Diffuse", panel.m_MaterialDiffuse},
            std::pair{"Panel/Materials/Specular", panel.m_MaterialSpecular}})
        ASSERT_EQ(h->Run(command, {{"Color", orvex::PanelColorText(color)}}), CommandResult::Done);
    }
    const LitMeasure m = Measure(Picture(*h));
    ASSERT_GT(m.lit, kWidth * kHeight / 8);
    EXPECT_GE(m.levels.size(), 50u);
    EXPECT_LT(m.nearWhite, m.lit / 20);
  }
}

TEST_F(PanelLook, PresetsShowTheirHue) {
  struct Case {
    const char* preset;
    int strongest, weakest; // colour channels 0 red, 1 green, 2 blue; -1 none
  } cases[] = {{"Brass", 0, 2}, {"Pewter", 2, -1}, {"Light blue", 2, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.preset);
    auto h = Open();
    ASSERT_EQ(h->Run("Mode/Gouraud"), CommandResult::Done);
    ASSERT_EQ(h->Run("Panel/Materials/Predefined", {{"Name", c.preset}}), CommandResult::Done);
    const LitMeasure m = Measure(Picture(*h));
    ASSERT_GT(m.lit, 0);
    for (int k = 0; k < 3; k++) {
      if (k != c.strongest) {
        EXPECT_GT(m.mean[c.strongest], m.mean[k] + 5) << k;
      }
      if (c.weakest >= 0 && k != c.weakest) {
        EXPECT_LT(m.mean[c.weakest], m.mean[k] - 5) << k;
      }
    }
  }
}

// orvexbox-batch draws the preset a panel command applied.
TEST(PanelLookBatch, PresetChangesTheSnapshot) {
  std::filesystem::path dir = testsupport::FreshTestFolder("orvex_panel_snapshot_");
  const std::string input = std::string(ORVEX_SAMPLES_DIR) + "/icosahedron.wrl";
  const std::string plain = (dir / "plain.png").string();
  const std::string brass = (dir / "brass.png").string();
  ASSERT_EQ(batchprocess::Run(ORVEX_BATCH, {input, "--snapshot", plain}, dir).status, 0);
  ASSERT_EQ(batchprocess::Run(ORVEX_BATCH,
                              {input, "--run", "Panel/Materials/Predefined", "--set", "Name=Brass",
                               "--snapshot", brass},
                              dir)
                .status,
            0);
  EXPECT_NE(batchprocess::ReadFile(plain), batchprocess::ReadFile(brass));
}

} // namespace
