// The valence coder's commands: their dialog, their reports, and the runs
// through the dispatcher and the batch program.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <numeric>
#include <regex>
#include <string>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "app/TerminalUserInterface.h"
#include "app/commands/Handlers.h"
#include "app/commands/ValenceDialog.h"
#include "app/commands/ValenceReports.h"
#include "app/commands/ValenceWarnings.h"
#include "geometry/Mesh3d.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/app/RunWithFields.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
namespace fs = std::filesystem;

namespace {

int CountLines(const std::string& text, const std::string& prefix) {
  int count = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (text.compare(start, prefix.size(), prefix) == 0) count++;
    start = end + 1;
  }
  return count;
}

// Lines of a table that start with a number (its rows, not its header).
int CountRows(const std::string& text) {
  int count = 0;
  for (char digit = '0'; digit <= '9'; digit++) count += CountLines(text, std::string(1, digit));
  return count;
}

} // namespace

// dialog ----------------------------------------------------------------------

TEST(ValenceDialog, EncodingAndBenchmarkShareTheDialogWithItsDefaults) {
  const CCommandRegistry& registry = ApplicationRegistry();
  const CommandInfo* encode = registry.Find("Valence-centered encoding");
  ASSERT_NE(encode, nullptr);
  EXPECT_EQ(encode->id, 32986);
  EXPECT_EQ(registry.FindByKey("Ctrl+Z"), encode);
  EXPECT_EQ(encode->dialogTitle, "Valence-centered encoding");
  const CommandInfo* bench = registry.Find("Geometry benchmark");
  ASSERT_NE(bench, nullptr);
  EXPECT_EQ(bench->id, 32989);
  EXPECT_EQ(bench->dialogTitle, "Valence-centered encoding");
  ASSERT_EQ(bench->params.size(), encode->params.size());
  EXPECT_FALSE(registry.Find("Quantized mode toggle")->HasDialog());

  ParamValues values(encode->params);
  const std::pair<const char*, const char*> defaults[] = {{"File name (...)", "mesh.bin"},
                                                          {"Seed face", "0"},
                                                          {"Multiple seed face", "off"},
                                                          {"# faces", "off"},
                                                          {"# faces (number)", "0"},
                                                          {"Random", "off"},
                                                          {"Status", "on"},
                                                          {"Deterministic conquest", "off"},
                                                          {"Remove ghost vertex", "on"},
                                                          {"Stack-run encoding", "off"},
                                                          {"Show distribution", "off"},
                                                          {"Limit conquest (# steps)", "off"},
                                                          {"# steps", "0"},
                                                          {"Debug", "off"},
                                                          {"Delay (ms)", "0"},
                                                          {"Update each", "1"},
                                                          {"Edge list", "on"},
                                                          {"Geometry", "off"},
                                                          {"Normal (# bits)", "8"},
                                                          {"Parameters (# bits)", "8"},
                                                          {"Normalization", "Nothing"}};
  EXPECT_EQ(encode->params.size(), std::size(defaults));
  for (const auto& field : defaults) {
    EXPECT_TRUE(values.Has(field.first)) << field.first;
    EXPECT_EQ(values.Text(field.first), field.second) << field.first;
  }
  const ParamField& list = encode->params[values.IndexOf("Normalization")];
  EXPECT_EQ(list.choices, (std::vector<std::string>{"Nothing", "Unitary", "Edge length",
                                                    "Face area", "Face perimeter"}));
}

