#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "compression/StackRunCoder.h"
#include "compression/ValenceConquest.h"
#include "compression/ValenceFiles.h"
#include "compression/ValenceGeometry.h"

using orvex::CValenceQuantizer;

TEST(ValenceQuantizer, RoundsHalvesUpClampsAndSurvivesAFlatRange) {
  CValenceQuantizer q;
  q.m_Min = -1.0;
  q.m_Max = 1.0;
  q.m_Bits = 4; // 15 steps
  EXPECT_EQ(q.Quantize(-1.0), 0);
  EXPECT_EQ(q.Quantize(-5.0), 0);
  EXPECT_EQ(q.Quantize(1.0), 15);
  EXPECT_EQ(q.Quantize(7.0), 15);
  EXPECT_EQ(q.Quantize(-1.0 + 2.0 * 7.5 / 15.0), 8); // a half rounds up
  EXPECT_DOUBLE_EQ(q.Reconstruct(15), 1.0);
  EXPECT_DOUBLE_EQ(q.Reconstruct(0), -1.0);
  q.m_Min = q.m_Max = 0.25;
  EXPECT_EQ(q.Quantize(0.25), 0);
  EXPECT_DOUBLE_EQ(q.Reconstruct(0), 0.25);
}

TEST(ValenceGeometryFrame, ParametersRoundTripAndNormalizationScales) {
  CVector3d t0(0, 0, 0), t1(2, 0, 0), t2(0.4, 3, 0.5), h(1.5, 1.0, 2.0);
  for (int type = 0; type <= 4; ++type) {
    orvex::CValenceFrame frame = orvex::MakeFrame(t0, t1, t2, type);
    double p[3];
    orvex::FrameParameters(frame, h, p);
    CVector3d back = orvex::FramePoint(frame, p);
    EXPECT_NEAR(back.x, h.x, 1e-12) << type;
    EXPECT_NEAR(back.y, h.y, 1e-12) << type;
    EXPECT_NEAR(back.z, h.z, 1e-12) << type;
  }
  // types 2..4 give the normal parameter in units of the frame's scale
  orvex::CValenceFrame edge = orvex::MakeFrame(t0, t1, t2, 3);
  EXPECT_DOUBLE_EQ(edge.m_Scale, 2.0);
  EXPECT_DOUBLE_EQ(edge.m_Axis1.Length(), 2.0);
  // a frame whose first axis has no x component gives 0, 0 as the x/y solve
  orvex::CValenceFrame vertical = orvex::MakeFrame(t0, t1, CVector3d(0, 0, 1), 0);
  double p[3];
  orvex::FrameParameters(vertical, h, p);
  EXPECT_EQ(p[0], 0.0);
  EXPECT_EQ(p[1], 0.0);
}

TEST(StackRunCoder, RoundTripsRunsSignsAndLargeValues) {
  std::mt19937 random(5);
  std::vector<std::vector<int>> sequences = {
      {}, {6}, {6, 6, 6}, {3}, {0, 1, 30, 2, 6, 6, 7, 300, 6}, std::vector<int>(5000, 6)};
  std::vector<int> mixed;
  for (int i = 0; i < 20000; ++i) mixed.push_back(random() % 4 ? 6 : int(random() % 12));
  sequences.push_back(mixed);
  for (const auto& values : sequences) {
    orvex::CStackRunResult coded =
        orvex::EncodeStackRun(values.data(), static_cast<int>(values.size()), -6);
    ASSERT_EQ(coded.m_Ok, 1) << coded.m_Error;
    EXPECT_EQ(coded.m_Bits, 8 * static_cast<long long>(coded.m_Bytes.size()));
    std::vector<int> decoded;
    ASSERT_EQ(orvex::DecodeStackRun(coded.m_Bytes, -6, decoded), 1) << values.size();
    EXPECT_EQ(decoded, values);
  }
  // all-zero runs cost next to nothing
  std::vector<int> regular(100000, 6);
  EXPECT_LT(orvex::EncodeStackRun(regular.data(), 100000, -6).m_Bits, 200);
  // a truncated stream is refused, never a crash
  orvex::CStackRunResult coded =
      orvex::EncodeStackRun(mixed.data(), static_cast<int>(mixed.size()), -6);
  coded.m_Bytes.resize(coded.m_Bytes.size() / 2);
  std::vector<int> decoded;
  EXPECT_EQ(orvex::DecodeStackRun(coded.m_Bytes, -6, decoded), 0);
}

TEST(ValenceSplitRank, NearestFirstAndEqualDistancesKeepListOrder) {
  std::vector<double> d = {2.0, 1.0, 2.0, 0.5, 2.0};
  EXPECT_EQ(orvex::StableDistanceRank(d, 3), 0);
  EXPECT_EQ(orvex::StableDistanceRank(d, 1), 1);
  EXPECT_EQ(orvex::StableDistanceRank(d, 0), 2);
  EXPECT_EQ(orvex::StableDistanceRank(d, 2), 3);
  EXPECT_EQ(orvex::StableDistanceRank(d, 4), 4);
}

TEST(ValenceFiles, PathsBesideThePackedFile) {
  EXPECT_EQ(orvex::PathBeside("mesh.bin", "codes.txt"), "codes.txt");
  EXPECT_EQ(orvex::PathBeside("/tmp/out/mesh.bin", "codes.txt"), "/tmp/out/codes.txt");
  EXPECT_EQ(orvex::WriteBytesReplacing("/no/such/folder/mesh.bin", {1, 2}), 0);
}
