// orvexbox-batch end to end: the built program on sample files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

using BatchResult = batchprocess::Outcome;

class BatchTest : public ::testing::Test {
protected:
  void SetUp() override { m_Dir = testsupport::FreshTestFolder("orvex_batch_"); }

  BatchResult Batch(const std::vector<std::string>& args) {
    return batchprocess::Run(ORVEX_BATCH, args, m_Dir);
  }

  std::string Sample(const std::string& name) { return kSamples + "/" + name; }
  std::string Path(const std::string& name) { return (m_Dir / name).string(); }

  fs::path m_Dir;
};

} // namespace

TEST_F(BatchTest, OpenRunSaveReopenCompare) {
  BatchResult info = Batch({Sample("icosahedron.smf"), "--info"});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out, "0 8 12 20 triangle mesh\n");

  // commands by path with and without ampersands; the same status lines
  std::string saved = Path("copy.wrl");
  BatchResult run = Batch({Sample("icosahedron.wrl"), "--run", "&Algorithms/Weld", "--run",
                           "Scene/Duplicate/Last mesh", "--run", "algorithms/cleanup", "--save",
                           saved, "--info"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Weld....\nWeld....done\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Cleanup done, 40 -> 40 faces"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("0 8 12 20 triangle mesh\n1 8 12 20 triangle mesh\n"), std::string::npos)
      << run.out;
  EXPECT_NE(run.err.find("Save moodifications ? yes"), std::string::npos);

  BatchResult again = Batch({saved, "--info"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, "0 8 12 20 triangle mesh\n1 8 12 20 triangle mesh\n");

  // a dialog field set by its label
  BatchResult range = Batch({Sample("icosahedron.smf"), "--run", "Geometry/Range...", "--set",
                             "X min=0", "--set", "X max=100", "--save", Path("range.wrl")});
  ASSERT_EQ(range.status, 0) << range.err;
  EXPECT_NE(batchprocess::ReadFile(Path("range.wrl")).find("100"), std::string::npos);
}

TEST_F(BatchTest, FailuresExitNonZeroWithAMessage) {
  const std::string input = Sample("icosahedron.smf");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {{input, "--run", "Algorithms/No such command"}, 2, "unknown command"},
      {{input, "--run", "Geometry/Range...", "--set", "Speed=3"}, 2, "no field \"Speed\""},
      {{input, "--run", "Geometry/Range...", "--set", "X min=abc"}, 2, "needs a number"},
      {{input, "--set", "X min=0"}, 2, "before any --run"},
      {{input, "--bogus"}, 2, "unknown option"},
      {{"--version", "--bogus"}, 2, "usage: orvexbox-batch"},
      {{}, 2, "no input file"},
      {{input, "--run", "Geometry/Bidon"}, 1, "not available yet"},
      {{input, "--run", "View/Toolbar"}, 1, "served by the frame"},
      {{Path("missing.smf"), "--info"}, 1, "cannot open"},
      {{Sample("icosahedron.smf") + ".xyz"}, 1, "cannot open"},
      {{input, "--save", Path("out.xyz")}, 1, "cannot save"},
      {{input, "--snapshot", Path("x.png"), "--snapshot-size", "0x480"}, 2, "--snapshot-size"},
  };
  for (const Case& c : cases) {
    BatchResult result = Batch(c.args);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
  EXPECT_FALSE(fs::exists(Path("out.xyz")));
}

// Started from one folder on an input in another: the commands' own files
// go beside the input, --save names a file from where the program started.
TEST_F(BatchTest, OutputsGoBesideTheInputAndSaveFromTheStartFolder) {
  fs::create_directories(m_Dir / "input");
  fs::create_directories(m_Dir / "start");
  fs::copy_file(Sample("icosahedron.smf"), m_Dir / "input" / "ico.smf");
  BatchResult run =
      batchprocess::Run(ORVEX_BATCH,
                        {(m_Dir / "input" / "ico.smf").string(), "--run",
                         "File/Export/scene to multiple iv files", "--save", "saved.wrl"},
                        m_Dir, m_Dir / "start");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::exists(m_Dir / "input" / "mesh0.iv"));
  EXPECT_TRUE(fs::exists(m_Dir / "start" / "saved.wrl"));
  EXPECT_FALSE(fs::exists(m_Dir / "start" / "mesh0.iv"));
  EXPECT_FALSE(fs::exists(m_Dir / "input" / "saved.wrl"));
}

// A file named in a --set value is found from the start folder too; the
// command's default name still goes beside the input.
TEST_F(BatchTest, FilesNamedInSetValuesStartFromTheStartFolder) {
  fs::create_directories(m_Dir / "input");
  fs::create_directories(m_Dir / "start" / "out");
  fs::copy_file(Sample("icosahedron.smf"), m_Dir / "input" / "ico.smf");
  const std::string input = (m_Dir / "input" / "ico.smf").string();
  BatchResult named = batchprocess::Run(
      ORVEX_BATCH, {input, "--run", "32986", "--set", "File name (...)=out/packed.bin"}, m_Dir,
      m_Dir / "start");
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_TRUE(fs::exists(m_Dir / "start" / "out" / "packed.bin"));
  EXPECT_FALSE(fs::exists(m_Dir / "input" / "out"));

  BatchResult unnamed =
      batchprocess::Run(ORVEX_BATCH, {input, "--run", "32986"}, m_Dir, m_Dir / "start");
  ASSERT_EQ(unnamed.status, 0) << unnamed.err;
  EXPECT_TRUE(fs::exists(m_Dir / "input" / "mesh.bin"));
  EXPECT_FALSE(fs::exists(m_Dir / "start" / "mesh.bin"));
}

TEST_F(BatchTest, ListCommandsShowsTheRegistry) {
  BatchResult list = Batch({"--list-commands"});
  ASSERT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("32986\tValence-centered encoding\tCtrl+Z\tdocument\tavailable"),
            std::string::npos);
  EXPECT_NE(list.out.find("\t&Algorithms/Weld\t-\tdocument\tavailable\n"), std::string::npos);
  EXPECT_NE(list.out.find("\t\"Iterations\" integer = 1 [1 .. 999]\n"), std::string::npos);
}