TEST(ValenceDialog, OptionsFollowTheFieldsAndBitsStayInFourToEleven) {
  ParamValues values(ValenceDialogFields());
  std::string error;
  const std::pair<const char*, const char*> sets[] = {{"File name (...)", "other.bin"},
                                                      {"Seed face", "7"},
                                                      {"Deterministic conquest", "on"},
                                                      {"Remove ghost vertex", "off"},
                                                      {"Stack-run encoding", "on"},
                                                      {"Limit conquest (# steps)", "on"},
                                                      {"# steps", "12"},
                                                      {"Debug", "on"},
                                                      {"Delay (ms)", "5"},
                                                      {"Update each", "3"},
                                                      {"Edge list", "off"},
                                                      {"Geometry", "on"},
                                                      {"Normal (# bits)", "11"},
                                                      {"Parameters (# bits)", "4"},
                                                      {"Normalization", "face area"}};
  for (const auto& set : sets) ASSERT_TRUE(values.Set(set.first, set.second, error)) << error;

  CValenceOptions options = ValenceOptionsFromDialog(values);
  EXPECT_EQ(options.m_PackedFile, "other.bin");
  EXPECT_EQ(options.m_SeedFace, 7);
  EXPECT_EQ(options.m_bDeterministic, 1);
  EXPECT_EQ(options.m_bRemoveGhost, 0);
  EXPECT_EQ(options.m_bStackRun, 1);
  EXPECT_EQ(options.m_bLimitConquest, 1);
  EXPECT_EQ(options.m_LimitSteps, 12);
  EXPECT_EQ(options.m_bDebug, 1);
  EXPECT_EQ(options.m_DelayMs, 5);
  EXPECT_EQ(options.m_UpdateEach, 3);
  EXPECT_EQ(options.m_bEdgeList, 0);
  EXPECT_EQ(options.m_bGeometry, 1);
  EXPECT_EQ(options.m_NormalBits, 11);
  EXPECT_EQ(options.m_ParamBits, 4);
  EXPECT_EQ(options.m_Normalization, ValenceNormalization::FaceArea);

  for (const char* bad : {"3", "12"}) {
    EXPECT_FALSE(values.Set("Normal (# bits)", bad, error));
    EXPECT_FALSE(values.Set("Parameters (# bits)", bad, error));
  }
  EXPECT_FALSE(values.Set("Seed face", "-1", error));
  EXPECT_FALSE(values.Set("Update each", "0", error));
}

// reports ---------------------------------------------------------------------

namespace {

CValenceResult MadeUpResult(double rate, int splits, double seconds) {
  CValenceResult r;
  r.m_Ok = 1;
  r.m_NbFace = 20;
  r.m_NbVertex = 12;
  r.m_ConnectivityRate = rate;
  r.m_Splits = splits;
  r.m_Completions = 4;
  r.m_Seconds = seconds;
  return r;
}

} // namespace

TEST(ValenceReports, SingleRunStatusWithAndWithoutGeometry) {
  CValenceResult r = MadeUpResult(1.5, 2, 0.5);
  EXPECT_EQ(SingleRunStatus(r, false, 0.25),
            "20 faces, 12 vertices, rate: 1.5 b/v, 0.5 s, 40 f/s, 2 split(s), 4 complete(s), "
            "entropy 0.25 b/v");
  // the sum spreads the geometry bits over the vertices: 1.5 + 36 / 12
  r.m_GeometryBits = 36;
  r.m_GeometryRate = 1.8;
  r.m_Psnr = 42.5;
  r.m_L2 = 0.01;
  r.m_Seconds = 0.0; // no time measured: no speed
  EXPECT_EQ(SingleRunStatus(r, true, 0.25),
            "20 faces, CONN 1.5 b/v, 0 s, 0 f/s, GEOM 1.8 b/f, SUM 4.5 b/v, PSNR: 42.5, L2: 0.01, "
            "entropy 0.25 b/v");
  EXPECT_DOUBLE_EQ(TotalRate(r), 4.5);
}

TEST(ValenceReports, SeedStudyTracksExtremesAndBuildsTheTable) {
  CSeedStudy study(3);
  study.Add(0, 4, MadeUpResult(2.0, 1, 0.5));
  EXPECT_EQ(study.LastRunStatus(),
            "Face 0/3, rate: 2.000000 b/v, 0.5000 s, 40.000 f/s, min 2.000000 (f 4), 1 split");
  study.Add(1, 9, MadeUpResult(1.0, 0, 0.25));
  study.Add(2, 2, MadeUpResult(3.0, 5, 0.25));
  EXPECT_EQ(study.LastRunStatus(),
            "Face 2/3, rate: 3.000000 b/v, 0.2500 s, 80.000 f/s, min 1.000000 (f 9), 5 split");
  EXPECT_EQ(study.Summary(), "Min rate: 1.0000000 b/v (index 9), max rate: 3 b/v (index 2), "
                             "mean rate: 2, mean speed: 60 f/s");
  EXPECT_EQ(study.Table(), "Face \t Rate (b/v)\t #Split\n4\t2\t1\n9\t1\t0\n2\t3\t5\n");
  EXPECT_EQ(study.Runs(), 3);
}

