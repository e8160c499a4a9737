// Scene and Debug commands on the objects of the scene and the highlight
// indices.

#include <memory>

#include "app/commands/Handlers.h"
#include "geometry/Mesh3d.h"

namespace orvex {

// Deletes objects 1 to n-1; the first object stays.
static CommandResult KeepFirstObjectOnly(CCommandContext& context) {
  CSceneGraph3d& scene = context.doc->m_SceneGraph;
  if (scene.NbObject() <= 1) return CommandResult::NothingDone;
  while (scene.NbObject() > 1) scene.DeleteAt(scene.NbObject() - 1);
  return CommandResult::Done;
}

// Appends a copy of the last object when it is a triangle mesh.
static CommandResult DuplicateLastMesh(CCommandContext& context) {
  CSceneGraph3d& scene = context.doc->m_SceneGraph;
  CObject3d* last = scene.GetAt(scene.NbObject() - 1);
  if (!last || last->GetType() != TYPE_MESH3D) return CommandResult::NothingDone;
  auto source = static_cast<CMesh3d*>(last);
  auto copy = std::make_unique<CMesh3d>();
  copy->Copy(source);
  copy->BuildAdjacency();
  copy->CalculateNormalPerFace();
  copy->CalculateNormalPerVertex();
  copy->SetModified();
  scene.Add(copy.release());
  return CommandResult::Done;
}

// The next vertex of the first mesh; past the last one it goes on at 182
// (the drawing step brings an index beyond the mesh back to 0).
static CommandResult HighlightNextVertex(CCommandContext& context) {
  COrvexDoc& doc = *context.doc;
  CMesh3d* mesh = doc.GetFirstMesh();
  if (!mesh) return CommandResult::NothingDone;
  doc.m_HighlightVertexIndex++;
  if (doc.m_HighlightVertexIndex >= mesh->NbVertex()) doc.m_HighlightVertexIndex = 182;
  return CommandResult::Done;
}

static CommandResult HighlightNextFace(CCommandContext& context) {
  COrvexDoc& doc = *context.doc;
  CMesh3d* mesh = doc.GetFirstMesh();
  if (!mesh) return CommandResult::NothingDone;
  doc.m_HighlightFaceIndex++;
  if (doc.m_HighlightFaceIndex >= mesh->NbFace()) doc.m_HighlightFaceIndex = 0;
  return CommandResult::Done;
}

std::vector<CommandBinding> SceneCommands() {
  return {
      {"Scene/Keep first object only", KeepFirstObjectOnly, kEffectObjects,
       Redraw::InvalidateErase},
      {"Scene/Duplicate/Last mesh", DuplicateLastMesh, kEffectObjects},
      {"Debug/Highlight next vertex", HighlightNextVertex, kEffectDisplay},
      {"Debug/Highlight next face", HighlightNextFace, kEffectDisplay},
  };
}

} // namespace orvex
