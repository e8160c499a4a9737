// The simplification commands run from orvexbox-batch with their dialogs'
// fields set by label: each ends as expected and says what the user would
// read. The mesh is the sample icosahedron after two Loop steps (162
// vertices, 320 faces).

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
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
  const char* run; // the command below kSimp, then its --set values, split at '|'
  int status;
  const char* out; // printed on standard output
  const char* err; // printed on standard error
};

batchprocess::Outcome RunCase(const Case& c, const fs::path& dir,
                              const std::vector<std::string>& extra = {}) {
  std::vector<std::string> args = {kSamples + "/icosahedron.wrl", "--run", kLoop, "--run", kLoop};
  std::istringstream parts(c.run);
  std::string part;
  for (bool first = true; std::getline(parts, part, '|'); first = false)
    args.insert(args.end(), {first ? "--run" : "--set", first ? kSimp + part : part});
  args.insert(args.end(), extra.begin(), extra.end());
  args.push_back("--info");
  return batchprocess::Run(ORVEX_BATCH, args, dir, dir);
}

void ExpectOutcome(const batchprocess::Outcome& outcome, const Case& c) {
  EXPECT_EQ(outcome.status, c.status) << outcome.err;
  EXPECT_NE(outcome.out.find(c.out), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
}

} // namespace

TEST(SimplificationBatch, EveryCommandRunsWithItsFieldsSet) {
  fs::path dir = testsupport::FreshTestFolder("orvex_simplification_batch_");
  const Case cases[] = {
      {"Edge Collapse", 0, "0 8 161 318", ""},
      {"Independant edge collapse", 0, "Independent edge collapse done", ""},
      {"Vertex removals", 0, "0 8 162 320", ""},
      {"Edge-based simplification...|Final=40|Combination=off|Frequency (updating)=0", 0, "0 8 40 ",
       ""},
      {"Edge-based simplification...|Final=100|Edge length / Curveness=Edge length|Alpha init=2", 0,
       "0 8 162 320", ""},
      // the save dialog is cancelled without --yes
      {"Edge-based simplification...|Save=on", 1, "", "The operation has been canceled"},
      {"Error accumulation...|Final=60|Visual debugging=off", 0, "Accumulator\tRemoved", ""},
      {"Face-based simplification...|Final=100", 0, "done, 320 -> 9", ""},
      {"Face-based simplification...|Final=320", 1, "", "Invalid geometric complexity wanted"},
      {"Face-based simplification...|Build smooth geomorph=on|# stages=2", 0, "2 8 ", ""},
      {"Debug/Fast face collapses", 0, "1 8 ", ""},
      {"Keep # faces...|Iterations=10", 0, "0 8 162 10", ""},
      {"Keep # faces...|Iterations=-1", 2, "", "Iterations"},
      {"Coarse progressive mesh...|Iterations=4", 0, "3 8 162 80", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.run);
    ExpectOutcome(RunCase(c, dir), c);
  }
}

TEST(SimplificationBatch, TheSaveFileGoesToTheDefaultNameUnderYesAndOpens) {
  fs::path dir = testsupport::FreshTestFolder("orvex_simplification_save_batch_");
  const Case c{"Edge-based simplification...|Final=80|Save=on|Frequency (intermediate file)=20", 0,
               "0 8 80 ", ""};
  ExpectOutcome(RunCase(c, dir, {"--yes"}), c);
  fs::path saved = dir / "mesh_volumic.wrl";
  ASSERT_TRUE(fs::exists(saved));
  batchprocess::Outcome back = batchprocess::Run(ORVEX_BATCH, {saved.string(), "--info"}, dir);
  EXPECT_EQ(back.status, 0) << back.err;
  // a mesh after the first step, then one every 20 steps
  EXPECT_NE(back.out.find("0 8 161 318"), std::string::npos) << back.out;
  EXPECT_NE(back.out.find("1 8 "), std::string::npos) << back.out;
}