TEST(ValenceReports, RandomSeedsStayInRangeForLargeCounts) {
  EXPECT_EQ(CSeedStudy::RandomSeed(0, 100), 0);
  EXPECT_EQ(CSeedStudy::RandomSeed(32767, 100), 99);
  EXPECT_EQ(CSeedStudy::RandomSeed(32767, 1), 0);
  // 32767 * 99999 does not fit in 32 bits
  EXPECT_EQ(CSeedStudy::RandomSeed(32767, 100000), 99999);
  EXPECT_EQ(CSeedStudy::RandomSeed(32767, 2000000000), 1999999999);
  for (int draw : {1, 1000, 16384, 32766}) {
    int seed = CSeedStudy::RandomSeed(draw, 70000);
    EXPECT_GE(seed, 0);
    EXPECT_LT(seed, 70000);
  }
}

TEST(ValenceReports, BenchmarkTextsAndCodeHistograms) {
  EXPECT_STREQ(BenchmarkHeader(),
               "BENCHS PSNR/Quantization geometry\r\nN \t P \t PSNR \t L2 \t Cost\r\n");
  EXPECT_EQ(BenchmarkStatus(4, 11), "Encode(4;11)...");
  CValenceResult r = MadeUpResult(1.5, 0, 0.1);
  r.m_GeometryBits = 120;
  r.m_Psnr = 30.5;
  r.m_L2 = 0.125;
  EXPECT_EQ(BenchmarkLine(5, 6, r), "5 \t 6 \t 30.5 \t 0.125 \t 11.5\n");

  std::vector<int> histogram = CodeHistogram({3, 3, 3, 0, 6, 1, 7, -1});
  EXPECT_EQ(histogram, (std::vector<int>{1, 1, 0, 3, 0, 0, 1, 1}));
  AddHistogram(histogram, {0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
  AddHistogram(histogram, {1});
  EXPECT_EQ(histogram, (std::vector<int>{2, 1, 0, 3, 0, 0, 1, 1, 0, 2}));
  EXPECT_TRUE(CodeHistogram({}).empty());
}

TEST(ValenceReports, TerminalShowsTablesAndHistogramsOnStandardOutput) {
  EXPECT_EQ(TextHistogram("Distribution", {0, 4, 0, 100}),
            "Distribution\n"
            "    1         4 ##\n"
            "    3       100 " +
                std::string(kHistogramBarWidth, '#') + "\n");
  EXPECT_EQ(TextHistogram("Distribution", {}), "Distribution\n");

  FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  CTerminalUserInterface ui(out, out);
  ui.SetClipboardText("a\tb\n1\t2");
  ui.ShowDistribution("Distribution", {1});
  std::rewind(out);
  char buffer[256] = {};
  size_t n = std::fread(buffer, 1, sizeof(buffer) - 1, out);
  std::fclose(out);
  EXPECT_EQ(std::string(buffer, n), "a\tb\n1\t2\nDistribution\n    0         1 " +
                                        std::string(kHistogramBarWidth, '#') + "\n");
}

TEST(ValenceReports, WarningsAreShownOnceEach) {
  CValenceWarnings warnings;
  warnings.Add({"At least two lists in stack required for merging",
                "At least two lists in stack required for merging"});
  warnings.Add({"Vertex not found in stack while merging",
                "At least two lists in stack required for merging"});
  CRecordingUserInterface ui;
  warnings.Show(ui);
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{"At least two lists in stack required for merging",
                                      "Vertex not found in stack while merging"}));
  warnings.Show(ui);
  EXPECT_EQ(ui.messages.size(), 2u);
}

// commands through the dispatcher ----------------------------------------------

