// The simplification commands run from orvexbox-batch with their dialogs'
// fields set by label: each ends as expected and says what the user would
// read. The mesh is the sample icosahedron after two Loop steps (162
// vertices, 320 faces).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;
const std::string kLoop = "Algorithms/Surface subdivision/Loop/Std";
const std::string kSimp = "Algorithms/Surface simplification/";

struct Case {
  std::vector<std::string> run; // command and its --set values
  std::vector<std::string> extra;
  int status;
  std::string out; // printed on standard output
  std::string err; // printed on standard error
};

batchprocess::Outcome RunCase(const Case& c, const fs::path& dir) {
  std::vector<std::string> args = {
      kSamples + "/icosahedron.wrl", "--run", kLoop, "--run", kLoop, "--run", c.run[0]};
  for (size_t k = 1; k < c.run.size(); k++) args.insert(args.end(), {"--set", c.run[k]});
  args.insert(args.end(), c.extra.begin(), c.extra.end());
  args.push_back("--info");
  return batchprocess::Run(ORVEX_BATCH, args, dir, dir);
}

} // namespace

TEST(SimplificationBatch, EveryCommandRunsWithItsFieldsSet) {
  fs::path dir = testsupport::FreshTestFolder("orvex_simplification_batch_");
  const Case cases[] = {
      {{kSimp + "Edge Collapse"}, {}, 0, "0 8 161 318", ""},
      {{kSimp + "Independant edge collapse"}, {}, 0, "Independent edge collapse done", ""},
      {{kSimp + "Vertex removals"}, {}, 0, "0 8 162 320", ""},
      {{kSimp + "Edge-based simplification...", "Final=40", "Combination=off",
        "Frequency (updating)=0"},
       {},
       0,
       "0 8 40 ",
       ""},
      {{kSimp + "Edge-based simplification...", "Final=100", "Edge length / Curveness=Edge length",
        "Alpha init=2"},
       {},
       0,
       "0 8 162 320",
       ""},
      // the save dialog is cancelled without --yes
      {{kSimp + "Edge-based simplification...", "Save=on"},
       {},
       1,
       "",
       "The operation has been canceled"},
      {{kSimp + "Error accumulation...", "Final=60", "Visual debugging=off"},
       {},
       0,
       "Accumulator\tRemoved",
       ""},
      {{kSimp + "Face-based simplification...", "Final=100"}, {}, 0, "done, 320 -> 9", ""},
      {{kSimp + "Face-based simplification...", "Final=320"},
       {},
       1,
       "",
       "Invalid geometric complexity wanted"},
      {{kSimp + "Face-based simplification...", "Build smooth geomorph=on", "# stages=2"},
       {},
       0,
       "2 8 ",
       ""},
      {{kSimp + "Debug/Fast face collapses"}, {}, 0, "1 8 ", ""},
      {{kSimp + "Keep # faces...", "Iterations=10"}, {}, 0, "0 8 162 10", ""},
      {{kSimp + "Keep # faces...", "Iterations=-1"}, {}, 2, "", "Iterations"},
      {{kSimp + "Coarse progressive mesh...", "Iterations=4"}, {}, 0, "3 8 162 80", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.run[0] + (c.run.size() > 1 ? " " + c.run[1] : ""));
    batchprocess::Outcome outcome = RunCase(c, dir);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_NE(outcome.out.find(c.out), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
  }
}

TEST(SimplificationBatch, TheSaveFileGoesToTheDefaultNameUnderYesAndOpens) {
  fs::path dir = testsupport::FreshTestFolder("orvex_simplification_save_batch_");
  Case c{{kSimp + "Edge-based simplification...", "Final=80", "Save=on",
          "Frequency (intermediate file)=20"},
         {"--yes"},
         0,
         "0 8 80 ",
         ""};
  batchprocess::Outcome outcome = RunCase(c, dir);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  fs::path saved = dir / "mesh_volumic.wrl";
  ASSERT_TRUE(fs::exists(saved));
  batchprocess::Outcome back = batchprocess::Run(ORVEX_BATCH, {saved.string(), "--info"}, dir);
  EXPECT_EQ(back.status, 0) << back.err;
  // a mesh after the first step, then one every 20 steps
  EXPECT_NE(back.out.find("0 8 161 318"), std::string::npos) << back.out;
  EXPECT_NE(back.out.find("1 8 "), std::string::npos) << back.out;
}
