// "&Algorithms/Hash table..." and the approximating simplifications of
// "&Algorithms/Surface simplification".

#include "processing/ApproximationCommands.h"

#include <chrono>
#include <memory>

#include "app/DocumentWorker.h"
#include "app/UndoHistory.h"
#include "app/commands/Handlers.h"
#include "geometry/FormatText.h"
#include "io/ReplaceFile.h"
#include "io/TextOutput.h"
#include "io/WriteVrml.h"
#include "processing/SceneMeshes.h"
#include "processing/SimplificationCommands.h"

namespace orvex {
namespace {

CommandResult HashTable(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  return ShowOutcome(context,
                     CommandHashTable(Scene(context), context.params.Integer("Size"),
                                      context.params.Check("Show grid"), RedrawHooks(context)));
}

CommandResult ProgressiveMeshCommand(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  const ParamValues& p = context.params;
  CProgressiveMeshParams params;
  params.Final = p.Integer("Final");
  params.Epsilon = p.Real("Epsilon");
  params.MaxIter = p.Integer("Max iter");
  params.Spring = p.Real("Spring");
  params.InitialStep = p.Real("Initial (step)");
  params.Increase = static_cast<float>(p.Real("Increase factor"));
  params.Decrease = static_cast<float>(p.Real("Decrease factor"));
  params.MaxStep = static_cast<float>(p.Real("Max"));
  params.MinStep = static_cast<float>(p.Real("Min"));
  params.Sharp = static_cast<float>(p.Real("Sharp threshold"));
  params.HashSize = p.Integer("Size hash table");
  params.Update = p.Check("Update iterations");
  params.UpdateFrequency = p.Integer("Update frequency");
  context.doc->m_HighlightVertexIndex = 0;
  context.doc->m_HighlightFaceIndex = 0;
  return ShowOutcome(context, CommandProgressiveMesh(Scene(context), params, RedrawHooks(context)));
}

CVolumicParams VolumicParams(const ParamValues& p) {
  CVolumicParams params;
  params.Model = p.Integer("Model");
  params.Reference = p.Integer("Reference");
  params.Final = p.Integer("Final");
  params.Method = p.Choice("Random / Priority queue / Global optimization");
  params.Curveness = p.Choice("Edge length / Curveness");
  params.SamplesPerFace = p.Integer("Samples per face");
  params.Epsilon = p.Real("Epsilon");
  params.MaxIter = p.Integer("Max iter");
  params.InitialFraction = p.Real("Initial (edge %)");
  params.MinFraction = p.Real("Min (edge %)");
  params.Decrease = p.Real("Decrease factor");
  params.DecreaseAfter = p.Integer("Decrease after");
  params.SharpEdge = static_cast<float>(p.Real("Sharp edge"));
  params.CollapseBoundaries = p.Check("Collapse boundaries");
  params.Hausdorff = p.Check("Initalize using Hausdorff");
  params.UseHash = p.Check("Use hash table");
  params.HashSize = p.Integer("Hash table");
  params.NbFaceSearch = p.Integer("Nb face (search)");
  params.Smooth = p.Check("Smooth");
  params.SmoothIterations = p.Integer("Iteration");
  params.MoveBoundaries = p.Check("Move boundaries");
  params.Save = p.Check("Save intermediate");
  params.SavePeriodDecimation = p.Integer("Each (decimation)");
  params.SavePeriodOptimization = p.Integer("Each (optimisation)");
  params.Update = p.Check("Update iterations");
  return params;
}

// The intermediate file, opened with its header before the worker starts
// (null, with the message shown, when it cannot be written; the run goes on
// without it).
struct CIntermediateFile {
  CReplaceFile file;
  CTextOutput out{&file};
};

std::shared_ptr<CIntermediateFile> OpenIntermediate(CCommandContext& context,
                                                    const std::string& path) {
  auto intermediate = std::make_shared<CIntermediateFile>();
  if (!intermediate->file.Open(path)) {
    context.ui.ShowMessage("Unable to open file for writing");
    return nullptr;
  }
  WriteVrmlIntermediateHeader(intermediate->out);
  if (!intermediate->out.Flush(true)) {
    context.ui.ShowMessage("Error during writing file header");
    return nullptr;
  }
  return intermediate;
}

CommandResult VolumeBased(CCommandContext& context) {
  const CVolumicParams params = VolumicParams(context.params);
  CMesh3d* model = AsMesh(Scene(context)->GetAt(params.Model));
  if (!model) return NoMesh(context);
  CMesh3d* reference = AsMesh(Scene(context)->GetAt(params.Reference));

  std::shared_ptr<CIntermediateFile> intermediate;
  std::string path;
  if (params.Save) {
    if (!AskIntermediateFile(context, path)) return CommandResult::Cancelled;
    intermediate = OpenIntermediate(context, path);
  }

  // the worker changes the scene from now on: no undo reaches back past it
  COrvexDoc* doc = context.doc;
  doc->UndoHistory().Clear();
  doc->SetModifiedFlag();
  auto work = [model, reference, params, intermediate](const CApproximationHooks& hooks) {
    const auto start = std::chrono::steady_clock::now();
    const int before = model->NbVertex();
    CRandom15 random;
    CTextOutput* save = intermediate ? &intermediate->out : nullptr;
    RunVolumicMethod(model, reference, params, save, random, hooks);
    std::string failure;
    if (intermediate && (!intermediate->out.Flush(true) || !intermediate->file.Commit()))
      failure = "; the intermediate file could not be written";
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return FormatText("Volume-based metric %s, %d -> %d vertices, %g s",
                      hooks.Stopped() ? "stopped" : "done", before, model->NbVertex(), seconds) +
           failure;
  };
  if (!doc->Worker().Start(work, doc->SceneLock(), doc->WorkerNotifier())) {
    context.ui.ShowMessage("Failed to create thread");
    return CommandResult::Failed;
  }
  if (intermediate) context.ReportFileWritten(path);
  return CommandResult::Done;
}

CommandResult StopVolumeBased(CCommandContext& context) {
  if (!context.doc->IsBusy()) return CommandResult::NothingDone;
  context.doc->Worker().Stop();
  context.doc->ServeWorker(false);
  return CommandResult::Done;
}

} // namespace

std::vector<CommandBinding> ApproximationCommands() {
  constexpr Effects kSimplifies =
      kEffectPositions | kEffectNormals | kEffectTopology | kEffectAttributes;
  return {
      {kMenuHashTable, HashTable, kEffectObjects},
      {kMenuProgressiveMesh, ProgressiveMeshCommand, kSimplifies | kEffectDisplay},
      // the worker changes the model and may refill the reference object
      CommandBinding(kMenuVolumeBased, VolumeBased, kSimplifies | kEffectFiles).WithoutUndoRecord(),
      CommandBinding(kMenuStopVolumeBased, StopVolumeBased, kEffectNone)
          .EnabledWhen([](const COrvexDoc& doc) { return doc.IsBusy(); })
          .RunsBesideWorker()
          .WithoutUndoRecord(),
  };
}

} // namespace orvex