namespace {

class ClipboardRecordingUI : public CRecordingUserInterface {
public:
  std::vector<std::string> clipboard;
  std::vector<std::vector<int>> distributions;
  void SetClipboardText(const std::string& text) override { clipboard.push_back(text); }
  void ShowDistribution(const std::string& title, const std::vector<int>& histogram) override {
    EXPECT_EQ(title, "Distribution");
    distributions.push_back(histogram);
  }
};

// Runs in a fresh folder, which is the current one (coders write there).
class ValenceCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_OldDir = fs::current_path();
    m_Dir = testsupport::FreshTestFolder("orvex_valence_");
    fs::current_path(m_Dir);
  }
  void TearDown() override { fs::current_path(m_OldDir); }

  CommandResult Run(COrvexDoc& doc, const char* command, const FieldSets& sets = {}) {
    return RunWithFields(m_Dispatcher, doc, command, sets);
  }
  static std::vector<double> Positions(const CMesh3d& mesh) {
    std::vector<double> xyz;
    for (int i = 0; i < mesh.NbVertex(); i++) {
      const CVertex3d* v = mesh.GetVertex(i);
      xyz.insert(xyz.end(), {v->x, v->y, v->z});
    }
    return xyz;
  }

  fs::path m_OldDir, m_Dir;
  ClipboardRecordingUI m_UI;
  CCommandDispatcher m_Dispatcher{ApplicationRegistry(), m_UI};
};

} // namespace

TEST_F(ValenceCommandTest, EveryCommandNeedsAMesh) {
  COrvexDoc empty(&m_UI);
  for (const char* command : {"32986", "32989", "32988"}) {
    m_UI.messages.clear();
    EXPECT_EQ(Run(empty, command), CommandResult::Failed) << command;
    EXPECT_EQ(m_UI.messages, std::vector<std::string>{kNoMeshMessage}) << command;
  }
}

TEST_F(ValenceCommandTest, QuantizedToggleSwapsBackAndForth) {
  COrvexDoc doc(&m_UI);
  CMesh3d* mesh = testmeshes::MakeGrid(3, 2);
  doc.m_SceneGraph.Add(mesh);
  const std::vector<double> original = Positions(*mesh);

  // nothing saved yet: the mesh is left alone
  EXPECT_EQ(Run(doc, "Quantized mode toggle"), CommandResult::NothingDone);
  EXPECT_EQ(m_UI.messages.size(), 1u);
  EXPECT_EQ(Positions(*mesh), original);

  // the coder with geometry keeps the quantized positions as the other copy
  ASSERT_EQ(Run(doc, "32986", {{"Geometry", "on"}, {"Normal (# bits)", "4"}}), CommandResult::Done);
  EXPECT_EQ(Positions(*mesh), original);
  EXPECT_EQ(Run(doc, "32988"), CommandResult::Done);
  EXPECT_EQ(m_UI.statusLines.back(), "Quantized mode");
  const std::vector<double> quantized = Positions(*mesh);
  EXPECT_NE(quantized, original);
  mesh->m_Modified = 0;
  EXPECT_EQ(Run(doc, "32988"), CommandResult::Done);
  EXPECT_EQ(m_UI.statusLines.back(), "Unquantized mode");
  EXPECT_EQ(Positions(*mesh), original);
  EXPECT_EQ(mesh->m_Modified, 1);
}

