// The single-rate valence coder's commands: one encoding run or the
// multiple-seed study (32986), the geometry benchmark (32989) and the
// switch between quantized and unquantized positions (32988).

#include <algorithm>

#include "app/commands/Handlers.h"
#include "app/commands/ValenceDialog.h"
#include "app/commands/ValenceReports.h"
#include "app/commands/ValenceWarnings.h"
#include "geometry/Mesh3d.h"

namespace orvex {
namespace {

using namespace valence_labels;

constexpr const char* kDistributionTitle = "Distribution";

// New normals and display lists after the coder painted or moved the mesh.
void RefreshMesh(CMesh3d* mesh) {
  mesh->CalculateNormalPerFace();
  mesh->CalculateNormalPerVertex();
  mesh->SetModified();
}

// The packed file named in the dialog goes into the document's folder.
CValenceOptions OptionsFor(CCommandContext& context) {
  CValenceOptions options = ValenceOptionsFromDialog(context.params);
  options.m_PackedFile = context.doc->OutputPath(options.m_PackedFile);
  CUserInterface& ui = context.ui;
  options.m_Redraw = [&ui] { ui.RedrawNow(); };
  return options;
}

// Runs the coder once; on failure shows why and returns false. Warnings
// are gathered for the caller to show once.
bool Encode(CCommandContext& context, CMesh3d* mesh, const CValenceOptions& options,
            CValenceWarnings& warnings, CValenceResult& result) {
  EncodeValence(mesh, options, &result);
  for (const std::string& file : result.m_Files) context.ReportFileWritten(file);
  warnings.Add(result.m_Warnings);
  if (result.m_Ok) return true;
  warnings.Show(context.ui);
  context.ui.ShowMessage(result.m_Error.empty() ? "Valence-centered encoding failed"
                                                : result.m_Error);
  return false;
}

// Every run of a series but the last one takes its ghost vertex away, so
// that the next run codes the mesh as it was; the last one does what the
// dialog says.
void KeepGhostOnlyOnLast(CValenceOptions& options, int removeGhost, bool last) {
  options.m_bRemoveGhost = last ? removeGhost : 1;
}

CommandResult SingleRun(CCommandContext& context, CMesh3d* mesh, CValenceOptions& options) {
  double entropy = ValenceEntropy(*mesh);
  CValenceWarnings warnings;
  CValenceResult result;
  if (!Encode(context, mesh, options, warnings, result)) return CommandResult::Failed;
  warnings.Show(context.ui);
  context.ui.SetStatusText(SingleRunStatus(result, options.m_bGeometry != 0, entropy));
  if (context.params.Check(kShowDistribution))
    context.ui.ShowDistribution(kDistributionTitle, CodeHistogram(result.m_Codes));
  return CommandResult::Done;
}

// One run per seed face (all faces, or the "# faces" first ones, at most
// the face count), with statistics and a table on the clipboard.
CommandResult SeedStudy(CCommandContext& context, CMesh3d* mesh, CValenceOptions& options) {
  const ParamValues& params = context.params;
  int count = params.Check(kLimitSeeds) ? params.Integer(kSeedCount) : mesh->NbFace();
  count = std::min(count, mesh->NbFace());
  if (count <= 0) {
    context.ui.ShowMessage("No seed face to encode from");
    return CommandResult::NothingDone;
  }
  const bool random = params.Check(kRandom);
  const bool status = params.Check(kStatus);
  const bool distribution = params.Check(kShowDistribution);
  const int removeGhost = options.m_bRemoveGhost;
  CRandom15& generator = context.doc->Random();
  CSeedStudy study(count);
  CValenceWarnings warnings;
  std::vector<int> histogram;
  for (int i = 0; i < count; i++) {
    int face = random ? CSeedStudy::RandomSeed(generator.Next(), count) : i;
    options.m_SeedFace = face;
    KeepGhostOnlyOnLast(options, removeGhost, i == count - 1);
    CValenceResult result;
    if (!Encode(context, mesh, options, warnings, result)) return CommandResult::Failed;
    study.Add(i, face, result);
    if (status) context.ui.SetStatusText(study.LastRunStatus());
    if (distribution) AddHistogram(histogram, CodeHistogram(result.m_Codes));
  }
  warnings.Show(context.ui);
  context.ui.SetStatusText(study.Summary());
  context.ui.SetClipboardText(study.Table());
  if (distribution) context.ui.ShowDistribution(kDistributionTitle, histogram);
  return CommandResult::Done;
}

CommandResult ValenceEncoding(CCommandContext& context) {
  CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  CValenceOptions options = OptionsFor(context);
  CommandResult result = context.params.Check(kMultipleSeed) ? SeedStudy(context, mesh, options)
                                                             : SingleRun(context, mesh, options);
  RefreshMesh(mesh);
  return result;
}

// Geometry coded with N normal bits and P parameter bits for every pair
// from 4 to 11 (N outer); the table goes to the clipboard.
CommandResult GeometryBenchmark(CCommandContext& context) {
  CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  constexpr int kFewest = 4, kMost = 11;
  CValenceOptions options = OptionsFor(context);
  options.m_bGeometry = 1;
  const int removeGhost = options.m_bRemoveGhost;
  CValenceWarnings warnings;
  std::string table = BenchmarkHeader();
  CommandResult outcome = CommandResult::Done;
  for (int n = kFewest; n <= kMost && outcome == CommandResult::Done; n++)
    for (int p = kFewest; p <= kMost; p++) {
      context.ui.SetStatusText(BenchmarkStatus(n, p));
      options.m_NormalBits = n;
      options.m_ParamBits = p;
      KeepGhostOnlyOnLast(options, removeGhost, n == kMost && p == kMost);
      CValenceResult result;
      if (!Encode(context, mesh, options, warnings, result)) {
        outcome = CommandResult::Failed;
        break;
      }
      table += BenchmarkLine(n, p, result);
    }
  RefreshMesh(mesh);
  if (outcome != CommandResult::Done) return outcome;
  warnings.Show(context.ui);
  context.ui.SetClipboardText(table);
  return CommandResult::Done;
}

// Saved positions exist once a coder has kept a copy; a mesh that never
// saved any holds zeros there, and swapping would fold it onto the origin.
bool HasSavedPositions(const CMesh3d& mesh) {
  for (int i = 0; i < mesh.NbVertex(); i++) {
    const CVertex3d* v = mesh.GetVertex(i);
    if (!v) continue;
    CVector3d saved = v->SavedPosition();
    if (saved.x != 0.0 || saved.y != 0.0 || saved.z != 0.0) return true;
  }
  return false;
}

CommandResult QuantizedToggle(CCommandContext& context) {
  CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  if (!HasSavedPositions(*mesh)) {
    context.ui.ShowMessage("No quantized positions to switch to");
    return CommandResult::NothingDone;
  }
  mesh->SwapPositions();
  RefreshMesh(mesh);
  // a coder leaves the mesh on its own positions with the quantized ones
  // as the other copy: swapped, the mesh shows the quantized positions
  context.ui.SetStatusText(mesh->m_PositionsSwapped ? "Quantized mode" : "Unquantized mode");
  return CommandResult::Done;
}

} // namespace

std::vector<CommandBinding> ValenceCommands() {
  // the coders keep the quantized positions beside the mesh's own and
  // write their streams next to the document
  return {
      {"32986", ValenceEncoding, kEffectFiles | kEffectAttributes},
      {"32989", GeometryBenchmark, kEffectFiles | kEffectAttributes},
      {"32988", QuantizedToggle, kEffectPositions | kEffectNormals},
  };
}

} // namespace orvex
