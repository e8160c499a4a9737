#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/OrvexDoc.h"
#include "compression/IsoSurfaceFiles.h"
#include "compression/IsoVolumeFiles.h"
#include "geometry/PolygonMesh.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestVolumes.h"

namespace {

namespace fs = std::filesystem;

// Answers "Set Grid Widths" with the octree saved or not.
class CGridWidthsAnswer : public CRecordingUserInterface {
public:
  bool saveOctree = false;
  bool EditParameters(const std::string& title, orvex::ParamValues& values) override {
    std::string error;
    if (title == "Set Grid Widths") {
      EXPECT_TRUE(values.Set("Save Octree (*.bbm, *.con, *.vtx)", saveOctree ? "1" : "0", error))
          << error;
    }
    return CRecordingUserInterface::EditParameters(title, values);
  }
};

// "Save Octree" on opening a volume writes the octree and its surface
// beside it (round trip: the ".bbm" then shows the saved positions, made
// from the potentials, not cell centres); a damaged or foreign pair is
// refused with its reason.
TEST(IsosurfaceOctreeFiles, SavedOnOpenAndReadWithTheSigns) {
  const fs::path dir = testsupport::FreshTestFolder("isooctree_");
  const CIsoVolume torus = testvolumes::MakeVolume(testvolumes::TorusField(), 4, -1.0, 0.125);
  const CIsoVolume sphere = testvolumes::MakeVolume(testvolumes::SphereField(), 4, -1.0, 0.125);
  std::string error;
  ASSERT_EQ(
      IsoWriteVolumeFile((dir / "torus.iso").string(), CIsoVolumeKind::Potentials, torus, error),
      1);
  CGridWidthsAnswer ui;
  auto open = [&](const char* name, bool save, std::vector<double>* xyz = nullptr) {
    ui.saveOctree = save;
    COrvexDoc doc(&ui);
    const int ok = doc.OpenByExtension((dir / name).string());
    error = doc.GetLastError();
    auto* mesh = ok ? static_cast<CPolygonMesh*>(doc.m_SceneGraph.GetAt(0)) : nullptr;
    for (size_t i = 0; mesh && xyz && i < mesh->m_Vertices.size(); ++i)
      xyz->insert(xyz->end(),
                  {mesh->m_Vertices[i].x, mesh->m_Vertices[i].y, mesh->m_Vertices[i].z});
    return ok;
  };

  std::vector<double> fromPotentials, fromSigns; // the signs alone give cell centres
  ASSERT_EQ(open("torus.iso", true, &fromPotentials), 1) << error;
  for (const char* ending : {".bbm", ".vtx", ".con"})
    EXPECT_TRUE(fs::exists(dir / ("torus" + std::string(ending))));
  ASSERT_EQ(open("torus.bbm", false, &fromSigns), 1) << error;
  ASSERT_EQ(fromSigns.size(), fromPotentials.size());
  for (size_t i = 0; i < fromSigns.size(); ++i) EXPECT_NEAR(fromSigns[i], fromPotentials[i], 1e-6);

  // a damaged pair, and a pair of another volume's surface, are refused
  std::ofstream(dir / "torus.vtx", std::ios::app | std::ios::binary) << 'x';
  EXPECT_EQ(open("torus.bbm", false), 0);
  EXPECT_NE(error.find("torus.vtx: The vertex file's size"), std::string::npos) << error;
  CIsoSurface surface;
  IsoContour(sphere.m_Signs, 1, surface, &sphere);
  ASSERT_EQ(IsoWriteSurfaceFiles((dir / "torus").string(), surface, error), 1);
  EXPECT_EQ(open("torus.bbm", false), 0);
  EXPECT_NE(error.find("does not belong to the octree"), std::string::npos) << error;
}

} // namespace
