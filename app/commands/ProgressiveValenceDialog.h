#pragma once

#include <vector>

#include "app/CommandParams.h"
#include "compression/ProgressiveEncoder.h"

class COrvexDoc;

namespace orvex {

// Labels of the progressive valence coder's dialogs. A number beside a
// check box is named on its own so that both can be set by label.
namespace progressive_labels {
constexpr const char* kFile = "File name";
constexpr const char* kRequested = "Requested # vertices";
constexpr const char* kCurrent = "# vertices";
constexpr const char* kOutputLevels = "Output levels (.wrl)";
constexpr const char* kLevelsFile = "File name (.wrl)";
constexpr const char* kUpdateView = "Update view";
constexpr const char* kForbidConcave = "Forbid concave";
constexpr const char* kForbidFlip = "Forbid normal flipping";
constexpr const char* kUseMetric = "Use metric";
constexpr const char* kRatio = "Use metric (ratio)";
constexpr const char* kBeautify = "Beautify";
constexpr const char* kForgetMetric = "Forget metric";
constexpr const char* kForgetBelow = "if < # vertices";
constexpr const char* kQuantization = "Quantization";
constexpr const char* kPackCodes = "Pack codes";
constexpr const char* kAssessment = "Assessment";
// "Progressive decoding"
constexpr const char* kVisualDebugging = "Visual debugging";
constexpr const char* kColor = "Color";
constexpr const char* kDelay = "Delay (ms)";
constexpr const char* kFineGrain = "Fine grain";
constexpr const char* kLayers = "# layers";
// "Valence-centered Progressive Geometry Compression"
constexpr const char* kDebug = "Debug";
constexpr const char* kUpdateEach = "Update each";
constexpr const char* kRemesh = "Remesh";
constexpr const char* kMaxDegree = "Max degree";
constexpr const char* kColorPatches = "Color patches";
constexpr const char* kGateType = "Gate type";
constexpr const char* kColorCause = "Color cause";
constexpr const char* kPureDegree = "pure degree";
constexpr const char* kOrder = "Adaptive arithmetic coding";
} // namespace progressive_labels

constexpr const char* kProgressiveEncodingTitle = "Valence-centered Progressive Meshes";
constexpr const char* kProgressiveDecodingTitle = "Progressive decoding";
constexpr const char* kGeometryCompressionTitle =
    "Valence-centered Progressive Geometry Compression";

std::vector<ParamField> ProgressiveEncodingFields();
// The file named after the document, and its vertex count.
void FillProgressiveEncodingDefaults(const COrvexDoc& doc, ParamValues& values);
std::vector<ParamField> ProgressiveDecodingFields();
std::vector<ParamField> LayerDecodingFields();
std::vector<ParamField> GeometryCompressionFields();

// The coding options the encoding dialog sets.
CProgressiveOptions ProgressiveOptionsFromDialog(const ParamValues& values);
// Those of the geometry compression dialog.
CProgressiveOptions GeometryCompressionOptions(const ParamValues& values);

} // namespace orvex
