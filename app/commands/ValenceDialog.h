#pragma once

#include <vector>

#include "app/CommandParams.h"
#include "compression/ValenceEncoder.h"

namespace orvex {

// Labels of the "Valence-centered encoding" dialog. A check box and the
// number beside it carry the same text in the window; the number's label
// names it on its own so that both can be set by label.
namespace valence_labels {
constexpr const char* kFile = "File name (...)";
constexpr const char* kSeedFace = "Seed face";
constexpr const char* kMultipleSeed = "Multiple seed face";
constexpr const char* kLimitSeeds = "# faces";
constexpr const char* kSeedCount = "# faces (number)";
constexpr const char* kRandom = "Random";
constexpr const char* kStatus = "Status";
constexpr const char* kDeterministic = "Deterministic conquest";
constexpr const char* kRemoveGhost = "Remove ghost vertex";
constexpr const char* kStackRun = "Stack-run encoding";
constexpr const char* kShowDistribution = "Show distribution";
constexpr const char* kLimitConquest = "Limit conquest (# steps)";
constexpr const char* kLimitSteps = "# steps";
constexpr const char* kDebug = "Debug";
constexpr const char* kDelay = "Delay (ms)";
constexpr const char* kUpdateEach = "Update each";
constexpr const char* kEdgeList = "Edge list";
constexpr const char* kGeometry = "Geometry";
constexpr const char* kNormalBits = "Normal (# bits)";
constexpr const char* kParamBits = "Parameters (# bits)";
constexpr const char* kNormalization = "Normalization";
} // namespace valence_labels

constexpr const char* kValenceDialogTitle = "Valence-centered encoding";

// The dialog's fields with their defaults, shared by the encoding run
// (32986) and the geometry benchmark (32989).
std::vector<ParamField> ValenceDialogFields();

// The options of one run as the dialog sets them.
CValenceOptions ValenceOptionsFromDialog(const ParamValues& values);

} // namespace orvex
