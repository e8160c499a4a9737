// The export and capture commands end to end through orvexbox-batch,
// which draws the default view offscreen: every command's file, the EPS
// shading modes, and the EPS (through Ghostscript) and SVG pictures laid
// over the GL snapshot of the same view.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "io/ReadPng.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/ExportFiles.h"
#include "tests/support/TestFolder.h"

namespace fs = std::filesystem;
using batchprocess::ReadFile;
using testsupport::Occurrences;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

class ExportBatch : public ::testing::Test {
protected:
  void SetUp() override {
    m_Dir = testsupport::FreshTestFolder("orvex_export_");
    fs::copy_file(kSamples + "/icosahedron.wrl", m_Dir / "scene.wrl");
  }

  // Runs the batch program on the copied sample; files it writes under a
  // fixed name land beside it.
  int Batch(std::vector<std::string> args) {
    args.insert(args.begin(), Path("scene.wrl"));
    batchprocess::Outcome outcome = batchprocess::Run(ORVEX_BATCH, args, m_Dir, m_Dir);
    m_Err = outcome.err;
    m_Out = outcome.out;
    return outcome.status;
  }
  std::string Path(const std::string& name) const { return (m_Dir / name).string(); }
  CRgbImage Png(const std::string& name) {
    CRgbImage image;
    std::string error;
    EXPECT_TRUE(ReadPng(Path(name), image, error)) << name << ": " << error;
    return image;
  }

  fs::path m_Dir;
  std::string m_Err, m_Out;
};

// The primitives of an EPS file: what follows the background.
std::string EpsBody(const std::string& eps) {
  const size_t at = eps.find("rectfill\n\n");
  return at == std::string::npos ? std::string() : eps.substr(at);
}

bool Lit(const CRgbImage& image, int x, int y) {
  const unsigned char* p = image.Pixel(x, y);
  return p[0] + p[1] + p[2] > 0;
}

// Share of the snapshot's lit pixels that covered(x, y) covers too.
double Coverage(const CRgbImage& snapshot, const std::function<bool(int, int)>& covered) {
  int lit = 0, both = 0;
  for (int y = 0; y < snapshot.m_Height; y++)
    for (int x = 0; x < snapshot.m_Width; x++)
      if (Lit(snapshot, x, y)) {
        lit++;
        both += covered(x, y) ? 1 : 0;
      }
  return lit ? double(both) / lit : 0.0;
}

TEST_F(ExportBatch, EveryCommandWritesItsFile) {
  ASSERT_EQ(
      Batch({"--run", "File/Export/eps", "--run", "File/Export/bmp", "--run", "Edit/Copy", "--run",
             "Window/AVI/Init", "--run", "Window/AVI/Add frame", "--run", "Window/AVI/Add frame",
             "--run", "Window/AVI/Write", "--run", "Window/AVI/Resize 4/3"}),
      0)
      << m_Err;
  EXPECT_EQ(
      ReadFile(Path("mesh.eps")).rfind("%!PS-Adobe-2.0 EPSF-2.0\n%%BoundingBox: 0 0 640 480\n", 0),
      0u);
  const std::string bmp = ReadFile(Path("view.bmp"));
  ASSERT_EQ(bmp.size(), 54u + 640u * 480u * 3u);
  EXPECT_EQ(testsupport::Le32(bmp, 18), 640u);
  const CRgbImage copy = Png("clipboard.png");
  EXPECT_EQ(copy.m_Width, 640);
  EXPECT_EQ(copy.m_Height, 480);

  // three frames of the default view, each the picture Copy put on the clipboard
  testsupport::AviFile avi;
  std::string error;
  ASSERT_TRUE(testsupport::ReadAvi(ReadFile(Path("video.avi")), avi, error)) << error;
  ASSERT_EQ(avi.movi->children.size(), 75u);
  const size_t frame = avi.movi->children[50].offset;
  for (int y : {0, 240, 479})
    for (int x : {0, 320, 639}) {
      const size_t at = frame + size_t(479 - y) * 640 * 3 + size_t(x) * 3;
      EXPECT_EQ((unsigned char)avi.bytes[at + 2], copy.Pixel(x, y)[0]) << x << "," << y;
      EXPECT_EQ((unsigned char)avi.bytes[at + 1], copy.Pixel(x, y)[1]) << x << "," << y;
    }
  EXPECT_NE(m_Out.find("No main window to resize"), std::string::npos);

  // the metafile commands and the PNG frames
  const char* metafiles[] = {"Edit/Window metafile/Generate MetaFile",
                             "Edit/Window metafile/Generate MetaFile (front faces only)",
                             "Edit/Window metafile/Generate MetaFile (face mode)",
                             "Edit/Window metafile/Parameters..."};
  for (const char* command : metafiles) {
    fs::remove(Path("metafile.svg"));
    ASSERT_EQ(Batch({"--run", "Scene/Process camera", "--run", command}), 0) << command << m_Err;
    EXPECT_NE(ReadFile(Path("metafile.svg")).find("</svg>"), std::string::npos) << command;
    EXPECT_EQ(ReadFile(Path("clipboard.svg")), ReadFile(Path("metafile.svg"))) << command;
  }
  ASSERT_EQ(Batch({"--run", "Window/AVI/Init", "--run", "Window/AVI/Add frame", "--run",
                   "Write PNG frames"}),
            0)
      << m_Err;
  EXPECT_EQ(Png("video_0001.png").m_Width, 640);
  EXPECT_FALSE(fs::exists(Path("video_0002.png")));

  // files named on the command line
  const std::string named = (m_Dir / "named.eps").string();
  ASSERT_EQ(Batch({"--run", "File/Export/eps", "--set", "File=" + named, "--run",
                   "Edit/Window metafile/Parameters...", "--set", "Mode=Back facing + ramp(z)",
                   "--set", "Ramp=Rainbow", "--set", "File=" + Path("ramp.svg")}),
            0)
      << m_Err;
  EXPECT_TRUE(fs::exists(named));
  EXPECT_TRUE(fs::exists(Path("ramp.svg")));
  // a value the dialog refuses
  EXPECT_EQ(Batch({"--run", "Edit/Window metafile/Parameters...", "--set", "Mode=Sideways"}), 2);
}

