// The isosurface workspace and its meshes in the document: volumes opened
// from files, their surface extracted by dual contouring, and compressed
// surfaces decoded level by level into polygon meshes.

#include "app/IsosurfaceScene.h"

#include <chrono>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

#include "app/CommandParams.h"
#include "app/OrvexDoc.h"
#include "app/UserInterface.h"
#include "compression/IsoCoder.h"
#include "compression/IsoDistanceField.h"
#include "compression/IsoSurfaceFiles.h"
#include "compression/IsoVolumeFiles.h"
#include "geometry/PolygonMesh.h"
#include "io/FormatTable.h"

namespace orvex {
namespace {

// Polygon mesh arrays of a surface placed in space.
void FillFromSurface(CPolygonMesh& mesh, const CIsoHeader& placement, const CIsoSurface& surface) {
  const std::vector<int> sizes(static_cast<size_t>(surface.QuadCount()), 4);
  FillPolygonMesh(mesh, IsoWorldXyz(placement, surface), sizes, surface.m_Quads);
  mesh.m_Name = "Isosurface";
  mesh.SetModified();
}

void Status(CUserInterface* ui, const std::string& text) {
  if (ui) ui->SetStatusText(text);
}

constexpr const char* kSaveOctreeOnOpen = "Save Octree (*.bbm, *.con, *.vtx)";
constexpr const char* kSaveOctreeOnExtract = "Save the octree to files (.bbm, .con, .vtx)";

// How the surface of a volume is extracted and kept: positions saved with
// its octree (".vtx", ".con") replace the cell centres when they belong to
// these signs, and the octree is saved beside `octreeBase` when it is set.
struct CExtraction {
  std::vector<double> m_SavedXyz;
  std::vector<int> m_SavedQuads;
  bool m_HasSaved = false;
  std::string m_OctreeBase; // empty: not saved
};

// The saved surface of `base` when both of its files are there.
int ReadSavedSurface(const std::string& base, CExtraction& extraction, std::string& error) {
  std::ifstream vtx(base + ".vtx"), con(base + ".con");
  if (!vtx || !con) return 1;
  extraction.m_HasSaved = true;
  return IsoReadSurfaceFiles(base, extraction.m_SavedXyz, extraction.m_SavedQuads, error);
}

// The surface of a volume, extracted by dual contouring, replaces the
// scene; the volume becomes the document's workspace.
int ExtractIntoScene(COrvexDoc& doc, std::shared_ptr<CIsoVolume> volume, const std::string& path,
                     const CExtraction& extraction) {
  CUserInterface* ui = doc.GetUserInterface();
  Status(ui, "Dual Contouring(DC) starting...");
  CIsoSurface surface;
  std::unique_ptr<CPolygonMesh> mesh;
  try {
    IsoContour(volume->m_Signs, 1, surface, volume.get());
    if (extraction.m_HasSaved) {
      if (extraction.m_SavedQuads != surface.m_Quads ||
          extraction.m_SavedXyz.size() != surface.m_Xyz.size()) {
        doc.SetLastError("The saved surface (.vtx, .con) does not belong to the octree of " + path);
        return 0;
      }
      surface.m_Xyz = extraction.m_SavedXyz;
    }
    CIsoHeader placement;
    for (int k = 0; k < 3; ++k) {
      placement.m_Origin[k] = volume->m_Origin[k];
      placement.m_Unit[k] = volume->m_Unit[k];
    }
    mesh = std::make_unique<CPolygonMesh>();
    FillFromSurface(*mesh, placement, surface);
  } catch (const std::bad_alloc&) {
    doc.SetLastError("Not enough memory to extract the isosurface of " + path);
    return 0;
  }
  Status(ui, "DC..done");
  std::string error;
  const std::string& base = extraction.m_OctreeBase;
  if (!base.empty() && (!IsoWriteVolumeFile(base + ".bbm", CIsoVolumeKind::Signs, *volume, error) ||
                        !IsoWriteSurfaceFiles(base, surface, error))) {
    doc.SetLastError(error);
    return 0;
  }
  doc.m_SceneGraph.Free();
  doc.m_SceneGraph.Add(mesh.release());
  doc.m_pIsoWorkspace = std::move(volume);
  Status(ui, "Extracting isosurface is done.. #V: " + std::to_string(surface.VertexCount()));
  return 1;
}

// A volume file: unit sizes from "Set Grid Widths", then its surface (with
// the positions saved beside a sign file).
int OpenVolume(COrvexDoc& doc, const std::string& path, CIsoVolumeKind kind) {
  CUserInterface* ui = doc.GetUserInterface();
  auto volume = std::make_shared<CIsoVolume>();
  std::string error;
  if (!IsoReadVolumeFile(path, kind, *volume, error)) {
    doc.SetLastError(error);
    return 0;
  }
  const std::string base = path.substr(0, path.size() - 4);
  CExtraction extraction;
  if (kind == CIsoVolumeKind::Signs && !ReadSavedSurface(base, extraction, error)) {
    doc.SetLastError(error);
    return 0;
  }
  ParamValues values({RealParam("Unit size in X :", volume->m_Unit[0], 1e-9, 1e9),
                      RealParam("Unit size in Y : ", volume->m_Unit[1], 1e-9, 1e9),
                      RealParam("Unit size in Z : ", volume->m_Unit[2], 1e-9, 1e9),
                      CheckParam(kSaveOctreeOnOpen, false)});
  if (ui && !ui->EditParameters(kGridWidthsTitle, values)) return 1;
  volume->m_Unit[0] = values.Real("Unit size in X :");
  volume->m_Unit[1] = values.Real("Unit size in Y : ");
  volume->m_Unit[2] = values.Real("Unit size in Z : ");
  if (values.Check(kSaveOctreeOnOpen)) extraction.m_OctreeBase = base;
  return ExtractIntoScene(doc, std::move(volume), path, extraction);
}

// A grid file (".dat"): the signed distance to its mesh on the grid of
// "Parameters for Surface Extraction", optionally saved, then its surface.
int OpenDistanceField(COrvexDoc& doc, const std::string& path, const std::string& base) {
  CUserInterface* ui = doc.GetUserInterface();
  Status(ui, "Start reading in cpt data...");
  CGridFileMesh mesh;
  std::string error;
  {
    std::ifstream in(path);
    if (!in) {
      doc.SetLastError("Cannot open " + path);
      return 0;
    }
    if (!IsoReadGridFile(in, mesh, error)) {
      doc.SetLastError(error);
      return 0;
    }
  }
  ParamValues values({IntegerParam("Grid size X", 129, 9, double(kIsoMaxGrid)),
                      IntegerParam("Grid size Y", 129, 9, double(kIsoMaxGrid)),
                      IntegerParam("Grid size Z", 129, 9, double(kIsoMaxGrid)),
                      RealParam("Isovalue: ", 0.0, -1e30, 1e30),
                      CheckParam("Save potentials to a file (.iso)", false),
                      CheckParam(kSaveOctreeOnExtract, false)});
  if (ui && !ui->EditParameters(kExtractionTitle, values)) return 1;
  const int n = values.Integer("Grid size X");
  if (n != values.Integer("Grid size Y") || n != values.Integer("Grid size Z") ||
      !IsoDepthOfGrid(n)) {
    doc.SetLastError("The three grid sizes must be equal and 2^D + 1, at most 513");
    return 0;
  }
  auto volume = std::make_shared<CIsoVolume>();
  std::string warnings;
  if (!IsoDistanceVolume(mesh, n, values.Real("Isovalue: "), *volume, error, warnings)) {
    doc.SetLastError(error);
    return 0;
  }
  if (!warnings.empty()) Status(ui, warnings);
  Status(ui, "Generating potential values...done");
  if (values.Check("Save potentials to a file (.iso)") &&
      !IsoWriteVolumeFile(base + ".iso", CIsoVolumeKind::Potentials, *volume, error)) {
    doc.SetLastError(error);
    return 0;
  }
  CExtraction extraction;
  if (values.Check(kSaveOctreeOnExtract)) extraction.m_OctreeBase = base;
  return ExtractIntoScene(doc, std::move(volume), path, extraction);
}

} // namespace

int DecodeIsosurfaceIntoScene(COrvexDoc& doc, CUserInterface* ui, const std::string& base,
                              const CIsoDecodeView& view, std::string& error) {
  const auto start = std::chrono::steady_clock::now();
  Status(ui, "Preparing decoding...");
  CIsoHeader header;
  CIsoSurface surface;
  auto mesh = std::make_unique<CPolygonMesh>();
  CPolygonMesh* shown = nullptr; // the mesh while it is in the scene
  auto onLevel = [&](int level, const CIsoSurface& s) {
    const std::string counts = "#Vert: " + std::to_string(s.VertexCount()) +
                               ", #Face: " + std::to_string(s.QuadCount()) + " ";
    Status(ui, "Done at Octree level " + std::to_string(level + 1) + ". " + counts);
    if (view.m_EachLevel && view.m_VisualDebug && ui) {
      FillFromSurface(*mesh, header, s);
      if (!shown) doc.m_SceneGraph.Add(shown = mesh.get());
      ui->RedrawNow();
    }
    return 1;
  };
  int ok = 0;
  try {
    // the header is read first so that each level is placed in space
    ok = IsoDecodeFiles(base, header, surface, error,
                        [&](int level, const CIsoSurface& s) { return onLevel(level, s); });
    if (ok) FillFromSurface(*mesh, header, surface);
  } catch (const std::bad_alloc&) {
    error = "Not enough memory to decode " + base;
    ok = 0;
  }
  if (shown) doc.m_SceneGraph.RemoveAt(doc.m_SceneGraph.Find(shown));
  if (!ok) return 0;
  doc.m_SceneGraph.Add(mesh.release());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char text[160];
  std::snprintf(text, sizeof text, "Decoding done: %g sec. %d vertices, %d polygons", seconds,
                surface.VertexCount(), surface.QuadCount());
  Status(ui, text);
  return 1;
}

int OpenIsosurfaceFile(COrvexDoc& doc, const std::string& path) {
  if (EndsWithNoCase(path, ".iso")) return OpenVolume(doc, path, CIsoVolumeKind::Potentials);
  if (EndsWithNoCase(path, ".bbm")) return OpenVolume(doc, path, CIsoVolumeKind::Signs);
  if (EndsWithNoCase(path, ".dat"))
    return OpenDistanceField(doc, path, path.substr(0, path.size() - 4));
  if (!EndsWithNoCase(path, ".txt")) return -1;
  if (!EndsWithNoCase(path, "_header.txt")) {
    doc.SetLastError("A compressed isosurface opens from its \"_header.txt\" file: " + path);
    return 0;
  }
  // the decoded mesh replaces the scene only once it is whole
  std::string error;
  const int before = doc.m_SceneGraph.NbObject();
  if (!DecodeIsosurfaceIntoScene(doc, doc.GetUserInterface(), path.substr(0, path.size() - 11),
                                 CIsoDecodeView(), error)) {
    doc.SetLastError(error);
    return 0;
  }
  for (int i = before - 1; i >= 0; --i) doc.m_SceneGraph.DeleteAt(i);
  return 1;
}

} // namespace orvex
