#include "io/FormatTable.h"

#include <cctype>

#include "io/ReadBinaryScene.h"
#include "io/ReadDem.h"
#include "io/ReadInventor.h"
#include "io/ReadMhp.h"
#include "io/ReadObj.h"
#include "io/ReadOff.h"
#include "io/ReadPly.h"
#include "io/ReadPolygonFile.h"
#include "io/ReadPpd.h"
#include "io/ReadSmf.h"
#include "io/ReadSmm.h"
#include "io/ReadStl.h"
#include "io/ReadVrml.h"
#include "io/WriteBinaryScene.h"
#include "io/WriteObj.h"
#include "io/WriteObjPolygons.h"
#include "io/WriteOff.h"
#include "io/WritePly.h"
#include "io/WriteStl.h"
#include "io/WriteVrml.h"

static int ReadVrmlScene(CSceneGraph3d* scene, const std::string& fileName, CReadReport& report,
                         std::string& error) {
  CVrmlParser parser;
  const int ok = parser.Load(fileName, scene);
  report = parser.GetReport();
  error = parser.GetError();
  return ok;
}

const std::vector<CFileFormat>& FileFormats() {
  using E = EFormatOpen;
  static const std::vector<CFileFormat> formats = {
      {".wrl", false, "VRML 2.0", E::Scene, nullptr, ReadVrmlScene, WriteVRML, "fuzz_vrml"},
      // ".IV" is not an Inventor file
      {".iv", true, "Inventor", E::Mesh, ReadInventor, nullptr, nullptr, "fuzz_inventor"},
      {".jpg", false, "JPEG image", E::Image, nullptr, nullptr, nullptr, "fuzz_jpeg"},
      {".bmp", false, "BMP image", E::Image, nullptr, nullptr, nullptr, "fuzz_bmp"},
      {".dib", false, "palette bitmap", E::Image, nullptr, nullptr, nullptr, "fuzz_dib"},
      {".smf", false, "simple mesh", E::Mesh, ReadSmf, nullptr, nullptr, "fuzz_smf"},
      {".smm", false, "counted mesh", E::Mesh, ReadSmm, nullptr, nullptr, "fuzz_smm"},
      {".ppd", false, "numbered mesh", E::Mesh, ReadPpd, nullptr, nullptr, "fuzz_ppd"},
      {".dem", false, "colored mesh", E::Mesh, ReadDem, nullptr, nullptr, "fuzz_dem"},
      {".mhp", false, "turned mesh", E::Mesh, ReadMhp, nullptr, nullptr, "fuzz_mhp"},
      {".off", false, "OFF mesh", E::Mesh, ReadOff, nullptr, WriteOff, "fuzz_off"},
      {".ply", false, "PLY mesh", E::Mesh, ReadPly, nullptr, WritePly, "fuzz_ply"},
      {".stl", false, "STL mesh", E::Mesh, ReadStl, nullptr, WriteStl, "fuzz_stl"},
      {".obj", false, "OBJ mesh", E::Scene, nullptr, ReadObjScene, WriteObj, "fuzz_obj"},
      {"quad", false, "quad mesh", E::Scene, nullptr, ReadQuadScene, WriteQuadFile, "fuzz_quad"},
      {".bin", false, "binary mesh", E::Mesh, ReadBinaryMesh, nullptr, WriteBinaryMesh,
       "fuzz_binary_mesh"},
      {".vpm", false, "progressive mesh", E::Decoder, nullptr, nullptr, nullptr, "fuzz_vpm"},
      // volumes and compressed isosurfaces, opened by the application layer
      {".dat", false, "Distance fields (.dat)", E::Decoder, nullptr, nullptr, nullptr,
       "fuzz_iso_grid"},
      {".iso", false, "Isosurfaces (.iso)", E::Decoder, nullptr, nullptr, nullptr,
       "fuzz_iso_volume"},
      {".txt", false, "Compressed isosurfaces (.txt)", E::Decoder, nullptr, nullptr, nullptr,
       "fuzz_iso_decoder"},
      {".bbm", false, "Octree bitmaps (.bbm)", E::Decoder, nullptr, nullptr, nullptr,
       "fuzz_iso_volume"},
      {".raw", false, "binary scene", E::Scene, nullptr, ReadBinaryScene, WriteBinary,
       "fuzz_binary_scene"},
  };
  return formats;
}

bool CFileFormat::Matches(const std::string& fileName) const {
  if (!caseSensitive) return EndsWithNoCase(fileName, ending);
  const std::string tail(ending);
  return fileName.size() >= tail.size() &&
         fileName.compare(fileName.size() - tail.size(), tail.size(), tail) == 0;
}

bool EndsWithNoCase(const std::string& name, const std::string& tail) {
  if (name.size() < tail.size()) return false;
  const size_t start = name.size() - tail.size();
  for (size_t i = 0; i < tail.size(); i++)
    if (std::tolower(static_cast<unsigned char>(name[start + i])) != tail[i]) return false;
  return true;
}

const CFileFormat* FindFileFormat(const std::string& fileName) {
  for (const CFileFormat& format : FileFormats())
    if (format.Matches(fileName)) return &format;
  return nullptr;
}

std::string SaveExtensionsText() {
  std::string text;
  for (const CFileFormat& format : FileFormats()) {
    if (!format.writer) continue;
    text += text.empty() ? "the extension " : " or ";
    text += std::string(format.ending) + " (" + format.description + ")";
  }
  return text;
}