TEST_F(ValenceCommandTest, SingleRunReportsWritesItsFilesAndLeavesTheMesh) {
  COrvexDoc doc(&m_UI);
  CMesh3d* mesh = testmeshes::MakeGrid(4, 3); // open: the ghost vertex closes it
  doc.m_SceneGraph.Add(mesh);
  const std::vector<double> before = Positions(*mesh);
  const int nbFace = mesh->NbFace();

  ASSERT_EQ(Run(doc, "32986", {{"Show distribution", "on"}, {"Debug", "on"}}), CommandResult::Done)
      << (m_UI.messages.empty() ? "" : m_UI.messages.back());
  ASSERT_FALSE(m_UI.statusLines.empty());
  const std::string& status = m_UI.statusLines.back();
  EXPECT_TRUE(std::regex_match(
      status,
      std::regex("24 faces, 21 vertices, rate: [0-9.e+-]+ b/v, [0-9.e+-]+ s, [0-9.e+-]+ "
                 "f/s, [0-9]+ split\\(s\\), [0-9]+ complete\\(s\\), entropy [0-9.e+-]+ b/v")))
      << status;
  for (const char* file : {"mesh.bin", "codes.txt", "codes.bin"})
    EXPECT_TRUE(fs::exists(m_Dir / file)) << file;
  EXPECT_FALSE(fs::exists(m_Dir / "pos.bin"));
  EXPECT_EQ(mesh->NbFace(), nbFace);
  EXPECT_EQ(Positions(*mesh), before);
  EXPECT_GT(m_UI.redraws, 1); // the debug redraws and the final one

  // the histogram counts every code; the boundary gives code 0
  ASSERT_EQ(m_UI.distributions.size(), 1u);
  const std::vector<int>& histogram = m_UI.distributions[0];
  ASSERT_FALSE(histogram.empty());
  EXPECT_GT(histogram[0], 0);
  const int codes = std::accumulate(histogram.begin(), histogram.end(), 0);
  EXPECT_EQ(static_cast<size_t>(codes), batchprocess::ReadFile(m_Dir / "codes.bin").size());
}

TEST_F(ValenceCommandTest, SeedOutOfRangeFailsWithAMessage) {
  COrvexDoc doc(&m_UI);
  doc.m_SceneGraph.Add(testmeshes::MakeIcoSphere(0));
  EXPECT_EQ(Run(doc, "32986", {{"Seed face", "20"}}), CommandResult::Failed);
  ASSERT_FALSE(m_UI.messages.empty());
  EXPECT_FALSE(m_UI.messages.back().empty());
}

TEST_F(ValenceCommandTest, RandomSeedStudyPutsOneRowPerRunOnTheClipboard) {
  COrvexDoc doc(&m_UI);
  CMesh3d* mesh = testmeshes::MakeIcoSphere(1);
  doc.m_SceneGraph.Add(mesh);
  ASSERT_EQ(Run(doc, "32986",
                {{"Multiple seed face", "on"},
                 {"# faces", "on"},
                 {"# faces (number)", "7"},
                 {"Random", "on"},
                 {"Remove ghost vertex", "off"},
                 {"Show distribution", "on"}}),
            CommandResult::Done);
  int runs = 0;
  for (const std::string& line : m_UI.statusLines) runs += line.rfind("Face ", 0) == 0;
  EXPECT_EQ(runs, 7);
  EXPECT_EQ(m_UI.statusLines.back().rfind("Min rate: ", 0), 0u) << m_UI.statusLines.back();
  ASSERT_EQ(m_UI.clipboard.size(), 1u);
  const std::string& table = m_UI.clipboard[0];
  EXPECT_EQ(table.rfind("Face \t Rate (b/v)\t #Split\n", 0), 0u);
  EXPECT_EQ(CountRows(table), 7);
  std::smatch row;
  std::string rest = table;
  while (std::regex_search(rest, row, std::regex("\n([0-9]+)\t"))) {
    EXPECT_LT(std::stoi(row[1]), 7);
    rest = row.suffix();
  }
  EXPECT_EQ(m_UI.distributions.size(), 1u);
  EXPECT_EQ(mesh->NbFace(), 80); // closed: no ghost to keep

  // more seeds than faces: one run per face; no seed at all: nothing to do
  m_UI.clipboard.clear();
  EXPECT_EQ(Run(doc, "32986",
                {{"Multiple seed face", "on"}, {"# faces", "on"}, {"# faces (number)", "1000"}}),
            CommandResult::Done);
  ASSERT_EQ(m_UI.clipboard.size(), 1u);
  EXPECT_EQ(CountRows(m_UI.clipboard[0]), 80);
  EXPECT_EQ(Run(doc, "32986", {{"Multiple seed face", "on"}, {"# faces", "on"}}),
            CommandResult::NothingDone);
  EXPECT_EQ(m_UI.clipboard.size(), 1u);
}

