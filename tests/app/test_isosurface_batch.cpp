#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "compression/IsoVolumeFiles.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestVolumes.h"

namespace {

namespace fs = std::filesystem;
const std::string kMenu = "Compression/Progressive Isosurface /";

class IsosurfaceBatch : public ::testing::Test {
protected:
  void SetUp() override {
    m_Dir = testsupport::FreshTestFolder("isobatch_");
    const CIsoVolume torus = testvolumes::MakeVolume(testvolumes::TorusField(), 4, -1.0, 0.125);
    std::string error;
    ASSERT_EQ(IsoWriteVolumeFile((m_Dir / "torus.iso").string(), CIsoVolumeKind::Potentials, torus,
                                 error),
              1)
        << error;
    ASSERT_EQ(
        IsoWriteVolumeFile((m_Dir / "torus.bbm").string(), CIsoVolumeKind::Signs, torus, error), 1)
        << error;
  }
  batchprocess::Outcome Run(const std::vector<std::string>& args) {
    return batchprocess::Run(ORVEX_BATCH, args, m_Dir, m_Dir);
  }
  fs::path m_Dir;
};

TEST_F(IsosurfaceBatch, OpenEncodeThenOpenTheHeader) {
  struct Case {
    const char* input;
    std::vector<std::string> settings;
    bool geo;
  };
  for (const Case& c :
       {Case{"torus.iso", {"Geo Quant z=12"}, true}, Case{"torus.bbm", {"No Geometry=1"}, false}}) {
    std::vector<std::string> args = {
        c.input, "--run",           kMenu + "Analyze", "--run", kMenu + "Encode (Ctrl-D)",
        "--set", "File name:=coded"};
    for (const std::string& s : c.settings) args.insert(args.end(), {"--set", s});
    fs::remove(m_Dir / "coded.geo");
    const batchprocess::Outcome encoded = Run(args);
    ASSERT_EQ(encoded.status, 0) << encoded.err;
    const std::string all = encoded.out + encoded.err;
    EXPECT_NE(all.find(" V: "), std::string::npos) << all;
    EXPECT_NE(all.find("C: 1 G: 1"), std::string::npos) << all; // a torus
    EXPECT_NE(all.find("Volume Compression"), std::string::npos) << all;
    EXPECT_NE(all.find("Level 8:"), std::string::npos) << all;
    EXPECT_EQ(fs::exists(m_Dir / "coded.geo"), c.geo) << c.input;
    const std::string header = batchprocess::ReadFile(m_Dir / "coded_header.txt");
    EXPECT_EQ(header.rfind("4 17 ", 0), 0u) << header;

    const batchprocess::Outcome opened = Run({"coded_header.txt", "--info"});
    ASSERT_EQ(opened.status, 0) << opened.err;
    EXPECT_NE(opened.out.find("polygon mesh"), std::string::npos) << opened.out;
    EXPECT_NE((opened.out + opened.err).find("Decoding done"), std::string::npos);
  }
}

TEST_F(IsosurfaceBatch, CptFileExportOpensAsAVolume) {
  const std::string sample = std::string(ORVEX_SAMPLES_DIR) + "/icosahedron.wrl";
  const batchprocess::Outcome exported =
      Run({sample, "--run", "File/Export/cpt file", "--set", "File name=ico.dat"});
  ASSERT_EQ(exported.status, 0) << exported.err;
  ASSERT_TRUE(fs::exists(m_Dir / "ico.dat"));
  const batchprocess::Outcome opened = Run({"ico.dat", "--run", kMenu + "Analyze", "--info"});
  ASSERT_EQ(opened.status, 0) << opened.err;
  const std::string all = opened.out + opened.err;
  EXPECT_NE(all.find("Generating potential values...done"), std::string::npos) << all;
  EXPECT_NE(all.find("C: 1 G: 0"), std::string::npos) << all; // a sphere-like closed surface
  EXPECT_EQ(all.find("cpt_valid_grid"), std::string::npos) << all;
}

TEST_F(IsosurfaceBatch, RefusalsSayWhy) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"torus.iso", "--run", kMenu + "Decode (Ctrl-Shift-D)", "--set", "File name:=absent"},
       "absent_header.txt"},
      {{"torus.iso", "--run", kMenu + "Encode (Ctrl-D)", "--set", "Geo Quant x,y=1"}, "Geo Quant"},
      {{"notes.txt"}, "_header.txt"},
      {{"torus.iso", "--run", kMenu + "Decode (Ctrl-Shift-D)", "--set", "File name:=torus"},
       "torus_header.txt"},
  };
  for (const Case& c : cases) {
    const batchprocess::Outcome out = Run(c.args);
    EXPECT_NE(out.status, 0) << c.message;
    EXPECT_NE((out.out + out.err).find(c.message), std::string::npos) << out.out << out.err;
  }
}

// Volume endings match in any case, as the other formats' endings do.
TEST_F(IsosurfaceBatch, EndingsMatchInAnyCase) {
  for (const char* name : {"TORUS.ISO", "Torus.Bbm"}) {
    fs::copy_file(m_Dir / (std::string(name).substr(6) == "ISO" ? "torus.iso" : "torus.bbm"),
                  m_Dir / name);
    const batchprocess::Outcome out = Run({name, "--run", kMenu + "Analyze"});
    EXPECT_EQ(out.status, 0) << name << ": " << out.err;
    EXPECT_NE((out.out + out.err).find("C: 1 G: 1"), std::string::npos) << out.out << out.err;
  }
}

} // namespace
