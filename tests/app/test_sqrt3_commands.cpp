// The sqrt(3) commands, their history and the silhouette colouring through
// orvexbox-batch: every command with its status text and element counts.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;
const std::string kV3 = "Algorithms/Surface subdivision/V3/";

class Sqrt3Batch : public ::testing::Test {
protected:
  void SetUp() override { m_Dir = testsupport::FreshTestFolder("orvex_sqrt3_"); }

  // Runs the commands (each with its dialog values) on the icosahedron.
  batchprocess::Outcome Run(const std::vector<std::vector<std::string>>& commands) {
    std::vector<std::string> args = {kSamples + "/icosahedron.smf"};
    for (const auto& command : commands) {
      args.push_back("--run");
      args.push_back(command[0]);
      for (size_t i = 1; i < command.size(); i++) {
        args.push_back("--set");
        args.push_back(command[i]);
      }
    }
    args.push_back("--info");
    return batchprocess::Run(ORVEX_BATCH, args, m_Dir);
  }

  std::filesystem::path m_Dir;
};

// The --info line of the icosahedron with v vertices and f faces.
std::string Info(int v, int f) {
  return "0 8 " + std::to_string(v) + " " + std::to_string(f) + " triangle mesh\n";
}

} // namespace

TEST_F(Sqrt3Batch, EveryCommandRunsWithItsStatusAndCounts) {
  struct Row {
    std::vector<std::vector<std::string>> commands;
    std::string status; // a text the run shows ("" for none)
    std::string info;   // the --info line ("" when the counts vary)
  };
  const std::string silhouette = kV3 + "On colored silhouette/";
  const Row rows[] = {
      {{{kV3 + "Flip edges"}}, "V3 done (", Info(32, 60)},
      {{{kV3 + "Alone"}}, "", Info(32, 60)},
      {{{kV3 + "Fixed alpha/2/9"}}, "", Info(32, 60)},
      {{{kV3 + "Fixed alpha/1/3"}}, "", Info(32, 60)},
      // 12 -> 32 -> 92 -> 272 vertices: three steps reach 100
      {{{kV3 + "Max #vertices...", "Iterations=100"}}, "0 out of 1...", Info(272, 540)},
      {{{kV3 + "Max #vertices..."}}, "V3 done (", Info(12, 20)},
      {{{kV3 + "Piecewise"}}, "", ""},
      {{{kV3 + "Parameters...", "Piecewise=on"}}, "", ""},
      {{{kV3 + "Parameters...", "Adaptative mode=on", "# iters=2", "Ratio=0.5"}}, "", ""},
      {{{kV3 + "Parameters..."}}, "", Info(12, 20)},
      {{{kV3 + "Regularize from surface ratios"}}, "", Info(12, 20)},
      {{{kV3 + "Flip edges"}, {kV3 + "History/Recursive undo"}}, "", Info(12, 20)},
      {{{kV3 + "Flip edges"}, {kV3 + "Flip edges"}, {kV3 + "History/Undo"}}, "", ""},
      {{{"Algorithms/Color mesh/Front faces and silhouette"}, {silhouette + "1 iter"}}, "", ""},
      {{{silhouette + "4 iters"}}, "Adaptive refinement done (20 to ", ""},
      {{{silhouette + "4 iters (no debug)"}}, "", ""},
      {{{silhouette + "Parameters...", "Camera=1", "Silhouette=1"}}, "", ""},
      {{{"Scene/Process camera"}, {"Algorithms/Color mesh/Silhouette from current camera"}},
       "",
       Info(12, 20)},
  };
  for (const Row& row : rows) {
    batchprocess::Outcome outcome = Run(row.commands);
    const std::string& first = row.commands[0][0];
    ASSERT_EQ(outcome.status, 0) << first << ": " << outcome.err;
    if (!row.status.empty()) {
      EXPECT_NE(outcome.out.find(row.status), std::string::npos) << first << outcome.out;
    }
    if (!row.info.empty()) {
      EXPECT_NE(outcome.out.find(row.info), std::string::npos) << first << ": " << outcome.out;
    }
  }
}

TEST_F(Sqrt3Batch, RefinementAroundTheSilhouetteStartsFromTheUndoneMesh) {
  // twice in a row: the second run undoes the first, so both end alike
  const std::string command = kV3 + "On colored silhouette/4 iters (no debug)";
  batchprocess::Outcome once = Run({{command}});
  batchprocess::Outcome twice = Run({{command}, {command}});
  ASSERT_EQ(once.status, 0) << once.err;
  ASSERT_EQ(twice.status, 0) << twice.err;
  std::string last = once.out.substr(once.out.rfind("0 8 "));
  EXPECT_EQ(twice.out.substr(twice.out.rfind("0 8 ")), last);
  EXPECT_NE(last, Info(12, 20));
}

TEST_F(Sqrt3Batch, ASeedOutOfRangeDoesNothingAndSaysSo) {
  batchprocess::Outcome outcome = Run({{kV3 + "Parameters...", "Adaptative mode=on", "Seed=99"}});
  EXPECT_NE(outcome.status, 0);
  EXPECT_NE((outcome.out + outcome.err).find("Seed 99 is not a vertex index (0 to 11)"),
            std::string::npos)
      << outcome.out << outcome.err;
}