TEST_F(BatchTest, SubdivisionCommandsRunFromTheBatchRunner) {
  BatchResult loop =
      Batch({Sample("icosahedron.smf"), "--run", "Algorithms/Surface subdivision/Loop/Std", "--run",
             "Algorithms/Surface subdivision/Loop/Multiple...", "--set", "Iterations=2", "--info"});
  ASSERT_EQ(loop.status, 0) << loop.err;
  EXPECT_NE(loop.out.find("Loop done, 20 -> 80 faces, "), std::string::npos) << loop.out;
  EXPECT_NE(loop.out.find("0 8 642 1280 triangle mesh\n"), std::string::npos) << loop.out;

  // every command of the submenu has its handler
  BatchResult list = Batch({"--list-commands"});
  for (const char* item :
       {"Loop/&Std", "Loop/&Multiple...", "Simple (1->4)", "Fractal", "Loop/&Adaptive/Random",
        "Loop/&Adaptive/Curvature", "Loop/&Adaptive/On active face"}) {
    std::string path = std::string("&Algorithms/Surface subdivision/") + item;
    size_t at = list.out.find("\t" + path + "\t");
    ASSERT_NE(at, std::string::npos) << path;
    EXPECT_NE(list.out.find("\tavailable\n", at), std::string::npos) << path;
    EXPECT_LT(list.out.find("\tavailable\n", at), list.out.find('\n', at) + 1) << path;
  }
}

TEST_F(BatchTest, BinarySceneAndMeshOpenBackAndCoderFilesAreRefused) {
  const std::string input = Path("ico.wrl");
  fs::copy_file(Sample("icosahedron.wrl"), input);
  BatchResult saved = Batch({input, "--save", Path("scene.raw")});
  ASSERT_EQ(saved.status, 0) << saved.err;
  ASSERT_EQ(Batch({input, "--save", Path("mesh.bin")}).status, 0);
  for (const char* name : {"scene.raw", "mesh.bin"}) {
    BatchResult info = Batch({Path(name), "--info"});
    ASSERT_EQ(info.status, 0) << name << ": " << info.err;
    EXPECT_EQ(info.out, "0 8 12 20 triangle mesh\n") << name;
  }

  // the valence coder's packed file has the same name and another layout
  ASSERT_EQ(Batch({input, "--run", "32986"}).status, 0);
  BatchResult coded = Batch({Path("mesh.bin"), "--info"});
  EXPECT_NE(coded.status, 0);
  EXPECT_NE(coded.err.find("probably the output of a mesh coder"), std::string::npos) << coded.err;
}
