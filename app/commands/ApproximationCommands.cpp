// "&Algorithms/Hash table..." and the approximating simplifications of
// "&Algorithms/Surface simplification".

#include "processing/ApproximationCommands.h"

#include "app/commands/Handlers.h"

namespace orvex {
namespace {

CSimplificationHooks Hooks(CCommandContext& context) {
  CSimplificationHooks hooks;
  hooks.redraw = [&context] { context.ui.RedrawNow(); };
  return hooks;
}

bool HasFirstMesh(CCommandContext& context) {
  CObject3d* first = Scene(context)->GetAt(0);
  return first && first->GetType() == TYPE_MESH3D;
}

CommandResult HashTable(CCommandContext& context) {
  if (!HasFirstMesh(context)) return NoMesh(context);
  return ShowOutcome(context, CommandHashTable(Scene(context), context.params.Integer("Size"),
                                               context.params.Check("Show grid"), Hooks(context)));
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
  return ShowOutcome(context, CommandProgressiveMesh(Scene(context), params, Hooks(context)));
}

} // namespace

std::vector<CommandBinding> ApproximationCommands() {
  constexpr Effects kSimplifies =
      kEffectPositions | kEffectNormals | kEffectTopology | kEffectAttributes;
  return {
      {kMenuHashTable, HashTable, kEffectObjects},
      {kMenuProgressiveMesh, ProgressiveMeshCommand, kSimplifies | kEffectDisplay},
  };
}

} // namespace orvex
