// The degree-and-offset structure coder's commands: one encoding run or
// one per seed face (32897), and the decoder (32901).

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/commands/Handlers.h"
#include "compression/StructureDecoder.h"
#include "compression/StructureEncoder.h"
#include "compression/StructureMesh.h"
#include "compression/StructureReport.h"
#include "geometry/Mesh3d.h"
#include "geometry/VectorSet3d.h"

namespace orvex {
namespace {

constexpr const char* kFileField = "File name (...)";
constexpr const char* kPivots = "Encourage full vertices as pivots";
constexpr const char* kVisual = "Visual debugging";
constexpr const char* kDelay = "Visual delay (ms)";
constexpr const char* kUpdateEach = "Update each";
constexpr const char* kMultipleSeed = "Multiple seed face";
constexpr const char* kSeedFace = "Seed face";
constexpr const char* kSeedNumber = "Seed face (number)";
constexpr const char* kMultithreading = "Multithreading";
constexpr const char* kDecodeFile = "File name";

std::vector<ParamField> EncodingFields() {
  return {TextParam(kFileField, "topology.bin"),
          CheckParam(kPivots, true),
          CheckParam(kVisual, true),
          IntegerParam(kDelay, 0, 0, 60000),
          IntegerParam(kUpdateEach, 1, 1, kParamNoLimit),
          CheckParam(kMultipleSeed, false),
          CheckParam(kSeedFace, false),
          IntegerParam(kSeedNumber, 0, 0, kParamNoLimit),
          CheckParam(kMultithreading, false)};
}

// The conquest drawn as it goes: each step's gate edge, white, in a vector
// set added to the scene (edges to the dummy vertex have no place to go).
CVectorSet3d* AddGateDrawing(CCommandContext& context, const CMesh3d& mesh,
                             CStructureOptions& options) {
  CVectorSet3d* gates = new CVectorSet3d;
  gates->SetName("VectorSet");
  gates->SetColor(CColor(255, 255, 255, 255));
  Scene(context)->Add(gates);
  const int nv = mesh.NbVertex();
  options.m_OnGate = [gates, &mesh, nv](int from, int to) {
    if (from >= nv || to >= nv) return;
    const CVertex3d* a = mesh.GetVertex(from);
    const CVertex3d* b = mesh.GetVertex(to);
    gates->Add(CVector3d(a->x, a->y, a->z), CVector3d(b->x, b->y, b->z));
  };
  CUserInterface& ui = context.ui;
  options.m_Redraw = [gates, &ui] {
    gates->SetModified();
    ui.RedrawNow();
  };
  const ParamValues& p = context.params;
  options.m_DelayMs = p.Integer(kDelay);
  options.m_UpdateEach = p.Integer(kUpdateEach);
  return gates;
}

// The dialog's seed, or the document's current face (0 when that face is
// gone); -1 after a refusal shown to the user.
int SeedFace(CCommandContext& context, const CMesh3d& mesh) {
  if (!context.params.Check(kSeedFace)) {
    const int current = context.doc->m_HighlightFaceIndex;
    return current >= 0 && current < mesh.NbFace() ? current : 0;
  }
  const int seed = context.params.Integer(kSeedNumber);
  if (seed >= mesh.NbFace()) {
    char text[96];
    std::snprintf(text, sizeof text, "Seed face %d does not exist (the mesh has %d faces)", seed,
                  mesh.NbFace());
    context.ui.ShowMessage(text);
    return -1;
  }
  return seed;
}

CommandResult Refused(CCommandContext& context, const std::string& error) {
  context.ui.ShowMessage(error);
  return CommandResult::Failed;
}

CommandResult SingleRun(CCommandContext& context, const CMesh3d& mesh, const std::string& file) {
  const int seed = SeedFace(context, mesh);
  if (seed < 0) return CommandResult::Failed;
  CStructureOptions options;
  options.m_bFullPivots = context.params.Check(kPivots);
  CVectorSet3d* gates =
      context.params.Check(kVisual) ? AddGateDrawing(context, mesh, options) : nullptr;
  CStructureResult result;
  const int ok = EncodeStructure(mesh, file, seed, options, result);
  if (gates) gates->SetModified();
  if (!ok) {
    // a refused run leaves no drawing behind
    if (gates) Scene(context)->DeleteAt(Scene(context)->NbObject() - 1);
    return Refused(context, result.m_Error);
  }
  context.ReportFileWritten(result.m_File);
  context.ui.ShowMessage(StructureReport(result));
  return CommandResult::Done;
}

// One run per face; the table goes to the clipboard at most once a second
// while it grows, and whole at the end.
CommandResult SeedStudy(CCommandContext& context, const CMesh3d& mesh, const std::string& file) {
  CStructureMesh structure;
  std::string error;
  if (!structure.Build(mesh, error)) return Refused(context, error);
  CStructureOptions options;
  options.m_bFullPivots = context.params.Check(kPivots);
  std::string table = StructureSeedTableHeader();
  auto shown = std::chrono::steady_clock::now();
  for (int seed = 0; seed < structure.NbRealFace(); ++seed) {
    const bool last = seed + 1 == structure.NbRealFace();
    CStructureResult result;
    if (!EncodeStructure(structure, last ? file : std::string(), seed, options, result))
      return Refused(context, result.m_Error);
    if (last) context.ReportFileWritten(result.m_File);
    table += StructureSeedRow(structure, seed, result);
    const auto now = std::chrono::steady_clock::now();
    if (now - shown >= std::chrono::seconds(1)) {
      context.ui.SetClipboardText(table);
      shown = now;
    }
  }
  context.ui.SetClipboardText(table);
  return CommandResult::Done;
}

CommandResult StructureCoding(CCommandContext& context) {
  if (context.params.Check(kMultithreading)) {
    context.ui.ShowMessage("Multithreading is not available for this coder: nothing was done");
    return CommandResult::NothingDone;
  }
  const CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  const std::string file = context.doc->OutputPath(context.params.Text(kFileField));
  return context.params.Check(kMultipleSeed) ? SeedStudy(context, *mesh, file)
                                             : SingleRun(context, *mesh, file);
}

CommandResult StructureDecoding(CCommandContext& context) {
  const auto start = std::chrono::steady_clock::now();
  const std::string path = context.doc->OutputPath(context.params.Text(kDecodeFile));
  std::ifstream in(path, std::ios::binary);
  if (!in) return Refused(context, "Unable to open " + path);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  CStructureDecoded decoded;
  std::string error;
  if (!DecodeStructure(bytes.data(), bytes.size(), decoded, error))
    return Refused(context, path + ": " + error);
  Scene(context)->Add(NewDecodedMesh(decoded));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char status[64];
  std::snprintf(status, sizeof status, "End decoding...%g s", seconds);
  context.ui.SetStatusText(status);
  return CommandResult::Done;
}

} // namespace

std::vector<CommandBinding> StructureCodingCommands() {
  // the coder only reads the mesh; its drawing of the conquest is a new
  // object, as is the decoded mesh
  return {
      CommandBinding("32897", StructureCoding, kEffectFiles | kEffectObjects)
          .Dialog({"Mesh structure coding", EncodingFields(), {}}),
      CommandBinding("32901", StructureDecoding, kEffectObjects)
          .Dialog({"Mesh structure decoding", {TextParam(kDecodeFile, "topology.bin")}, {}}),
  };
}

} // namespace orvex
