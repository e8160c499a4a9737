// The gate coders' commands: triangle encoding and decoding (33010,
// 33011), quad-mesh encoding, decoding and seed study (33018, 33019,
// 33020), polygon-mesh encoding, decoding, seed study and code
// distribution (33024, 33025, 33032, 33026). The coding itself is
// toolkit-free (compression/GateCommands.h); these handlers read the
// dialog, draw the conquest and report.

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "app/commands/GateCodingDialog.h"
#include "app/commands/Handlers.h"
#include "compression/GateCommands.h"
#include "geometry/FormatText.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "io/WriteVrml.h"
#include "processing/PolygonConversions.h"

namespace orvex {
namespace {

using namespace gate_labels;

constexpr const char* kDecodeFile = "File name";
constexpr const char* kDecodeDelay = "Delay (ms)";
// snapshots a watched decoding shows (and "levels.wrl" keeps)
constexpr int kDecodingSnapshots = 10;

void Pause(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

CommandResult Refused(CCommandContext& context, const std::string& error) {
  context.ui.ShowMessage(error);
  return CommandResult::Failed;
}

CGateRequest RequestFromDialog(CCommandContext& context) {
  const ParamValues& p = context.params;
  CGateRequest request;
  request.m_Options.m_SeedFace = p.Integer(kSeedFace);
  request.m_Options.m_Adaptive = p.Check(kAdaptive);
  request.m_Options.m_StepLimit = p.Check(kLimitConquest) ? p.Integer(kLimitSteps) : -1;
  request.m_Order = p.Integer(kOrder);
  request.m_Options.m_Join = p.Check(kModeJoin);
  request.m_ChooseBestOrder = p.Check(kChooseBestOrder);
  CGateGeometryOptions& g = request.m_Geometry;
  g.raw = p.Check(kNoGeometry);
  g.alpha = p.Integer(kAlpha);
  g.beta = p.Integer(kBeta);
  g.gamma = p.Integer(kGamma);
  g.useBeta = p.Check(kUseBeta);
  g.localFrame = p.Check(kLocalFrame);
  g.localX = p.Integer(kLocalX);
  g.localY = p.Integer(kLocalY);
  g.localZ = p.Integer(kLocalZ);
  g.together = p.Choice(kCompress) == 1;
  g.encodingOption = p.Choice(kEncodingOptions);
  request.m_File = context.doc->OutputPath(p.Text(kFile));
  return request;
}

// Colours of the conquest drawn on the mesh's faces.
CColor EventColor(GateFaceEvent event) {
  switch (event) {
  case GateFaceEvent::kSeed:
    return CColor(0, 0, 255);
  case GateFaceEvent::kConquered:
    return CColor(156, 207, 255);
  case GateFaceEvent::kSecondSeed:
    return CColor(255, 0, 0);
  case GateFaceEvent::kSecondConquered:
    break;
  }
  return CColor(145, 237, 195);
}

// With "Debug": paints the faces as they are conquered and redraws every
// "Update each" faces, pausing "Delay (ms)".
void WatchConquest(CCommandContext& context, CMesh3d* mesh, CGateOptions& options) {
  const ParamValues& p = context.params;
  if (!p.Check(kDebug)) return;
  for (int i = 0; i < mesh->NbFace(); ++i)
    if (CFace3d* f = mesh->GetFace(i)) f->m_Color = CColor(212, 208, 200);
  mesh->SetColorBinding(1);
  const int every = p.Integer(kUpdateEach), delay = p.Integer(kDelay);
  auto count = std::make_shared<int>(0);
  options.m_OnFace = [&context, mesh, every, delay, count](int face, GateFaceEvent event) {
    if (face >= mesh->NbFace() || !mesh->GetFace(face)) return;
    mesh->GetFace(face)->m_Color = EventColor(event);
    if (++*count % every != 0) return;
    mesh->SetModified();
    context.ui.RedrawNow();
    Pause(delay);
  };
}

void Report(CCommandContext& context, const CGateRun& run, GateFaces faces) {
  for (const std::string& file : run.m_Files) context.ReportFileWritten(file);
  const std::string text = GateResultText(run, faces);
  if (context.params.Check(kClipboard)) context.ui.SetClipboardText(text);
  context.ui.ShowMessage(text, kCompressionResultTitle);
}

CommandResult TriangleEncoding(CCommandContext& context) {
  CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  context.ui.SetStatusText("Encoding....");
  CGateArrays arrays;
  TriangleArrays(*mesh, arrays);
  CGateRequest request = RequestFromDialog(context);
  request.m_PackedFile = context.doc->OutputPath("packed.bin");
  WatchConquest(context, mesh, request.m_Options);
  CGateRun run;
  const int ok = RunGateEncoding(arrays, GateFaces::kTriangles, request, run);
  if (context.params.Check(kDebug)) mesh->SetModified();
  if (!ok) return Refused(context, run.m_Error);
  context.ui.SetStatusText(GateTriangleStatus(run));
  Report(context, run, GateFaces::kTriangles);
  return CommandResult::Done;
}

// The first quad mesh of the scene, or null.
CQuadMesh* FirstQuadMesh(CCommandContext& context) {
  return static_cast<CQuadMesh*>(Scene(context)->FindObjectOfType(TYPE_QUAD_MESH));
}

CommandResult NoQuadMesh(CCommandContext& context) {
  return Refused(context, "Sorry, no quad mesh in scenegraph");
}

CommandResult QuadEncoding(CCommandContext& context) {
  CQuadMesh* quads = FirstQuadMesh(context);
  if (!quads) return NoQuadMesh(context);
  context.ui.SetStatusText("Encoding quad-mesh....");
  CGateArrays arrays;
  QuadArrays(*quads, arrays);
  CGateRun run;
  if (!RunGateEncoding(arrays, GateFaces::kQuads, RequestFromDialog(context), run))
    return Refused(context, run.m_Error);
  context.ui.SetStatusText(GateQuadStatus(run));
  Report(context, run, GateFaces::kQuads);
  return CommandResult::Done;
}

// One encoding per seed face; only the last run's file is kept.
CommandResult QuadSeedStudy(CCommandContext& context) {
  CQuadMesh* quads = FirstQuadMesh(context);
  if (!quads) return NoQuadMesh(context);
  CGateArrays arrays;
  QuadArrays(*quads, arrays);
  CGateRequest request = RequestFromDialog(context);
  const std::string file = request.m_File;
  const int nf = quads->NbFace();
  std::string table = GateSeedTableHeader();
  for (int seed = 0; seed < nf; ++seed) {
    request.m_Options.m_SeedFace = seed;
    request.m_File = seed + 1 == nf ? file : std::string();
    CGateRun run;
    if (!RunGateEncoding(arrays, GateFaces::kQuads, request, run))
      return Refused(context, run.m_Error);
    for (const std::string& written : run.m_Files) context.ReportFileWritten(written);
    context.ui.SetStatusText(GateSeedStatus(seed, nf, run));
    table += GateSeedRow(seed, run);
  }
  context.ui.SetClipboardText(table);
  return CommandResult::Done;
}

// The scene's first polygon mesh split into quads and triangles (a copy:
// the document keeps its polygons); 0 after a message.
int PolygonArraysOfScene(CCommandContext& context, CGateArrays& arrays) {
  auto* found = static_cast<CPolygonMesh*>(Scene(context)->FindObjectOfType(TYPE_POLYGON_MESH));
  if (!found) {
    context.ui.ShowMessage("Sorry, no polygon mesh in scenegraph");
    return 0;
  }
  context.ui.SetStatusText("Convert to quads and triangles....");
  CPolygonMesh polygons(*found);
  SplitIntoQuadsAndTriangles(polygons);
  context.ui.SetStatusText("Rebuild adjacency....");
  polygons.Rebuild();
  std::string error;
  if (!PolygonArrays(polygons, arrays, error)) {
    context.ui.ShowMessage(error);
    return 0;
  }
  return 1;
}

// Polygon-mesh encoding; with `distribution` the report ends with the
// code distribution.
CommandResult PolygonEncoding(CCommandContext& context, bool distribution) {
  CGateArrays arrays;
  if (!PolygonArraysOfScene(context, arrays)) return CommandResult::Failed;
  context.ui.SetStatusText(distribution ? "Process distribution...." : "Encoding polygon-mesh....");
  CGateRun run;
  if (!RunGateEncoding(arrays, GateFaces::kPolygons, RequestFromDialog(context), run))
    return Refused(context, run.m_Error);
  for (const std::string& file : run.m_Files) context.ReportFileWritten(file);
  std::string text = GateResultText(run, GateFaces::kPolygons);
  if (distribution) text += GateCodeDistribution(run);
  if (context.params.Check(kClipboard)) context.ui.SetClipboardText(text);
  context.ui.ShowMessage(text, kCompressionResultTitle);
  context.ui.SetStatusText(distribution ? "Process distribution....done" : GatePolygonStatus(run));
  return CommandResult::Done;
}

CommandResult PolygonSeedStudy(CCommandContext& context) {
  CGateArrays arrays;
  if (!PolygonArraysOfScene(context, arrays)) return CommandResult::Failed;
  CGateRequest request = RequestFromDialog(context);
  const std::string file = request.m_File;
  const int nf = static_cast<int>(arrays.m_Sizes.size());
  std::string table = "SEED \t BIT-RATE (b/v)\r\n";
  for (int seed = 0; seed < nf; ++seed) {
    request.m_Options.m_SeedFace = seed;
    request.m_File = seed + 1 == nf ? file : std::string();
    CGateRun run;
    if (!RunGateEncoding(arrays, GateFaces::kPolygons, request, run))
      return Refused(context, run.m_Error);
    for (const std::string& written : run.m_Files) context.ReportFileWritten(written);
    context.ui.SetStatusText(GatePolygonSeedStatus(seed, run));
    table += GatePolygonSeedRow(seed, run);
  }
  context.ui.SetClipboardText(table);
  return CommandResult::Done;
}

// What the decoders ask before decoding: "Visual debug ?", its delay and,
// for triangles, "Output levels ?".
struct CDecodeWatch {
  bool visual = false;
  bool levels = false;
  int delay = 0;
};

bool AskDecodeWatch(CCommandContext& context, bool offerLevels, CDecodeWatch& watch) {
  watch.visual = context.ui.AskYesNo("Visual debug ?");
  if (!watch.visual) return true;
  ParamValues values({IntegerParam(kDecodeDelay, 0, 0, 60000)});
  if (!context.ui.EditParameters("Visual debug", values)) return false;
  watch.delay = values.Integer(kDecodeDelay);
  watch.levels = offerLevels && context.ui.AskYesNo("Output levels ?");
  return true;
}

// Shows the decoded faces growing in a new object of the scene (made by
// `make` for a face count), keeping each snapshot in "levels.wrl" when
// asked; the object ends whole.
void ShowGrowing(CCommandContext& context, const CDecodeWatch& watch, int nbFace,
                 const std::function<CObject3d*(int)>& make) {
  CSceneGraph3d* scene = Scene(context);
  scene->Add(make(0));
  const int index = scene->NbObject() - 1;
  CSceneGraph3d levels;
  const std::string levelsFile = context.doc->OutputPath("levels.wrl");
  for (int k = 1; k <= kDecodingSnapshots; ++k) {
    const int count = static_cast<int>(int64_t(nbFace) * k / kDecodingSnapshots);
    delete scene->RemoveAt(index);
    scene->Add(make(count));
    context.ui.RedrawNow();
    if (watch.levels) {
      levels.Add(make(count));
      std::string error;
      if (WriteVRML(&levels, levelsFile, error))
        context.ReportFileWritten(levelsFile);
      else
        context.ui.ShowMessage(error);
    }
    Pause(watch.delay);
  }
}

CommandResult Decoding(CCommandContext& context, GateFaces faces) {
  const bool triangles = faces == GateFaces::kTriangles;
  std::string path = context.params.Text(kDecodeFile);
  if (path.empty() && !context.ui.AskOpenFileName(path)) return CommandResult::Cancelled;
  path = context.doc->OutputPath(path);
  CDecodeWatch watch;
  if (!AskDecodeWatch(context, triangles, watch)) return CommandResult::Cancelled;
  const char* begin = triangles                    ? "Decoding...."
                      : faces == GateFaces::kQuads ? "Decoding quad-mesh...."
                                                   : "Decoding polygon-mesh....";
  context.ui.SetStatusText(begin);
  const auto start = std::chrono::steady_clock::now();
  CGateDecoded decoded;
  std::string error;
  if (!ReadGateFile(path, faces, context.params.Check(kAdaptive), decoded, error))
    return Refused(context, error);
  const int nbFace = decoded.m_Conquest.NbFace();
  if (watch.visual) {
    ShowGrowing(context, watch, nbFace, [&decoded, faces](int count) -> CObject3d* {
      if (faces == GateFaces::kTriangles) return NewGateTriangleMesh(decoded, count);
      CGateDecoded part = decoded;
      CGateConquest& c = part.m_Conquest;
      c.m_FaceStart.resize(size_t(count) + 1);
      c.m_Corners.resize(c.m_FaceStart.back());
      if (faces == GateFaces::kQuads) return NewGateQuadMesh(part);
      return NewGatePolygonMesh(part);
    });
    context.ui.SetStatusText(std::string(begin) + "done");
    return CommandResult::Done;
  }
  CObject3d* mesh = nullptr;
  if (triangles)
    mesh = NewGateTriangleMesh(decoded);
  else if (faces == GateFaces::kQuads)
    mesh = NewGateQuadMesh(decoded);
  else
    mesh = NewGatePolygonMesh(decoded);
  if (!mesh) return Refused(context, path + ": the decoded faces do not make a mesh");
  Scene(context)->Add(mesh);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  context.ui.SetStatusText(FormatText("%sdone (%g f/s)", begin, nbFace / std::max(seconds, 0.001)));
  return CommandResult::Done;
}

std::vector<ParamField> DecodingFields() {
  return {TextParam(kDecodeFile, "mesh.bin"), CheckParam(kAdaptive, true)};
}

CommandDialog EncodingDialog() {
  return {kGateCodingTitle, GateCodingFields(), nullptr};
}

} // namespace

std::vector<CommandBinding> GateCodingCommands() {
  // the encoders only write files (and colour the faces with "Debug"); the
  // decoders add a mesh to the scene
  return {
      CommandBinding{"33010", TriangleEncoding, kEffectFiles | kEffectAttributes}.Dialog(
          EncodingDialog()),
      CommandBinding{"33011", [](CCommandContext& c) { return Decoding(c, GateFaces::kTriangles); },
                     kEffectObjects | kEffectFiles}
          .Dialog({"Triangle decoding", DecodingFields(), nullptr}),
      CommandBinding{"33018", QuadEncoding, kEffectFiles}.Dialog(EncodingDialog()),
      CommandBinding{"33019", [](CCommandContext& c) { return Decoding(c, GateFaces::kQuads); },
                     kEffectObjects}
          .Dialog({"Quad-mesh decoding", DecodingFields(), nullptr}),
      CommandBinding{"33020", QuadSeedStudy, kEffectFiles}.Dialog(EncodingDialog()),
      CommandBinding{"33024", [](CCommandContext& c) { return PolygonEncoding(c, false); },
                     kEffectFiles}
          .Dialog(EncodingDialog()),
      CommandBinding{"33025", [](CCommandContext& c) { return Decoding(c, GateFaces::kPolygons); },
                     kEffectObjects}
          .Dialog({"Polygon-mesh decoding", DecodingFields(), nullptr}),
      CommandBinding{"33032", PolygonSeedStudy, kEffectFiles}.Dialog(EncodingDialog()),
      CommandBinding{"33026", [](CCommandContext& c) { return PolygonEncoding(c, true); },
                     kEffectFiles}
          .Dialog(EncodingDialog()),
  };
}

} // namespace orvex