// the batch program -------------------------------------------------------------

namespace {

class ValenceBatchTest : public ValenceCommandTest {
protected:
  batchprocess::Outcome Batch(const std::vector<std::string>& args) {
    return batchprocess::Run(ORVEX_BATCH, args, m_Dir);
  }
  std::string Input() {
    fs::copy_file(std::string(ORVEX_SAMPLES_DIR) + "/icosahedron.smf", m_Dir / "ico.smf",
                  fs::copy_options::overwrite_existing);
    return (m_Dir / "ico.smf").string();
  }
};

} // namespace

TEST_F(ValenceBatchTest, EncodingRunsByIdentifierAndLeavesTheMeshAsItWas) {
  const std::string input = Input();
  batchprocess::Outcome plain = Batch({input, "--save", (m_Dir / "plain.wrl").string()});
  ASSERT_EQ(plain.status, 0) << plain.err;

  batchprocess::Outcome run = Batch({input, "--run", "32986", "--set", "Seed face=3", "--save",
                                     (m_Dir / "coded.wrl").string(), "--info"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("20 faces, 12 vertices, rate: "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" entropy 0 b/v\n"), std::string::npos) << run.out; // all valences 5
  EXPECT_NE(run.out.find("0 8 12 20 triangle mesh\n"), std::string::npos) << run.out;
  for (const char* file : {"mesh.bin", "codes.txt", "codes.bin"})
    EXPECT_TRUE(fs::exists(m_Dir / file)) << file;
  // one text line per code, one byte per code; the seed face's valences first
  const std::string text = batchprocess::ReadFile(m_Dir / "codes.txt");
  EXPECT_EQ(static_cast<size_t>(CountLines(text, "")),
            batchprocess::ReadFile(m_Dir / "codes.bin").size());
  EXPECT_EQ(text.rfind("5\n5\n5\n", 0), 0u);
  EXPECT_EQ(batchprocess::ReadFile(m_Dir / "coded.wrl"),
            batchprocess::ReadFile(m_Dir / "plain.wrl"));
}

TEST_F(ValenceBatchTest, StudyBenchmarkAndToggleByName) {
  const std::string input = Input();
  batchprocess::Outcome study = Batch({input, "--run", "Valence-centered encoding", "--set",
                                       "Multiple seed face=on", "--set", "Status=off"});
  ASSERT_EQ(study.status, 0) << study.err;
  EXPECT_EQ(CountLines(study.out, "Face 0/"), 0); // "Status" off
  EXPECT_EQ(CountLines(study.out, "Min rate: "), 1);
  EXPECT_EQ(CountLines(study.out, "Face \t Rate (b/v)\t #Split"), 1);
  EXPECT_EQ(CountRows(study.out), 20);

  // N outer, P inner, 4 to 11 each; the table follows the last status line
  batchprocess::Outcome bench = Batch({input, "--run", "Geometry benchmark"});
  ASSERT_EQ(bench.status, 0) << bench.err;
  EXPECT_EQ(CountLines(bench.out, "Encode("), 64);
  EXPECT_EQ(bench.out.rfind("Encode(4;4)...\nEncode(4;5)...\n", 0), 0u) << bench.out;
  EXPECT_NE(bench.out.find(std::string("Encode(11;11)...\n") + BenchmarkHeader()),
            std::string::npos);
  EXPECT_EQ(CountRows(bench.out), 64);
  EXPECT_TRUE(fs::exists(m_Dir / "pos.bin"));

  // no coder has saved positions in this process: nothing to switch to
  batchprocess::Outcome toggle = Batch({input, "--run", "Quantized mode toggle", "--info"});
  EXPECT_EQ(toggle.status, 0) << toggle.err;
  EXPECT_NE(toggle.err.find("No quantized positions"), std::string::npos) << toggle.err;
  EXPECT_NE(toggle.out.find("0 8 12 20 triangle mesh"), std::string::npos);

  batchprocess::Outcome bad = Batch({input, "--run", "32986", "--set", "Normal (# bits)=12"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("4 ... 11"), std::string::npos) << bad.err;
}
