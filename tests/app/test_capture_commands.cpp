// The export and capture commands through the dispatcher, without any
// GL context: the vector pictures of the first mesh, the picture dialog's
// values, the video recording (frames from a host that makes them up), and
// what the commands do when there is nothing to draw or record.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/AviRecorder.h"
#include "app/DocumentHost.h"
#include "geometry/Mesh3d.h"
#include "geometry/QuadMesh.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/app/RunWithFields.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/ExportFiles.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

CRgbImage Picture(int width, int height, unsigned char seed) {
  CRgbImage image;
  image.Resize(width, height);
  for (size_t i = 0; i < image.m_Pixels.size(); i++) image.m_Pixels[i] = (unsigned char)(i + seed);
  return image;
}

// A host whose main window is a made-up picture of width x height.
class CPictureHost : public CDocumentHost {
public:
  using CDocumentHost::CDocumentHost;
  int width = 1023;
  int height = 30;
  int grabs = 0;
  bool GrabFrame(COrvexDoc*, CRgbImage& image, std::string&) override {
    image = Picture(width, height, (unsigned char)grabs++);
    return true;
  }
};

class CaptureCommands : public ::testing::Test {
protected:
  void SetUp() override {
    m_OldDir = fs::current_path();
    m_Dir = testsupport::FreshTestFolder("orvex_capture_");
    fs::copy_file(kSamples + "/icosahedron.wrl", m_Dir / "scene.wrl");
    m_Doc = m_Host.OpenDocumentFile((m_Dir / "scene.wrl").string());
    ASSERT_NE(m_Doc, nullptr) << m_Host.GetLastError();
  }
  void TearDown() override { fs::current_path(m_OldDir); }

  CommandResult Run(const char* command, const FieldSets& sets = {}) {
    return RunWithFields(m_Dispatcher, *m_Doc, command, sets);
  }

  fs::path m_OldDir, m_Dir;
  CRecordingUserInterface m_UI;
  CPictureHost m_Host{m_UI};
  CCommandDispatcher m_Dispatcher{ApplicationRegistry(), m_UI, &m_Host};
  COrvexDoc* m_Doc = nullptr;
};

TEST_F(CaptureCommands, MetafileVariantsWriteTheirPictureAndPutItOnTheClipboard) {
  const char* variants[] = {"Edit/Window metafile/Generate MetaFile",
                            "Edit/Window metafile/Generate MetaFile (front faces only)",
                            "Edit/Window metafile/Generate MetaFile (face mode)"};
  for (const char* variant : variants) {
    fs::remove(m_Dir / "metafile.svg");
    EXPECT_EQ(Run(variant), CommandResult::Done) << variant;
    const std::string svg = batchprocess::ReadFile(m_Dir / "metafile.svg");
    EXPECT_NE(svg.find("<svg "), std::string::npos) << variant;
    EXPECT_NE(svg.find(std::string(variant).find("face mode") != std::string::npos ? "<polygon"
                                                                                   : "<line"),
              std::string::npos)
        << variant;
  }
  EXPECT_EQ(m_UI.clipboardPictures, 3);
  EXPECT_TRUE(m_UI.dialogs.empty()); // the file is a command-line value only
  // another file named on the command line
  EXPECT_EQ(Run(variants[0], {{"File", "lines.svg"}}), CommandResult::Done);
  EXPECT_TRUE(fs::exists(m_Dir / "lines.svg"));
}

TEST_F(CaptureCommands, MetafileWithoutATriangleMeshFirstWritesNothing) {
  const struct {
    const char* name;
    std::function<void(CSceneGraph3d&)> scene;
  } cases[] = {
      {"empty scene", [](CSceneGraph3d& s) { s.Free(); }},
      {"quad mesh first",
       [](CSceneGraph3d& s) {
         s.Free();
         s.Add(testmeshes::MakeQuadGrid(2, 2));
       }},
  };
  for (const auto& c : cases) {
    c.scene(m_Doc->m_SceneGraph);
    m_UI.messages.clear();
    for (const char* command : {"Edit/Window metafile/Generate MetaFile (face mode)",
                                "Edit/Window metafile/Parameters..."}) {
      EXPECT_EQ(Run(command), CommandResult::Failed) << c.name;
      EXPECT_FALSE(fs::exists(m_Dir / "metafile.svg")) << c.name;
    }
    ASSERT_EQ(m_UI.messages.size(), 2u);
    EXPECT_EQ(m_UI.messages[0], "Sorry, no mesh in scenegraph");
  }
  EXPECT_EQ(m_UI.clipboardPictures, 0);
}

TEST_F(CaptureCommands, ParametersTakeModeColoursAndRamp) {
  const char* command = "Edit/Window metafile/Parameters...";
  EXPECT_EQ(Run("Scene/Process camera"), CommandResult::Done);
  EXPECT_EQ(Run(command, {{"Mode", "Silhouette"},
                          {"Front silhouette", "#00FF00"},
                          {"Back silhouette", "#0000ff"},
                          {"Ramp", "Heat"}}),
            CommandResult::Done);
  const std::string svg = batchprocess::ReadFile(m_Dir / "metafile.svg");
  EXPECT_NE(svg.find("fill=\"#00ff00\""), std::string::npos);
  EXPECT_EQ(m_UI.dialogs.size(), 1u); // the window program shows the dialog
  // a colour that is not one fails with its label
  m_UI.messages.clear();
  EXPECT_EQ(Run(command, {{"Face", "white"}}), CommandResult::Failed);
  ASSERT_EQ(m_UI.messages.size(), 1u);
  EXPECT_NE(m_UI.messages[0].find("Face"), std::string::npos);
  // the texture-request map needs a texture: nothing written, clipboard untouched
  fs::remove(m_Dir / "metafile.svg");
  const int pictures = m_UI.clipboardPictures;
  EXPECT_EQ(Run(command, {{"Mode", "Texture request map"}}), CommandResult::NothingDone);
  EXPECT_FALSE(fs::exists(m_Dir / "metafile.svg"));
  EXPECT_EQ(m_UI.clipboardPictures, pictures);
}

