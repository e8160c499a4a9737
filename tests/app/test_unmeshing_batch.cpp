// The wavefront commands run from orvexbox-batch: each ends as expected and
// says what the user would read.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"

TEST(UnmeshingBatch, BothCommandsRunFromTheBatchRunner) {
  std::filesystem::path dir = testsupport::FreshTestFolder("orvex_unmeshing_batch_");
  struct Case {
    std::vector<std::string> run; // command and its --set values
    int status;
    std::vector<std::string> out; // printed on standard output, in order
    std::string err;
  };
  const Case cases[] = {
      // the icosahedron unmeshes to an octahedron
      {{"Unmeshing"},
       0,
       {"Build wavefront...", "Wavefront done (", "Unmesh across, then along...",
        "Unmeshing wavefront done (", "0 8 6 8 triangle mesh"},
       ""},
      {{"Unmeshing", "Unmesh (Along)=off"}, 0, {"Unmesh across...", "triangle mesh"}, ""},
      {{"Unmeshing", "Across first=off"}, 0, {"Unmesh along...", "Unmesh across..."}, ""},
      {{"Unmeshing", "Copy to scenegraph=on", "Color faces from wavefront=on"},
       0,
       {"Copy mesh...", "Color faces from wavefront...", "0 8 6 8", "1 8 12 20"},
       ""},
      {{"Unmeshing", "Seed face=20"}, 1, {}, "Seed face 20 is not a face of the mesh"},
      {{"Unmeshing", "Period (Along)=0"}, 2, {}, "Period (Along)"},
      {{"Remeshing"},
       0,
       {"Remesh along...", "Two vertices per edge...", "Two vertices per edge done (",
        "Remesh across...", "One vertex per edge...", "One vertex per edge done (",
        "0 8 90 176 triangle mesh"},
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.run.size() > 1 ? c.run[1] : c.run[0]);
    std::vector<std::string> args = {std::string(ORVEX_SAMPLES_DIR) + "/icosahedron.wrl", "--run",
                                     c.run[0]};
    for (size_t k = 1; k < c.run.size(); k++) args.insert(args.end(), {"--set", c.run[k]});
    args.push_back("--info");
    batchprocess::Outcome outcome = batchprocess::Run(ORVEX_BATCH, args, dir);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    size_t at = 0;
    for (const std::string& line : c.out) {
      at = outcome.out.find(line, at);
      EXPECT_NE(at, std::string::npos) << line << " in\n" << outcome.out;
      if (at == std::string::npos) break;
    }
    EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
  }
}
