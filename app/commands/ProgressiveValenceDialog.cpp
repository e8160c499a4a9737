#include "app/commands/ProgressiveValenceDialog.h"

#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"

namespace orvex {

using namespace progressive_labels;

namespace {

// Metric options shared by the encoding and the geometry compression.
void ReadMetric(const ParamValues& values, CProgressiveOptions& options) {
  options.m_bForbidConcave = values.Check(kForbidConcave);
  options.m_bForbidFlip = values.Check(kForbidFlip);
  options.m_bUseMetric = values.Check(kUseMetric);
}

} // namespace

std::vector<ParamField> ProgressiveEncodingFields() {
  return {TextParam(kFile, "mesh.vpm"),
          IntegerParam(kRequested, 100, 0, kParamNoLimit),
          ShownParam(kCurrent, 0),
          CheckParam(kOutputLevels, false),
          TextParam(kLevelsFile, "levels.wrl"),
          CheckParam(kUpdateView, false),
          CheckParam(kForbidConcave, false),
          CheckParam(kForbidFlip, false),
          CheckParam(kUseMetric, false),
          RealParam(kRatio, 0.25, 0.0, 1e9),
          ChoiceParam(kBeautify, {"Distance", "Volume / surface"}, 1),
          CheckParam(kForgetMetric, false),
          IntegerParam(kForgetBelow, 0, 0, kParamNoLimit),
          IntegerParam(kQuantization, 12, 4, 12),
          ShownCheckParam(kPackCodes, false),
          CheckParam(kAssessment, false)};
}

void FillProgressiveEncodingDefaults(const COrvexDoc& doc, ParamValues& values) {
  std::string title = doc.GetTitle();
  size_t dot = title.rfind('.');
  if (dot != std::string::npos) title.erase(dot);
  if (!title.empty()) values.SetDefault(kFile, title + ".vpm");
  CMesh3d* mesh = doc.GetFirstMesh();
  values.SetDefault(kCurrent, std::to_string(mesh ? mesh->NbVertex() : 0));
}

std::vector<ParamField> ProgressiveDecodingFields() {
  return {TextParam(kFile, ""),
          CheckParam(kVisualDebugging, false),
          CheckParam(kColor, false),
          IntegerParam(kDelay, 0, 0, 60000),
          ShownCheckParam(kFineGrain, false),
          IntegerParam(kLayers, 0, 0, 1023)};
}

std::vector<ParamField> LayerDecodingFields() {
  return {TextParam(kFile, "")};
}

std::vector<ParamField> GeometryCompressionFields() {
  return {CheckParam(kDebug, false),
          IntegerParam(kUpdateEach, 1, 1, kParamNoLimit),
          ShownCheckParam(kRemesh, false),
          IntegerParam(kMaxDegree, 6, 3, 6),
          ShownCheckParam(kColorPatches, false),
          CheckParam(kForbidConcave, false),
          ChoiceParam(kGateType, {"Simple", "Double"}, 0),
          ShownCheckParam(kColorCause, false),
          CheckParam(kPureDegree, false),
          CheckParam(kUseMetric, false),
          CheckParam(kForbidFlip, false),
          IntegerParam(kDelay, 0, 0, 60000),
          ChoiceParam(kBeautify, {"Distance", "Volume"}, 1),
          ChoiceParam(kOrder, {"0", "1", "2", "3"}, 0)};
}

CProgressiveOptions ProgressiveOptionsFromDialog(const ParamValues& values) {
  CProgressiveOptions options;
  options.m_RequestedVertices = values.Integer(kRequested);
  ReadMetric(values, options);
  options.m_MetricRatio = values.Real(kRatio);
  options.m_bVolumeMetric = values.Choice(kBeautify) == 1;
  options.m_bForgetMetric = values.Check(kForgetMetric);
  options.m_ForgetBelow = values.Integer(kForgetBelow);
  options.m_QuantizationBits = values.Integer(kQuantization);
  return options;
}

CProgressiveOptions GeometryCompressionOptions(const ParamValues& values) {
  CProgressiveOptions options;
  ReadMetric(values, options);
  options.m_MaxDegree = values.Integer(kMaxDegree);
  options.m_bPureDegree = values.Check(kPureDegree);
  options.m_bVolumeMetric = values.Choice(kBeautify) == 1;
  return options;
}

} // namespace orvex
