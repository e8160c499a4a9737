#pragma once

#include <memory>
#include <string>

#include "app/CommandRegistry.h"
#include "app/UndoStep.h"

class COrvexDoc;

namespace orvex {

class CUndoHistory;

// Effects that an undo step records: those on the saved scene.
constexpr Effects kEffectsRecorded = kEffectPositions | kEffectNormals | kEffectTopology |
                                     kEffectObjects | kEffectAttributes | kEffectMaterials;

// Whether running the command on a document records an undo step.
bool RecordsUndo(const CommandInfo& info);

// The command's name in undo texts: its submenu and item without mnemonics
// ("Loop/Std"), or its name.
std::string UndoLabel(const CommandInfo& info);

// Records what the command may change in doc, at the granularity its
// effects allow: colours and flags for attributes alone, positions and
// normals for positions alone, a copy of the whole scene for topology and
// objects (and for scenes holding objects other than triangle meshes).
// Null with the reason in whyNot when the scene cannot be copied or the
// record would not fit in history.
std::unique_ptr<CUndoStep> RecordUndoStep(const CommandInfo& info, const COrvexDoc& doc,
                                          const CUndoHistory& history, std::string& whyNot);

} // namespace orvex
