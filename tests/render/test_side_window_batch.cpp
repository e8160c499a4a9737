// The side windows in orvexbox-batch: the data analysis end to end, the
// Multiview picture drawn offscreen, and the interactive windows refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "io/ReadPng.h"
#include "io/Texture.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

class SideWindowBatch : public ::testing::Test {
protected:
  void SetUp() override {
    m_Dir = testsupport::FreshTestFolder("orvex_side_batch_");
    fs::copy_file(kSamples + "/icosahedron.smf", m_Dir / "ico.smf");
    std::ofstream(m_Dir / "dots.pts") << "9 7\n4 3 80\n1 1 40\n";
    std::ofstream(m_Dir / "bad.faces") << "9 7\n0 0 8 0 0 6\n";
  }
  batchprocess::Outcome Batch(const std::vector<std::string>& args) {
    std::vector<std::string> all = {(m_Dir / "ico.smf").string()};
    all.insert(all.end(), args.begin(), args.end());
    return batchprocess::Run(ORVEX_BATCH, all, m_Dir);
  }
  // A --set of the data file; file names start from where the program runs.
  std::string File(const char* name) const { return "File=" + (m_Dir / name).string(); }
  fs::path m_Dir;
};

TEST_F(SideWindowBatch, DataAnalysisWritesTheGreyPictureBesideTheDocument) {
  struct Case {
    const char* process;
    int centreGrey;
  };
  // Smoothed: (4 * 80 - 12 empty neighbours) / 16 = 19.25 of 80, grey 61.
  for (const Case& c : {Case{"None", 255}, Case{"Recursive filling", 255}, Case{"Fill", 255},
                        Case{"Gaussain 3x3", 61}}) {
    fs::remove(m_Dir / "drome_9_7.bmp");
    const auto run = Batch({"--run", "Debug/Drome/Analysis", "--set", File("dots.pts"), "--set",
                            std::string("Process=") + c.process});
    ASSERT_EQ(run.status, 0) << c.process << ": " << run.err;
    CTexture picture;
    ASSERT_TRUE(picture.ReadBmp((m_Dir / "drome_9_7.bmp").string())) << c.process;
    EXPECT_EQ(picture.GetWidth(), 9u);
    unsigned char r, g, b;
    picture.GetColor(4, 3, r, g, b);
    // BMP rows are stored from the bottom: pixel row 3 of 7 is storage row 3.
    EXPECT_EQ(static_cast<int>(r), c.centreGrey) << c.process;
    EXPECT_EQ(r, b);
  }
}

// One quadrant of the picture as rows of bytes.
std::string Quadrant(const CRgbImage& image, int column, int row) {
  const int w = image.m_Width / 2, h = image.m_Height / 2;
  std::string bytes;
  for (int y = row * h; y < (row + 1) * h; ++y)
    bytes.append(reinterpret_cast<const char*>(image.Pixel(column * w, y)), 3 * w);
  return bytes;
}

std::size_t DifferentBytes(const std::string& a, const std::string& b) {
  std::size_t count = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) count += a[i] != b[i] ? 1 : 0;
  return count;
}

TEST_F(SideWindowBatch, MultiviewWritesFourPanesInOnePicture) {
  const auto run =
      Batch({"--run", "Window/Multi view...", "--set", "File=" + (m_Dir / "mv.png").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  CRgbImage picture;
  std::string error;
  ASSERT_EQ(ReadPng((m_Dir / "mv.png").string(), picture, error), 1) << error;
  EXPECT_EQ(picture.m_Width, 640);
  EXPECT_EQ(picture.m_Height, 480);
  const std::string unturned = Quadrant(picture, 0, 0);
  EXPECT_LT(DifferentBytes(Quadrant(picture, 1, 1), unturned), 100u);
  EXPECT_GT(DifferentBytes(Quadrant(picture, 1, 0), unturned), 1000u); // turned by 90 degrees
  EXPECT_GT(DifferentBytes(unturned, std::string(unturned.size(), '\0')), 10000u);
  // every edge of the icosahedron drawn over its faces in white (about 950
  // pixels; 440 when the faces hid half of them)
  int white = 0;
  for (int y = 0; y < picture.m_Height / 2; ++y)
    for (int x = 0; x < picture.m_Width / 2; ++x) {
      const unsigned char* p = picture.Pixel(x, y);
      white += p[0] > 200 && p[1] > 200 && p[2] > 200 ? 1 : 0;
    }
  EXPECT_GT(white, 800);
  // The default name.
  ASSERT_EQ(Batch({"--run", "Window/Multi view..."}).status, 0);
  EXPECT_TRUE(fs::exists(m_Dir / "multiview.png"));
}

TEST_F(SideWindowBatch, RefusalsExitWithAMessage) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {{"--run", "Textures/Map"}, 1, "\"&Textures/Map\" needs a window"},
      {{"--run", "Window/Spline..."}, 1, "needs a window"},
      {{"--run", "Debug/Drome/Analysis"}, 1, "needs a \"File\""},
      {{"--run", "Debug/Drome/Analysis", "--set", File("bad.faces")}, 1, "line 2: expected"},
      {{"--run", "Debug/Drome/Analysis", "--set", File("dots.pts"), "--set", "Process=Blur"},
       1,
       "Unknown process \"Blur\""},
      {{"--run", "Debug/Drome/Analysis", "--set", File("none.pts")}, 1, "cannot be opened"},
  };
  for (const Case& c : cases) {
    const auto run = Batch(c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(m_Dir / "drome_9_7.bmp"));
}

} // namespace
