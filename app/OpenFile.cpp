// COrvexDoc::OpenByExtension: the reader is chosen from the end of the
// path by the format table (io/FormatTable.h): the first format whose
// ending matches applies (".IV" is not an Inventor file, ".WRL" is VRML);
// kinds whose reader does not exist yet fail with "not available yet".

#include <cctype>
#include <filesystem>
#include <memory>

#include "app/Dialogs.h"
#include "app/IsosurfaceScene.h"
#include "app/OrvexDoc.h"
#include "app/UndoHistory.h"
#include "app/UserInterface.h"
#include "compression/ProgressiveCommands.h"
#include "geometry/Mesh3d.h"
#include "io/FormatTable.h"
#include "io/HeightFieldImage.h"
#include "io/Texture.h"
#include "processing/PolygonCommands.h"

namespace {

// Relative paths are made absolute first: the document keeps the folder of
// its file (the process's current directory never changes).
std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.string();
}

std::string BasePathOf(const std::string& path) {
  size_t dot = path.rfind('.');
  size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

} // namespace

// One mesh from a reader: on success the scene is cleared, the mesh built
// and appended; on failure the scene is left as it was.
static int OpenMesh(COrvexDoc& doc, const std::string& path, MeshFileReader reader) {
  auto mesh = std::make_unique<CMesh3d>();
  CReadReport report;
  std::string error;
  if (!reader(mesh.get(), path, report, error)) {
    doc.SetLastError(error.empty() ? "Sorry, unable to read this format" : error);
    return 0;
  }
  doc.m_SceneGraph.Free();
  doc.m_SceneGraph.Add(mesh.release());
  doc.RunPostLoadSteps();
  if (!report.Summary().empty() && doc.GetUserInterface())
    doc.GetUserInterface()->StatusMessage("%s", report.Summary().c_str());
  return 1;
}

// A whole scene from a reader, appended to the scene only when read.
static int OpenScene(COrvexDoc& doc, const std::string& path, SceneFileReader reader) {
  CReadReport report;
  std::string error;
  if (!reader(&doc.m_SceneGraph, path, report, error)) {
    doc.SetLastError(error);
    return 0;
  }
  doc.RunPostLoadSteps();
  if (!report.Summary().empty() && doc.GetUserInterface())
    doc.GetUserInterface()->StatusMessage("%s", report.Summary().c_str());
  return 1;
}

// Image files: the "Sampling" dialog; Cancel opens an empty document. On
// OK the image becomes a height field, as Predefined/Map from image makes
// it, ranged to [-0.2, 0.2] in y.
static int OpenImage(COrvexDoc& doc, const std::string& path) {
  orvex::ParamValues values(orvex::SamplingDialogFields());
  orvex::CUserInterface* ui = doc.GetUserInterface();
  if (ui && !ui->EditParameters("Sampling", values)) return 1;
  CTexture texture;
  std::string error;
  if (!ReadHeightFieldImage(path, texture, error)) {
    doc.SetLastError(error);
    return 0;
  }
  CSubdivisionOutcome outcome = CommandMapFromImage(
      &doc.m_SceneGraph, texture, values.Integer("Width"), values.Integer("Height"),
      values.Check("Use color"), values.Check("Quad mesh"), kOpenedImageYRange);
  if (!outcome.message.empty()) {
    doc.SetLastError(outcome.message);
    return 0;
  }
  doc.RunPostLoadSteps();
  return 1;
}

// A coder's file: a progressive mesh decoded into the scene's only mesh,
// or a volume or compressed isosurface.
static int OpenDecoded(COrvexDoc& doc, const std::string& path, const CFileFormat& format) {
  if (std::string(format.ending) != ".vpm") return orvex::OpenIsosurfaceFile(doc, path);
  auto mesh = std::make_unique<CMesh3d>();
  std::string error;
  if (!orvex::DecodeProgressiveFile(path, orvex::CDecodeOptions(), *mesh, error)) {
    doc.SetLastError(error);
    return 0;
  }
  doc.m_SceneGraph.Free();
  doc.m_SceneGraph.Add(mesh.release());
  doc.RunPostLoadSteps();
  if (doc.GetUserInterface()) doc.GetUserInterface()->StatusMessage("%s", "Decoding...done");
  return 1;
}

static int OpenByRule(COrvexDoc& doc, const std::string& path) {
  const CFileFormat* format = FindFileFormat(path);
  switch (format ? format->open : EFormatOpen::None) {
  case EFormatOpen::Scene:
    return OpenScene(doc, path, format->sceneReader);
  case EFormatOpen::Mesh:
    return OpenMesh(doc, path, format->meshReader);
  case EFormatOpen::Image:
    return OpenImage(doc, path);
  case EFormatOpen::Decoder:
    return OpenDecoded(doc, path, *format);
  case EFormatOpen::Later:
    doc.SetLastError(std::string(format->description) + " are not available yet");
    return 0;
  case EFormatOpen::None:
    break;
  }
  doc.SetLastError("Unknown file type: " + path);
  return 0;
}

int COrvexDoc::OpenByExtension(const std::string& requested) {
  m_LastError.clear();
  std::string path = AbsolutePath(requested);
  std::string oldBasePath = m_BasePath;
  m_BasePath = BasePathOf(path);
  if (!OpenByRule(*this, path)) {
    m_BasePath = oldBasePath;
    if (m_LastError.empty()) m_LastError = "Unable to open " + requested;
    return 0;
  }
  m_PathName = path;
  ClampHighlightIndices();
  m_bModified = false;
  // the steps of the scene that was there do not apply to the file's
  UndoHistory().Clear();
  return 1;
}
