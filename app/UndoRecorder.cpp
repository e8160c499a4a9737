#include "app/UndoRecorder.h"

#include "app/MeshValuesStep.h"
#include "app/OrvexDoc.h"
#include "app/TextNormalize.h"
#include "app/UndoHistory.h"

namespace orvex {

namespace {

bool OnlyTriangleMeshes(const CSceneGraph3d& scene) {
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    if (!object || object->GetType() != TYPE_MESH3D) return false;
  }
  return true;
}

// The parts of the meshes a record of values keeps, 0 when the command
// needs a copy of the scene.
unsigned ValueParts(Effects effects, const CSceneGraph3d& scene) {
  if ((effects & (kEffectTopology | kEffectObjects)) || !OnlyTriangleMeshes(scene)) return 0;
  unsigned parts = 0;
  if (effects & (kEffectPositions | kEffectNormals)) parts |= CMeshValuesStep::kPositions;
  if (effects & kEffectAttributes) parts |= CMeshValuesStep::kAttributes;
  if (effects & kEffectMaterials) parts |= CMeshValuesStep::kMaterials;
  return parts;
}

} // namespace

bool RecordsUndo(const CommandInfo& info) {
  return info.recordsUndo && (info.effects & kEffectsRecorded) != 0;
}

std::string UndoLabel(const CommandInfo& info) {
  const std::vector<std::string>& path = info.menuPath;
  if (path.empty()) return info.name;
  std::string label = StripMnemonics(path.back());
  // the submenu names the item's family ("Loop/Std")
  if (path.size() > 1) label = StripMnemonics(path[path.size() - 2]) + "/" + label;
  return label;
}

std::unique_ptr<CUndoStep> RecordUndoStep(const CommandInfo& info, const COrvexDoc& doc,
                                          const CUndoHistory& history, std::string& whyNot) {
  const CSceneGraph3d& scene = doc.m_SceneGraph;
  const std::string label = UndoLabel(info);
  const unsigned parts = ValueParts(info.effects, scene);
  const std::size_t bytes =
      parts ? CMeshValuesStep::Estimate(scene, parts) : EstimateSceneBytes(scene);
  if (!history.Fits(bytes)) {
    whyNot = "No undo for " + label + ": the scene is too large to record";
    return nullptr;
  }
  if (parts) return std::make_unique<CMeshValuesStep>(label, doc, parts);
  std::unique_ptr<CSceneGraph3d> copy(scene.Clone());
  if (!copy) {
    whyNot = "No undo for " + label + ": the scene cannot be copied";
    return nullptr;
  }
  return std::make_unique<CSceneUndoStep>(label, doc, std::move(copy), bytes);
}

} // namespace orvex
