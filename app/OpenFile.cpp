// COrvexDoc::OpenByExtension: the reader is chosen from the end of the
// path. ext4 is the last four characters in lower case, ext3 the last three
// as they stand (so ".IV" is not an Inventor file, ".WRL" is VRML). The
// first matching rule applies; kinds whose reader does not exist yet fail
// with "not available yet".

#include <cctype>
#include <filesystem>
#include <memory>

#include "app/Dialogs.h"
#include "app/OrvexDoc.h"
#include "app/UserInterface.h"
#include "geometry/Mesh3d.h"
#include "io/ReadDem.h"
#include "io/ReadInventor.h"
#include "io/ReadMhp.h"
#include "io/ReadPpd.h"
#include "io/ReadSmf.h"
#include "io/ReadSmm.h"
#include "io/ReadVrml.h"
#include "io/Texture.h"

namespace {

using MeshReader = int (*)(CMesh3d*, const std::string&, CReadReport&, std::string&);

std::string Tail(const std::string& path, size_t n) {
  return path.size() < n ? path : path.substr(path.size() - n);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

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

bool IsImageExtension(const std::string& ext4) {
  return ext4 == ".jpg" || ext4 == ".bmp" || ext4 == ".dib";
}

// Kinds of the table whose readers belong to features still to come.
const char* LaterKind(const std::string& ext4) {
  if (ext4 == "quad") return "Quad meshes";
  if (ext4 == ".bin") return "Binary meshes (.bin)";
  if (ext4 == ".obj") return "Polygon meshes (.obj)";
  if (ext4 == ".vpm") return "Progressive meshes (.vpm)";
  if (ext4 == ".dat") return "Distance fields (.dat)";
  if (ext4 == ".iso") return "Isosurfaces (.iso)";
  if (ext4 == ".txt") return "Compressed isosurfaces (.txt)";
  if (ext4 == ".bbm") return "Octree bitmaps (.bbm)";
  return nullptr;
}

MeshReader PlainReader(const std::string& ext4) {
  if (ext4 == ".smf") return ReadSmf;
  if (ext4 == ".smm") return ReadSmm;
  if (ext4 == ".ppd") return ReadPpd;
  if (ext4 == ".dem") return ReadDem;
  if (ext4 == ".mhp") return ReadMhp;
  return nullptr;
}

} // namespace

// One mesh from a reader: on success the scene is cleared, the mesh built
// and appended; on failure the scene is left as it was.
static int OpenMesh(COrvexDoc& doc, const std::string& path, MeshReader reader) {
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

static int OpenVrml(COrvexDoc& doc, const std::string& path) {
  CVrmlParser parser;
  if (!parser.Load(path, &doc.m_SceneGraph)) {
    doc.SetLastError(parser.GetError());
    return 0;
  }
  doc.RunPostLoadSteps();
  if (!parser.GetReport().Summary().empty() && doc.GetUserInterface())
    doc.GetUserInterface()->StatusMessage("%s", parser.GetReport().Summary().c_str());
  return 1;
}

// Image files: the "Sampling" dialog; Cancel opens an empty document. The
// image is read as a texture and an empty mesh stands for it; building
// meshes from images is Predefined/Map from image.
static int OpenImage(COrvexDoc& doc, const std::string& path) {
  orvex::ParamValues values(orvex::SamplingDialogFields());
  orvex::CUserInterface* ui = doc.GetUserInterface();
  if (ui && !ui->EditParameters("Sampling", values)) return 1;
  CTexture texture;
  if (!texture.ReadFile(path)) {
    doc.SetLastError(texture.GetError().empty() ? "Unable to read the image" : texture.GetError());
    return 0;
  }
  if (values.Check("Quad mesh")) {
    doc.SetLastError("Quad meshes are not available yet");
    return 0;
  }
  doc.m_SceneGraph.Free();
  doc.m_SceneGraph.Add(new CMesh3d);
  doc.RunPostLoadSteps();
  return 1;
}

static int OpenByRule(COrvexDoc& doc, const std::string& path) {
  std::string ext4 = Lower(Tail(path, 4));
  std::string ext3 = Tail(path, 3);
  if (ext4 == ".wrl") return OpenVrml(doc, path);
  if (ext3 == ".iv") return OpenMesh(doc, path, ReadInventor);
  if (IsImageExtension(ext4)) return OpenImage(doc, path);
  if (MeshReader reader = PlainReader(ext4)) return OpenMesh(doc, path, reader);
  if (const char* kind = LaterKind(ext4)) {
    doc.SetLastError(std::string(kind) + " are not available yet");
    return 0;
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
  return 1;
}