TEST_F(ExportBatch, FlatModeFillsAndGouraudModeShadesTriangles) {
  ASSERT_EQ(
      Batch({"--run", "Mode/Flat", "--run", "File/Export/eps", "--set", "File=flat.eps", "--run",
             "Mode/Gouraud", "--run", "File/Export/eps", "--set", "File=smooth.eps"}),
      0)
      << m_Err;
  const std::string flat = EpsBody(ReadFile(Path("flat.eps")));
  EXPECT_EQ(Occurrences(flat, "closepath fill\n"), 20u);
  EXPECT_EQ(Occurrences(flat, "] gouraudtriangle\n"), 0u);
  const std::string smooth = EpsBody(ReadFile(Path("smooth.eps")));
  EXPECT_GT(Occurrences(smooth, "] gouraudtriangle\n"), 0u);
  EXPECT_EQ(Occurrences(smooth, "] gouraudtriangle\n") + Occurrences(smooth, "closepath fill\n"),
            20u);
}

TEST_F(ExportBatch, EpsAndSvgCoverTheSnapshotSilhouette) {
  ASSERT_EQ(Batch({"--run", "Mode/Gouraud", "--run", "File/Export/eps", "--run",
                   "Edit/Window metafile/Generate MetaFile (face mode)", "--snapshot",
                   Path("snapshot.png")}),
            0)
      << m_Err;
  const CRgbImage snapshot = Png("snapshot.png");
  ASSERT_EQ(snapshot.m_Width, 640);

  // SVG: the polygons read back, pixel centres tested against them
  const std::string svg = ReadFile(Path("metafile.svg"));
  std::vector<std::vector<double>> triangles;
  const std::regex polygon("<polygon points=\"([-0-9.]+),([-0-9.]+) ([-0-9.]+),([-0-9.]+) "
                           "([-0-9.]+),([-0-9.]+)\"");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), polygon);
       it != std::sregex_iterator(); ++it) {
    std::vector<double> t;
    for (int k = 1; k <= 6; k++) t.push_back(std::stod((*it)[k].str()));
    triangles.push_back(t);
  }
  ASSERT_EQ(triangles.size(), 20u);
  auto inside = [&triangles](int x, int y) {
    const double px = x + 0.5, py = y + 0.5;
    for (const auto& t : triangles) {
      double d[3];
      for (int k = 0; k < 3; k++) {
        const double* a = &t[size_t(2 * k)];
        const double* b = &t[size_t(2 * ((k + 1) % 3))];
        d[k] = (b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0]);
      }
      if ((d[0] >= -1 && d[1] >= -1 && d[2] >= -1) || (d[0] <= 1 && d[1] <= 1 && d[2] <= 1))
        return true;
    }
    return false;
  };
  EXPECT_GE(Coverage(snapshot, inside), 0.95);

  // EPS: drawn by Ghostscript at the view's size
  if (!testsupport::HasGhostscript()) GTEST_SKIP() << "Ghostscript missing";
  CRgbImage eps;
  std::string error;
  ASSERT_TRUE(testsupport::DrawEps(Path("mesh.eps"), Path("eps.png"), eps, error)) << error;
  ASSERT_EQ(eps.m_Width, 640);
  ASSERT_EQ(eps.m_Height, 480);
  EXPECT_GE(Coverage(snapshot, [&eps](int x, int y) { return Lit(eps, x, y); }), 0.95);
}

} // namespace
