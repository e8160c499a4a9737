// Surface tiling run from orvexbox-batch: the tilings and generated levels
// appear in --info with their tiles and polygons, the multi-mesh report
// reaches the clipboard, tilings are not saved, and the commands refuse a
// scene without what they need.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"

TEST(TilingBatch, CommandsEndToEnd) {
  const std::filesystem::path dir = testsupport::FreshTestFolder("orvex_tiling_batch_");
  const std::string ico = std::string(ORVEX_SAMPLES_DIR) + "/icosahedron.wrl";
  const std::string build = "Algorithms/Surface tiling/Build...";
  const std::string optimize = "Algorithms/Surface tiling/Optimize nodal positions...";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {{ico, "--run", build, "--set", "Generate mesh=on", "--set", "Split polygons=on", "--info"},
       0,
       "1 9 12 20 tiling mesh 8 tiles 12 polygons\n2 8 8 12 triangle mesh\n"
       "3 9 8 12 tiling mesh 4 tiles 2 polygons",
       ""},
      {{ico, "--run", build, "--run", optimize, "--info"}, 0, "1 9 12 20 tiling mesh 8 tiles", ""},
      {{ico, "--run", build, "--set", "Multi-mesh=on", "--set", "Multi-mesh (last)=2", "--save",
        "tiled.wrl", "--info"},
       0,
       "0\t9\r\n1\t9\r\n0 8 12 20 triangle mesh\n1 9 12 20 tiling mesh",
       ""},
      // what was saved holds the mesh alone
      {{(dir / "tiled.wrl").string(), "--info"}, 0, "0 8 12 20 triangle mesh\n", ""},
      {{ico, "--run", optimize}, 1, "", "Object 1 is not a tiling"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 2 ? c.args[2] : ""));
    batchprocess::Outcome outcome = batchprocess::Run(ORVEX_BATCH, c.args, dir, dir);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_NE(outcome.out.find(c.out), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
  }
}
