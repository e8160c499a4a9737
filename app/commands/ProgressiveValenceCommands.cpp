// The progressive valence coder's commands: encoding to a ".vpm" file
// (33007), decoding one into a new mesh (33037), applying a layer file to
// the first mesh (33003) and the geometry compression study (33000).

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "app/commands/Handlers.h"
#include "app/commands/ProgressiveValenceDialog.h"
#include "compression/ProgressiveCommands.h"
#include "compression/ProgressiveConquest.h"
#include "compression/ProgressiveMesh.h"
#include "compression/ProgressiveMeshes.h"
#include "geometry/FormatText.h"
#include "geometry/Mesh3d.h"

namespace orvex {
namespace {

using namespace progressive_labels;

void Pause(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Shows the coder's mesh in the place of the document's mesh for one
// redraw: the document's mesh itself is never changed.
void ShowInPlace(CCommandContext& context, CMesh3d* mesh, const CProgressiveMesh& level,
                 const CQuantizer& quantizer) {
  CMesh3d shown;
  FillMesh(level, quantizer, shown);
  *shown.GetTransform() = *mesh->GetTransform();
  *shown.GetMaterial() = *mesh->GetMaterial();
  mesh->Swap(shown);
  context.ui.RedrawNow();
  mesh->Swap(shown);
}

// A file named in the dialog, or asked for when the field is empty.
bool FileToRead(CCommandContext& context, std::string& path) {
  path = context.params.Text(kFile);
  return !path.empty() || context.ui.AskOpenFileName(path);
}

CommandResult ProgressiveEncoding(CCommandContext& context) {
  CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  const ParamValues& params = context.params;
  CProgressiveRequest request;
  request.m_Options = ProgressiveOptionsFromDialog(params);
  request.m_File = context.doc->OutputPath(params.Text(kFile));
  if (params.Check(kOutputLevels))
    request.m_LevelsFile = context.doc->OutputPath(params.Text(kLevelsFile));
  if (params.Check(kUpdateView))
    request.m_Options.m_OnLevel = [&](const CProgressiveMesh& level, const CQuantizer& q) {
      ShowInPlace(context, mesh, level, q);
    };
  CProgressiveRun run;
  if (!RunProgressiveEncoding(*mesh, request, run)) {
    context.ui.ShowMessage(run.m_Error);
    return CommandResult::Failed;
  }
  for (const std::string& file : run.m_Files) context.ReportFileWritten(file);
  if (params.Check(kUpdateView)) mesh->SetModified();
  context.ui.SetStatusText(ProgressiveSpeedText(run));
  if (params.Check(kAssessment)) context.ui.ShowMessage(ProgressiveAssessmentText(run));
  return CommandResult::Done;
}

// Faces around the vertices from `first` on take the colour (the vertices
// the last decoded layer put back).
void ColorNewest(CMesh3d& mesh, int first) {
  const CColor red(255, 0, 0);
  for (int i = 0; i < mesh.NbFace(); ++i) {
    CFace3d* f = mesh.GetFace(i);
    for (int k = 0; k < 3; ++k)
      if (f->v(k)->m_Flag >= first) f->m_Color = red;
  }
}

CommandResult ProgressiveDecoding(CCommandContext& context) {
  std::string path;
  if (!FileToRead(context, path)) return CommandResult::Cancelled;
  const ParamValues& params = context.params;
  context.ui.SetStatusText("Start decoding...");
  // the new mesh is in the scene while it grows, so that it can be watched
  auto owned = std::make_unique<CMesh3d>();
  CMesh3d* mesh = owned.get();
  CSceneGraph3d& scene = context.doc->m_SceneGraph;
  scene.Add(owned.release());
  CDecodeOptions options;
  options.m_MaxLayers = params.Integer(kLayers);
  int newest = 0, before = 0;
  const bool watch = params.Check(kVisualDebugging);
  const int delay = params.Integer(kDelay);
  options.m_OnLayer = [&](const CProgressiveMesh& level, const CQuantizer& q, int done, int type) {
    newest = before;
    before = level.NbVertex();
    if (!watch || (done > 0 && type != kDecimationLayer)) return;
    FillMesh(level, q, *mesh);
    context.ui.RedrawNow();
    Pause(delay);
  };
  std::string error;
  if (!DecodeProgressiveFile(path, options, *mesh, error)) {
    scene.RemoveAt(scene.NbObject() - 1);
    delete mesh;
    context.ui.ShowMessage(error);
    return CommandResult::Failed;
  }
  if (params.Check(kColor)) {
    mesh->SetFlagOnVertices(0);
    for (int i = 0; i < mesh->NbVertex(); ++i) mesh->GetVertex(i)->m_Flag = i;
    ColorNewest(*mesh, newest);
    mesh->SetModified();
  }
  context.ui.SetStatusText(
      FormatText("Decoding...done (%d vertices, %d faces)", mesh->NbVertex(), mesh->NbFace()));
  return CommandResult::Done;
}

CommandResult LayerDecoding(CCommandContext& context) {
  CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  std::string path;
  if (!FileToRead(context, path)) return CommandResult::Cancelled;
  int added = 0;
  std::string error;
  if (!ApplyLayerFile(*mesh, path, added, error)) {
    context.ui.ShowMessage(error);
    return CommandResult::Failed;
  }
  context.ui.SetStatusText(
      FormatText("Layer decoding: %d vertices added, %d faces", added, mesh->NbFace()));
  return CommandResult::Done;
}

CommandResult GeometryCompression(CCommandContext& context) {
  CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  const ParamValues& params = context.params;
  if (params.Choice(kGateType) != 0) {
    context.ui.ShowMessage("Double gates are not available");
    return CommandResult::NothingDone;
  }
  CProgressiveOptions options = GeometryCompressionOptions(params);
  const int every = params.Integer(kUpdateEach), delay = params.Integer(kDelay);
  int pairs = 0;
  if (params.Check(kDebug))
    options.m_OnLevel = [&](const CProgressiveMesh& level, const CQuantizer& q) {
      if (++pairs % every != 0) return;
      ShowInPlace(context, mesh, level, q);
      Pause(delay);
    };
  CCodeRate rate;
  if (!RunProgressiveCodeRate(*mesh, options, params.Choice(kOrder), rate)) {
    context.ui.ShowMessage(rate.m_Error);
    return CommandResult::Failed;
  }
  if (params.Check(kDebug)) mesh->SetModified();
  char text[64];
  std::snprintf(text, sizeof text, "%g bit/remove vertex", rate.m_BitsPerRemoved);
  context.ui.SetStatusText(text);
  return CommandResult::Done;
}

} // namespace

std::vector<CommandBinding> ProgressiveValenceCommands() {
  // the encoders work on a copy of the mesh: only files are written
  return {
      CommandBinding{"33007", ProgressiveEncoding, kEffectFiles}.Dialog(
          {kProgressiveEncodingTitle, ProgressiveEncodingFields(),
           FillProgressiveEncodingDefaults}),
      CommandBinding{"33037", ProgressiveDecoding, kEffectObjects}.Dialog(
          {kProgressiveDecodingTitle, ProgressiveDecodingFields(), nullptr}),
      CommandBinding{"33003", LayerDecoding,
                     kEffectPositions | kEffectNormals | kEffectTopology | kEffectAttributes}
          .Dialog({"Layer decoding", LayerDecodingFields(), nullptr}),
      CommandBinding{"33000", GeometryCompression, kEffectNone}.Dialog(
          {kGeometryCompressionTitle, GeometryCompressionFields(), nullptr}),
  };
}

} // namespace orvex
