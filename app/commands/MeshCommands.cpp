// Algorithms on the meshes of the scene that the mesh itself provides:
// rebuild, clean-up, check and weld; and the arithmetic coder trial.

#include <string>

#include "app/commands/Handlers.h"
#include "compression/SparseArithmeticTest.h"
#include "geometry/Mesh3d.h"
#include "processing/PolygonCommands.h"

namespace orvex {

template <typename Action> static int ForEachMesh(COrvexDoc& doc, Action action) {
  int count = 0;
  for (int i = 0; i < doc.m_SceneGraph.NbObject(); i++) {
    CObject3d* object = doc.m_SceneGraph.GetAt(i);
    if (object->GetType() != TYPE_MESH3D) continue;
    action(*static_cast<CMesh3d*>(object));
    count++;
  }
  return count;
}

static int TotalFaces(COrvexDoc& doc) {
  int faces = 0;
  ForEachMesh(doc, [&faces](CMesh3d& mesh) { faces += mesh.NbFace(); });
  return faces;
}

static CommandResult RebuildAdjacencyAndNormals(CCommandContext& context) {
  if (context.doc->NbTriangleMeshes() == 0) return NoMesh(context);
  context.doc->RunPostLoadSteps();
  return CommandResult::Done;
}

static CommandResult Cleanup(CCommandContext& context) {
  COrvexDoc& doc = *context.doc;
  if (doc.NbTriangleMeshes() == 0) return NoMesh(context);
  int before = TotalFaces(doc);
  ForEachMesh(doc, [](CMesh3d& mesh) { mesh.Cleanup(); });
  context.ui.StatusMessage("Cleanup done, %d -> %d faces, %g s...", before, TotalFaces(doc),
                           context.ElapsedSeconds());
  return CommandResult::Done;
}

static CommandResult Check(CCommandContext& context) {
  COrvexDoc& doc = *context.doc;
  if (doc.NbTriangleMeshes() == 0) return NoMesh(context);
  int meshes = ForEachMesh(doc, [](CMesh3d& mesh) { mesh.Check(); });
  context.ui.StatusMessage("Check done, %d meshes, %g s...", meshes, context.ElapsedSeconds());
  return CommandResult::Done;
}

// On the first object; polygon meshes get their own weld with their class.
static CommandResult Weld(CCommandContext& context) {
  CObject3d* first = context.doc->m_SceneGraph.GetAt(0);
  if (first && first->GetType() == TYPE_POLYGON_MESH) {
    context.ui.StatusMessage("Weld....");
    context.ui.SetStatusText(CommandWeldPolygons(&context.doc->m_SceneGraph).status);
    return CommandResult::Done;
  }
  CMesh3d* mesh = context.doc->GetFirstMesh();
  if (!mesh) return NoMesh(context);
  context.ui.StatusMessage("Weld....");
  mesh->Weld();
  mesh->Rebuild();
  context.ui.StatusMessage("Weld....done");
  return CommandResult::Done;
}

static CommandResult SparseArithmeticTrial(CCommandContext& context) {
  std::string message;
  const std::string path = context.doc->OutputPath(kSparseTrialFile);
  if (!RunSparseArithmeticTest(message, kSparseSymbolCount, path)) {
    context.ui.ShowMessage(message);
    return CommandResult::Failed;
  }
  context.ReportFileWritten(path);
  context.ui.StatusMessage("%s", message.c_str());
  return CommandResult::Done;
}

std::vector<CommandBinding> MeshCommands() {
  return {
      {"Algorithms/Rebuild adjacency && normals", RebuildAdjacencyAndNormals, kEffectNormals},
      {"Algorithms/Cleanup", Cleanup, kEffectTopology | kEffectNormals},
      {"Algorithms/Check", Check, kEffectAttributes},
      {"Algorithms/Weld", Weld,
       kEffectPositions | kEffectTopology | kEffectNormals | kEffectAttributes},
      {"Debug/Arithmetic encoder/Sparse", SparseArithmeticTrial, kEffectFiles, Redraw::None},
  };
}

} // namespace orvex
