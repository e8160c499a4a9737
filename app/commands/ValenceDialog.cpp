#include "app/commands/ValenceDialog.h"

namespace orvex {

using namespace valence_labels;

std::vector<ParamField> ValenceDialogFields() {
  return {TextParam(kFile, "mesh.bin"),
          IntegerParam(kSeedFace, 0, 0, kParamNoLimit),
          CheckParam(kMultipleSeed, false),
          CheckParam(kLimitSeeds, false),
          IntegerParam(kSeedCount, 0, 0, kParamNoLimit),
          CheckParam(kRandom, false),
          CheckParam(kStatus, true),
          CheckParam(kDeterministic, false),
          CheckParam(kRemoveGhost, true),
          CheckParam(kStackRun, false),
          CheckParam(kShowDistribution, false),
          CheckParam(kLimitConquest, false),
          IntegerParam(kLimitSteps, 0, 0, kParamNoLimit),
          CheckParam(kDebug, false),
          IntegerParam(kDelay, 0, 0, 60000),
          IntegerParam(kUpdateEach, 1, 1, kParamNoLimit),
          CheckParam(kEdgeList, true),
          CheckParam(kGeometry, false),
          IntegerParam(kNormalBits, 8, 4, 11),
          IntegerParam(kParamBits, 8, 4, 11),
          ChoiceParam(kNormalization,
                      {"Nothing", "Unitary", "Edge length", "Face area", "Face perimeter"}, 0)};
}

CValenceOptions ValenceOptionsFromDialog(const ParamValues& values) {
  CValenceOptions options;
  options.m_PackedFile = values.Text(kFile);
  options.m_SeedFace = values.Integer(kSeedFace);
  options.m_bDeterministic = values.Check(kDeterministic);
  options.m_bRemoveGhost = values.Check(kRemoveGhost);
  options.m_bStackRun = values.Check(kStackRun);
  options.m_bLimitConquest = values.Check(kLimitConquest);
  options.m_LimitSteps = values.Integer(kLimitSteps);
  options.m_bEdgeList = values.Check(kEdgeList);
  options.m_bGeometry = values.Check(kGeometry);
  options.m_NormalBits = values.Integer(kNormalBits);
  options.m_ParamBits = values.Integer(kParamBits);
  // the list holds the entries in the order of the enumeration
  options.m_Normalization = static_cast<ValenceNormalization>(values.Choice(kNormalization));
  options.m_bDebug = values.Check(kDebug);
  options.m_DelayMs = values.Integer(kDelay);
  options.m_UpdateEach = values.Integer(kUpdateEach);
  return options;
}

} // namespace orvex
