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

std::vector<double> Positions(const COrvexDoc& doc) {
  std::vector<double> xyz;
  const auto* mesh = static_cast<const CPolygonMesh*>(doc.m_SceneGraph.GetAt(0));
  for (const CPolygonVertex& v : mesh->m_Vertices) xyz.insert(xyz.end(), {v.x, v.y, v.z});
  return xyz;
}

// Opening a volume with "Save Octree" writes the octree and its surface
// beside it; opening the ".bbm" then shows the saved positions (from the
// potentials) instead of cell centres, and a damaged or foreign pair is
// refused with its reason.
TEST(IsosurfaceOctreeFiles, SavedOnOpenAndReadWithTheSigns) {
  const fs::path dir = testsupport::FreshTestFolder("isooctree_");
  const CIsoVolume torus = testvolumes::MakeVolume(testvolumes::TorusField(), 4, -1.0, 0.125);
  const CIsoVolume sphere = testvolumes::MakeVolume(testvolumes::SphereField(), 4, -1.0, 0.125);
  std::string error;
  ASSERT_EQ(
      IsoWriteVolumeFile((dir / "torus.iso").string(), CIsoVolumeKind::Potentials, torus, error),
      1);
  ASSERT_EQ(IsoWriteVolumeFile((dir / "torus.bbm").string(), CIsoVolumeKind::Signs, torus, error),
            1);
  CGridWidthsAnswer ui;
  auto open = [&](const char* name, bool save, std::vector<double>* xyz = nullptr) {
    ui.saveOctree = save;
    COrvexDoc doc(&ui);
    const int ok = doc.OpenByExtension((dir / name).string());
    error = doc.GetLastError();
    if (ok && xyz) *xyz = Positions(doc);
    return ok;
  };

  std::vector<double> centres, fromPotentials, fromSigns;
  ASSERT_EQ(open("torus.bbm", false, &centres), 1) << error; // no pair yet
  EXPECT_FALSE(fs::exists(dir / "torus.vtx"));
  ASSERT_EQ(open("torus.iso", true, &fromPotentials), 1) << error;
  for (const char* ending : {".bbm", ".vtx", ".con"})
    EXPECT_TRUE(fs::exists(dir / ("torus" + std::string(ending))));
  ASSERT_EQ(open("torus.bbm", false, &fromSigns), 1) << error;
  ASSERT_EQ(fromSigns.size(), fromPotentials.size());
  for (size_t i = 0; i < fromSigns.size(); ++i) EXPECT_NEAR(fromSigns[i], fromPotentials[i], 1e-6);
  EXPECT_NE(fromSigns, centres);

  struct Damage {
    const char* message;
    void (*apply)(const fs::path&, const CIsoVolume&);
  };
  const Damage damages[] = {
      {"torus.con: Quad 0 names vertex",
       [](const fs::path& d, const CIsoVolume&) {
         std::fstream f(d / "torus.con", std::ios::in | std::ios::out | std::ios::binary);
         f.seekp(4);
         f.write("\xff\xff\xff\x7f", 4);
       }},
      {"torus.vtx: The vertex file's size",
       [](const fs::path& d, const CIsoVolume&) {
         std::ofstream(d / "torus.vtx", std::ios::app | std::ios::binary) << 'x';
       }},
      {"does not belong to the octree",
       [](const fs::path& d, const CIsoVolume& other) {
         CIsoSurface surface;
         IsoContour(other.m_Signs, 1, surface, &other);
         std::string e;
         IsoWriteSurfaceFiles((d / "torus").string(), surface, e);
       }},
  };
  for (const Damage& damage : damages) {
    ASSERT_EQ(open("torus.iso", true), 1) << error;
    damage.apply(dir, sphere);
    EXPECT_EQ(open("torus.bbm", false), 0) << damage.message;
    EXPECT_NE(error.find(damage.message), std::string::npos) << error;
  }
}

} // namespace
