// "&Compression/Progressive Isosurface ": counts of the current mesh, the
// progressive coder on the document's volume and the decoder into a new
// polygon mesh; and "File/Export/cpt file", the grid file of the first mesh.

#include <cstdio>
#include <string>

#include "app/IsosurfaceScene.h"
#include "app/commands/Handlers.h"
#include "compression/IsoCoder.h"
#include "compression/SurfaceCounts.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "io/WriteGridFile.h"
#include "processing/PolygonConversions.h"

namespace orvex {
namespace {

constexpr const char* kCompressTitle = "Compress Isosurface";
constexpr const char* kFileName = "File name:";

// The mesh "Analyze " counts: the last polygon mesh of the scene, else the
// first triangle or quad mesh seen as polygons; false when there is none.
bool CurrentPolygons(CCommandContext& context, CPolygonMesh& polygons) {
  CSceneGraph3d& scene = *Scene(context);
  for (int i = scene.NbObject() - 1; i >= 0; --i)
    if (scene.GetAt(i)->GetType() == TYPE_POLYGON_MESH) {
      polygons = *static_cast<CPolygonMesh*>(scene.GetAt(i));
      return true;
    }
  if (CMesh3d* mesh = context.doc->GetFirstMesh()) {
    FromTriangleMesh(polygons, *mesh);
    return true;
  }
  if (CObject3d* quads = scene.FindObjectOfType(TYPE_QUAD_MESH)) {
    FromQuadMesh(polygons, *static_cast<CQuadMesh*>(quads));
    return true;
  }
  return false;
}

CommandResult Analyze(CCommandContext& context) {
  CPolygonMesh polygons;
  if (!CurrentPolygons(context, polygons)) return NoMesh(context);
  const CSurfaceCounts c = CountSurface(polygons);
  char text[160];
  std::snprintf(text, sizeof text, " V: %lld, F: %lld E: %lld C: %lld G: %lld", c.m_V, c.m_F, c.m_E,
                c.m_C, c.m_G);
  context.ui.SetStatusText(text);
  return CommandResult::NothingDone;
}

// The "Volume Compression" report: rates per vertex, quantizations, the
// connectivity bytes at the end of every level, stream sizes and counts.
std::string CompressionReport(const CIsoEncodeResult& r) {
  const double v = r.m_Vertices > 0 ? r.m_Vertices : 1;
  const uint64_t connectivity = r.m_SignBytes + r.m_LeafBytes;
  const uint64_t total = connectivity + r.m_GeoBytes;
  char line[160];
  std::string text;
  auto add = [&](const char* format, auto... values) {
    std::snprintf(line, sizeof line, format, values...);
    text += line;
    text += "\n";
  };
  add("Total (b/v) : %.3f", total * 8.0 / v);
  add("Connectivity (b/v) : %.3f", connectivity * 8.0 / v);
  add("Geometry (b/v) : %.3f", r.m_GeoBytes * 8.0 / v);
  add("Local x/y: %d", r.m_Header.m_Levels[0]);
  add("Local z: %d", r.m_Header.m_Levels[2]);
  add("Quantization #: %d",
      r.m_Header.m_Levels[0] * r.m_Header.m_Levels[1] * r.m_Header.m_Levels[2]);
  // every level, at least eight rows
  for (size_t level = 0; level < std::max<size_t>(8, r.m_LevelBytes.size()); ++level) {
    const unsigned long long bytes = level < r.m_LevelBytes.size() ? r.m_LevelBytes[level] : 0;
    add("Level %d: %llu", int(level + 1), bytes);
  }
  add("Sign bits: %llu", static_cast<unsigned long long>(r.m_SignBytes));
  add("Leaf bits: %llu", static_cast<unsigned long long>(r.m_LeafBytes));
  add("Geometry: %llu", static_cast<unsigned long long>(r.m_GeoBytes));
  add("#Vert: %d", r.m_Vertices);
  add("#Face: %d", r.m_Faces);
  add("Compresssed(byte): %llu", static_cast<unsigned long long>(total));
  add("Total: %llu", static_cast<unsigned long long>(total));
  return text;
}

CommandResult Encode(CCommandContext& context) {
  COrvexDoc& doc = *context.doc;
  if (!doc.m_pIsoWorkspace) {
    context.ui.ShowMessage("No isosurface to encode: open a volume (.iso, .bbm) first");
    return CommandResult::Failed;
  }
  CIsoEncodeOptions options;
  options.m_Geometry = !context.params.Check("No Geometry");
  options.m_QuantXY = context.params.Integer("Geo Quant x,y");
  options.m_QuantZ = context.params.Integer("Geo Quant z");
  const std::string base = doc.OutputPath(context.params.Text(kFileName));
  CIsoEncodeResult result;
  std::string error;
  if (!IsoEncodeFiles(*doc.m_pIsoWorkspace, options, base, result, error)) {
    context.ui.ShowMessage(error);
    return CommandResult::Failed;
  }
  for (const char* suffix : {"_header.txt", ".sign", ".leaf", ".geo"})
    if (options.m_Geometry || std::string(suffix) != ".geo")
      context.ReportFileWritten(base + suffix);
  char status[80];
  std::snprintf(status, sizeof status, "Compression Done %g sec.", context.ElapsedSeconds());
  context.ui.SetStatusText(status);
  context.ui.ShowMessage(CompressionReport(result), "Volume Compression");
  return CommandResult::Done;
}

CommandResult Decode(CCommandContext& context) {
  CIsoDecodeView view;
  view.m_VisualDebug = context.params.Check("Visual Debug");
  view.m_EachLevel = context.params.Check("Visual Debug at each level");
  std::string error;
  if (!DecodeIsosurfaceIntoScene(*context.doc, &context.ui,
                                 context.doc->OutputPath(context.params.Text(kFileName)), view,
                                 error)) {
    context.ui.ShowMessage(error);
    return CommandResult::Failed;
  }
  return CommandResult::Done;
}

CommandResult ExportCptFile(CCommandContext& context) {
  CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  const std::string path = context.doc->OutputPath(context.params.Text("File name"));
  std::string error;
  if (!WriteGridFile(mesh, path, error)) {
    context.ui.ShowMessage(error);
    return CommandResult::Failed;
  }
  context.ReportFileWritten(path);
  return CommandResult::Done;
}

// Dialog defaults: the document's base name.
void BaseName(const COrvexDoc& doc, ParamValues& values, const char* field, const char* suffix) {
  std::string base = doc.m_BasePath;
  const size_t slash = base.find_last_of("/\\");
  if (slash != std::string::npos) base = base.substr(slash + 1);
  values.SetDefault(field, (base.empty() ? std::string("isosurface") : base) + suffix);
}

} // namespace

std::vector<CommandBinding> IsosurfaceCommands() {
  const char* menu = "&Compression/Progressive Isosurface /";
  return {
      CommandBinding(std::string(menu) + "Analyze ", Analyze, kEffectNone, Redraw::None),
      CommandBinding(std::string(menu) + "Encode (Ctrl-D)", Encode, kEffectFiles, Redraw::None)
          .Dialog({kCompressTitle,
                   {TextParam(kFileName, ""), CheckParam("No Geometry", false),
                    IntegerParam("Geo Quant x,y", 8, 2, 4096),
                    IntegerParam("Geo Quant z", 18, 2, 4096)},
                   [](const COrvexDoc& d, ParamValues& v) { BaseName(d, v, kFileName, ""); }}),
      CommandBinding(std::string(menu) + "Decode (Ctrl-Shift-D)", Decode, kEffectObjects)
          .Dialog({kDecompressTitle,
                   {TextParam(kFileName, ""), CheckParam("Visual Debug", true),
                    IntegerParam("Delay (ms)", 0, 0, 100000),
                    IntegerParam("Update each", 500, 1, 1 << 30),
                    CheckParam("Visual Debug at each level", true)},
                   [](const COrvexDoc& d, ParamValues& v) { BaseName(d, v, kFileName, ""); }}),
      CommandBinding("&File/Export/cpt file", ExportCptFile, kEffectFiles, Redraw::None)
          .Dialog(
              {"cpt file",
               {TextParam("File name", "")},
               [](const COrvexDoc& d, ParamValues& v) { BaseName(d, v, "File name", ".dat"); }}),
  };
}

} // namespace orvex
