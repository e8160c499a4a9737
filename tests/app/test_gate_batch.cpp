// The gate coders end to end in the batch program: each coder encodes a
// mesh of the scene, its decoder reads the file back into a new object
// with the same face count, and the files and reports appear.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

const std::string kLoop = "Algorithms/Surface subdivision/Loop/Std";
const std::string kQuadBox = "Predefined/Quad-mesh/box";
const std::string kCatmullClark = "Algorithms/Surface subdivision/Quad-mesh/Catmull-Clark";
const std::string kToPolygons = "Algorithms/Mesh conversion/Quad -> polygonal";

int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(GateBatch, EncodeThenDecodeEachKind) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::vector<const char*> files;
    std::vector<const char*> texts;
    const char* object; // the --info line ending of the coded and decoded object
  };
  const Case cases[] = {
      {"triangles, watched with levels",
       {"--run", kLoop, "--run", kLoop, "--run", "33010", "--set", "Order (0-3)=2", "--run",
        "33011", "--yes"},
       {"mesh.bin", "packed.bin", "levels.wrl"},
       {"Compression Result", "#Vertices: 162", ", order-2 aac", "Output levels ? yes",
        "Decoding....done"},
       " 320 triangle mesh"},
      {"packed triangles",
       {"--run", kLoop, "--run", "33010", "--run", "33011", "--set", "File name=packed.bin"},
       {"mesh.bin", "packed.bin"},
       {"Encoding....done (", "Visual debug ? no", "Decoding....done ("},
       " 80 triangle mesh"},
      {"quads",
       {"--run", kQuadBox, "--run", kCatmullClark, "--run", "33018", "--set", "Adaptive conquest=0",
        "--run", "33019", "--set", "Adaptive conquest=0"},
       {"mesh.bin"},
       {"#C2: ", "Decoding quad-mesh....done ("},
       " 24 quad mesh"},
      {"polygons, best order and distribution",
       {"--run", kQuadBox, "--run", kCatmullClark, "--run", kToPolygons, "--run", "33024", "--set",
        "Choose best order=1", "--run", "33026", "--run", "33025"},
       {"mesh.bin"},
       {"total: ", "Code distribution", "ghost\t1", "Decoding polygon-mesh....done ("},
       " 24 polygon mesh"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = testsupport::FreshTestFolder("gatebatch_");
    fs::copy_file(fs::path(ORVEX_SAMPLES_DIR) / "icosahedron.wrl", dir / "icosahedron.wrl");
    std::vector<std::string> args = {"icosahedron.wrl"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back("--info");
    const batchprocess::Outcome outcome = batchprocess::Run(ORVEX_BATCH, args, dir, dir);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string all = outcome.out + outcome.err;
    for (const char* file : c.files) EXPECT_TRUE(fs::exists(dir / file)) << file;
    for (const char* text : c.texts) EXPECT_NE(all.find(text), std::string::npos) << text;
    EXPECT_EQ(Occurrences(outcome.out, c.object), 2) << outcome.out;
  }
}

TEST(GateBatch, DecodersReportWhatTheyCannotRead) {
  const fs::path dir = testsupport::FreshTestFolder("gatebatch_");
  fs::copy_file(fs::path(ORVEX_SAMPLES_DIR) / "icosahedron.wrl", dir / "icosahedron.wrl");
  {
    std::ofstream junk(dir / "junk.bin", std::ios::binary);
    junk << "not a gate file at all";
  }
  for (const char* command : {"33011", "33019", "33025"})
    for (const char* file : {"absent.bin", "junk.bin"}) {
      SCOPED_TRACE(std::string(command) + " " + file);
      const batchprocess::Outcome outcome = batchprocess::Run(
          ORVEX_BATCH,
          {"icosahedron.wrl", "--run", command, "--set", std::string("File name=") + file}, dir,
          dir);
      EXPECT_NE(outcome.status, 0);
      EXPECT_NE(outcome.err.find(file), std::string::npos) << outcome.err;
    }
}

} // namespace
