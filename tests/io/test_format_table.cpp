// The format table: file names select the formats as opening and saving
// always did, and every format a reader parses has a fuzz target.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "io/FormatTable.h"

TEST(FormatTable, FileNamesSelectTheirFormat) {
  struct Case {
    const char* fileName;
    const char* ending; // null: no format
    EFormatOpen open;
    bool saved;
  };
  const Case cases[] = {
      {"/a/scene.wrl", ".wrl", EFormatOpen::Scene, true},
      {"/a/SCENE.WRL", ".wrl", EFormatOpen::Scene, true},
      {"/a/part.iv", ".iv", EFormatOpen::Mesh, false},
      {"/a/PART.IV", nullptr, EFormatOpen::None, false}, // the Inventor ending is case-sensitive
      {"/a/ico.SMF", ".smf", EFormatOpen::Mesh, false},
      {"/a/bunny.OFF", ".off", EFormatOpen::Mesh, true},
      {"/a/scan.ply", ".ply", EFormatOpen::Mesh, true},
      {"/a/part.Stl", ".stl", EFormatOpen::Mesh, true},
      {"/a/photo.Jpg", ".jpg", EFormatOpen::Image, false},
      {"/a/photo.jpeg", nullptr, EFormatOpen::None, false},
      {"/a/facesquad", "quad", EFormatOpen::Scene, true}, // no dot needed
      {"/a/m.OBJ", ".obj", EFormatOpen::Scene, true},
      {"/a/scene.RAW", ".raw", EFormatOpen::Scene, true},
      {"/a/mesh.bin", ".bin", EFormatOpen::Mesh, true},
      {"/a/levels.VPM", ".vpm", EFormatOpen::Decoder, false},
      {"/a/scene.xyz", nullptr, EFormatOpen::None, false},
      {"iv", nullptr, EFormatOpen::None, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileName);
    const CFileFormat* format = FindFileFormat(c.fileName);
    ASSERT_EQ(format != nullptr, c.ending != nullptr);
    if (!format) continue;
    EXPECT_STREQ(format->ending, c.ending);
    EXPECT_EQ(format->open, c.open);
    EXPECT_EQ(format->writer != nullptr, c.saved);
  }
  EXPECT_EQ(SaveExtensionsText(),
            "the extension .wrl (VRML 2.0) or .off (OFF mesh) or .ply (PLY mesh) or .stl "
            "(STL mesh) or .obj (OBJ mesh) or quad (quad mesh) or .bin (binary mesh) or .raw "
            "(binary scene)");
}

// A new reader without a fuzzer fails here.
TEST(FormatTable, EveryReadFormatHasAFuzzTargetSourceAndEachEndingIsListedOnce) {
  std::set<std::string> endings;
  for (const CFileFormat& format : FileFormats()) {
    SCOPED_TRACE(format.ending);
    EXPECT_TRUE(endings.insert(format.ending).second);
    EXPECT_EQ(format.open == EFormatOpen::Mesh, format.meshReader != nullptr);
    EXPECT_EQ(format.open == EFormatOpen::Scene, format.sceneReader != nullptr);
    const bool parsed = format.open == EFormatOpen::Mesh || format.open == EFormatOpen::Scene ||
                        format.open == EFormatOpen::Image || format.open == EFormatOpen::Decoder;
    ASSERT_EQ(format.fuzzTarget != nullptr, parsed);
    if (!parsed) continue;
    const std::filesystem::path source =
        std::filesystem::path(ORVEX_FUZZ_DIR) / (std::string(format.fuzzTarget) + ".cpp");
    EXPECT_TRUE(std::filesystem::is_regular_file(source)) << source;
  }
}