TEST_F(CaptureCommands, ExportsThatReadTheViewFailWithoutAContext) {
  for (const char* command : {"File/Export/eps", "File/Export/bmp", "Edit/Copy"}) {
    m_UI.messages.clear();
    EXPECT_EQ(Run(command), CommandResult::Failed) << command;
    EXPECT_EQ(m_UI.messages.size(), 1u) << command;
  }
  EXPECT_FALSE(fs::exists(m_Dir / "mesh.eps"));
  EXPECT_FALSE(fs::exists(m_Dir / "view.bmp"));
  EXPECT_EQ(m_UI.clipboardImages, 0);
}

TEST_F(CaptureCommands, RecordingFromInitToWrite) {
  // Add frame and Write without Init do nothing
  EXPECT_EQ(Run("Window/AVI/Add frame"), CommandResult::NothingDone);
  EXPECT_EQ(Run("Window/AVI/Write"), CommandResult::NothingDone);
  EXPECT_EQ(Run("Write PNG frames"), CommandResult::NothingDone);
  EXPECT_FALSE(fs::exists(m_Dir / "video.avi"));

  // Init grabs the first frame; Write then gives one frame of length 25,
  // 1020 pixels wide for a window of 1023
  EXPECT_EQ(Run("Window/AVI/Init"), CommandResult::Done);
  EXPECT_EQ(m_Host.AviRecorder().Width(), 1020);
  EXPECT_EQ(Run("Window/AVI/Write"), CommandResult::Done);
  EXPECT_FALSE(m_Host.AviRecorder().IsOpen());
  testsupport::AviFile avi;
  std::string error;
  ASSERT_TRUE(testsupport::ReadAvi(batchprocess::ReadFile(m_Dir / "video.avi"), avi, error))
      << error;
  EXPECT_EQ(testsupport::Le32(avi.bytes, avi.strh->offset + 32), 25u); // length
  EXPECT_EQ(testsupport::Le32(avi.bytes, avi.strf->offset + 4), 1020u);
  EXPECT_EQ(avi.movi->children.size(), 25u);
  // the first frame's first stored row is the picture's bottom row, cut to 1020
  const CRgbImage first = Picture(1023, 30, 0);
  const size_t data = avi.movi->children[0].offset;
  EXPECT_EQ((unsigned char)avi.bytes[data], first.Pixel(0, 29)[2]);
  EXPECT_EQ((unsigned char)avi.bytes[data + 3 * 1019 + 2], first.Pixel(1019, 29)[0]);
}

TEST_F(CaptureCommands, HundredFramesAtMostThenPngFrames) {
  m_Host.width = 16;
  m_Host.height = 8;
  EXPECT_EQ(Run("Window/AVI/Init"), CommandResult::Done);
  for (int i = 1; i < CAviRecorder::kMaxFrames; i++)
    ASSERT_EQ(Run("Window/AVI/Add frame"), CommandResult::Done);
  m_UI.statusLines.clear();
  EXPECT_EQ(Run("Window/AVI/Add frame"), CommandResult::NothingDone);
  EXPECT_EQ(m_Host.AviRecorder().FrameCount(), CAviRecorder::kMaxFrames);
  ASSERT_FALSE(m_UI.statusLines.empty());
  EXPECT_NE(m_UI.statusLines.back().find("ignored"), std::string::npos);
  EXPECT_EQ(Run("Write PNG frames"), CommandResult::Done);
  EXPECT_TRUE(fs::exists(m_Dir / "video_0000.png"));
  EXPECT_TRUE(fs::exists(m_Dir / "video_0099.png"));
  EXPECT_FALSE(m_Host.AviRecorder().IsOpen());
}

TEST(AviRecorder, FrameSizeAndFitting) {
  const struct {
    int width, height;
    bool opens;
    int recordedWidth;
  } sizes[] = {{1023, 10, true, 1020},
               {1024, 10, true, 1024},
               {4, 1, true, 4},
               {3, 10, false, 0},
               {8, 0, false, 0}};
  for (const auto& s : sizes) {
    CAviRecorder recorder;
    EXPECT_EQ(recorder.Open(s.width, s.height), s.opens) << s.width;
    if (s.opens) {
      EXPECT_EQ(recorder.Width(), s.recordedWidth);
    }
  }
  CAviRecorder closed;
  EXPECT_EQ(closed.Add(Picture(4, 4, 0)), CAviRecorder::AddResult::Closed);
  // a larger grab is cut, a smaller one filled black
  const CRgbImage big = Picture(6, 3, 1);
  const CRgbImage cut = FitPicture(big, 4, 2);
  EXPECT_EQ(cut.m_Pixels[3 * 3 + 0], big.Pixel(3, 0)[0]);
  EXPECT_EQ(cut.Pixel(1, 1)[2], big.Pixel(1, 1)[2]);
  const CRgbImage filled = FitPicture(Picture(2, 1, 5), 4, 2);
  EXPECT_EQ(filled.Pixel(3, 0)[0], 0);
  EXPECT_EQ(filled.Pixel(0, 1)[1], 0);
}

} // namespace
