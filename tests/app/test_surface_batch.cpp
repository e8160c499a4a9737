// The smoothing, colouring and clean-up commands run from orvexbox-batch:
// each ends as expected and says what the user would read.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

} // namespace

TEST(SurfaceBatch, EveryCommandRunsFromTheBatchRunner) {
  fs::path dir = testsupport::FreshTestFolder("orvex_surface_batch_");
  const std::string mod = "Algorithms/Surface modification/";
  const std::string color = "Algorithms/Color mesh/";
  struct Case {
    std::vector<std::string> run; // command and its --set values
    int status;
    std::string out; // printed on standard output
    std::string err; // printed on standard error
  };
  const Case cases[] = {
      {{mod + "Smooth"}, 0, "0 8 12 20", ""},
      {{mod + "Multiple smooth...", "Iterations=3", "Duplicate in scene graph=on"},
       0,
       "3 8 12 20",
       ""},
      {{mod + "Multiple smooth...", "Iterations=0"}, 2, "", ""},
      {{mod + "Remove faces/no neighbor"}, 0, "0 8 12 20", ""},
      {{mod + "Remove faces/1 neighbor"}, 0, "0 8 12 20", ""},
      {{mod + "Remove faces/2 neighbors"}, 0, "0 8 12 20", ""},
      {{mod + "Remove faces/duplicate"}, 0, "0 8 12 20", ""},
      {{mod + "Remove hole"}, 0, "0 8 12 20", ""},
      {{mod + "Improve compacity"}, 0, "Improve compacity done (0 edges swapped).", ""},
      {{mod + "Spring/Adaptative..."}, 0, "0 8 12 20", ""},
      {{mod + "Pack vertices/Set frequency...", "Iterations=4"}, 0, "0 8 3 20", ""},
      {{mod + "Pack vertices/Set frequency...", "Iterations=1"}, 0, "0 8 12 20", ""},
      {{mod + "Pack vertices/Multiple pack..."}, 0, "15 8 1 20", ""},
      {{color + "Curvature"}, 0, "0 8 12 20", ""},
      {{color + "Normal space"}, 0, "0 8 12 20", ""},
      {{color + "Height"}, 0, "0 8 12 20", ""},
      {{color + "Compacity"}, 0, "0 8 12 20", ""},
      {{color + "Vertices from faces"}, 0, "0 8 12 20", ""},
      {{color + "Faces/# vertex valence", "Nb vertices=3", "Valence=5", "Color=255 0 0"},
       0,
       "0 8 12 20",
       "Color? 255 0 0"},
      // the colour chooser is cancelled without a colour
      {{color + "Faces/# vertex valence", "Nb vertices=3", "Valence=5"}, 1, "", "cancelled"},
      // the dialog's values must be entered
      {{color + "Faces/# vertex valence", "Color=255 0 0"}, 1, "", "Nb vertices"},
      {{color + "Faces/# vertex valence", "Nb vertices=3", "Valence=5", "Color=1 2 300"},
       2,
       "",
       "0 ... 255"},
      {{"Geometry/Mean compacity"}, 0, "Mean compacity: 0.6046", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.run[0]);
    std::vector<std::string> args = {kSamples + "/icosahedron.wrl", "--run", c.run[0]};
    for (size_t k = 1; k < c.run.size(); k++) args.insert(args.end(), {"--set", c.run[k]});
    args.push_back("--info");
    batchprocess::Outcome outcome = batchprocess::Run(ORVEX_BATCH, args, dir);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_NE(outcome.out.find(c.out), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
  }
}
