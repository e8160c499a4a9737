#include "app/commands/GateCodingDialog.h"

namespace orvex {

using namespace gate_labels;

namespace {

// A number of quantization levels.
ParamField Levels(const char* label) {
  return IntegerParam(label, 100, 2, 4095);
}

} // namespace

std::vector<ParamField> GateCodingFields() {
  return {TextParam(kFile, "mesh.bin"),
          IntegerParam(kSeedFace, 0, 0, kParamNoLimit),
          CheckParam(kAdaptive, true),
          IntegerParam(kOrder, 1, 0, 3),
          CheckParam(kChooseBestOrder, false),
          CheckParam(kModeJoin, true),
          CheckParam(kLimitConquest, false),
          IntegerParam(kLimitSteps, 0, 0, kParamNoLimit),
          CheckParam(kDebug, false),
          IntegerParam(kDelay, 0, 0, 60000),
          IntegerParam(kUpdateEach, 1, 1, kParamNoLimit),
          CheckParam(kClipboard, false),
          CheckParam(kNoGeometry, false),
          Levels(kAlpha),
          Levels(kBeta),
          Levels(kGamma),
          CheckParam(kUseBeta, true),
          ShownCheckParam(kEntropyAngles, true),
          ShownCheckParam(kEntropyLocal, false),
          CheckParam(kLocalFrame, false),
          Levels(kLocalX),
          Levels(kLocalY),
          Levels(kLocalZ),
          ChoiceParam(kCompress, {"X+ Y and  Z Separate", "X+ Y + Z Together"}, 0),
          ShownCheckParam(kNonLinear, false),
          RealParam(kNonLinearValue, 0.5, 0.0, 1.0),
          ChoiceParam(kEncodingOptions,
                      {"Alpha, Beta, Gamma ", "Alpha+Beta+Gamma", "Alpha+Beta, Gamma"}, 0),
          ShownCheckParam(kNoPrediction, false),
          ShownCheckParam(kSecondPass, false)};
}

} // namespace orvex
