// orvexbox-batch --snapshot end to end: the built program writes a PNG
// picture of the scene without any display.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/ReadPng.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

class BatchSnapshot : public ::testing::Test {
protected:
  void SetUp() override {
    // a folder per test: ctest runs the tests side by side
    m_Dir = testsupport::FreshTestFolder("orvex_snapshot_");
  }

  // Exit status; standard error in m_Err.
  int Batch(const std::vector<std::string>& args) {
    batchprocess::Outcome outcome = batchprocess::Run(ORVEX_BATCH, args, m_Dir);
    m_Err = outcome.err;
    return outcome.status;
  }

  std::string Path(const std::string& name) const { return (m_Dir / name).string(); }

  fs::path m_Dir;
  std::string m_Err;
};

} // namespace

TEST_F(BatchSnapshot, WritesAPictureOfTheSceneAfterTheCommands) {
  const std::string input = kSamples + "/icosahedron.smf";
  ASSERT_EQ(Batch({input, "--snapshot", Path("shaded.png")}), 0) << m_Err;
  CRgbImage shaded;
  std::string error;
  ASSERT_TRUE(ReadPng(Path("shaded.png"), shaded, error)) << error;
  EXPECT_EQ(shaded.m_Width, 640);
  EXPECT_EQ(shaded.m_Height, 480);
  const int covered = rendertest::CountNot(shaded, 0, 0, 0);
  EXPECT_GT(covered, 640 * 480 / 50);
  EXPECT_LT(covered, 640 * 480 / 2);

  // the commands run before the picture is taken
  ASSERT_EQ(Batch({input, "--run", "Mode/Line", "--snapshot", Path("lines.png"), "--snapshot-size",
                   "320x200"}),
            0)
      << m_Err;
  CRgbImage lines;
  ASSERT_TRUE(ReadPng(Path("lines.png"), lines, error)) << error;
  EXPECT_EQ(lines.m_Width, 320);
  EXPECT_EQ(lines.m_Height, 200);
  EXPECT_GT(rendertest::CountNot(lines, 0, 0, 0), 0);
  EXPECT_LT(rendertest::CountNot(lines, 0, 0, 0), covered / 4);
}

TEST_F(BatchSnapshot, AFailedSnapshotExitsWithAMessage) {
  const std::string input = kSamples + "/icosahedron.smf";
  EXPECT_EQ(Batch({input, "--snapshot", Path("missing/folder/x.png")}), 1);
  EXPECT_NE(m_Err.find("cannot write the snapshot"), std::string::npos) << m_Err;
  EXPECT_EQ(Batch({input, "--snapshot", Path("x.png"), "--snapshot-size", "64"}), 2);
  EXPECT_NE(m_Err.find("--snapshot-size needs WxH"), std::string::npos) << m_Err;
  EXPECT_FALSE(fs::exists(Path("x.png")));
}
