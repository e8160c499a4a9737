#pragma once

#include <vector>

#include "app/CommandParams.h"

namespace orvex {

// Labels of "Single-rate Mesh Compression - Gate Approach", the dialog the
// triangle, quad and polygon gate coders share. A number beside a check box
// is named on its own so that both can be set by label.
namespace gate_labels {
constexpr const char* kFile = "File name (...)";
constexpr const char* kSeedFace = "Seed face";
constexpr const char* kAdaptive = "Adaptive conquest";
constexpr const char* kOrder = "Order (0-3)";
constexpr const char* kChooseBestOrder = "Choose best order";
constexpr const char* kModeJoin = "Mode \" join \"";
constexpr const char* kLimitConquest = "Limit conquest (# steps)";
constexpr const char* kLimitSteps = "# steps";
constexpr const char* kDebug = "Debug";
constexpr const char* kDelay = "Delay (ms)";
constexpr const char* kUpdateEach = "Update each";
constexpr const char* kClipboard = "Output to clipboard";
constexpr const char* kNoGeometry = "No geometry encoding";
constexpr const char* kAlpha = "Alpha  Quantization:";
constexpr const char* kBeta = "Beta Quantization:";
constexpr const char* kGamma = "Gamma Quantization:";
constexpr const char* kUseBeta = "Use Beta encoding";
constexpr const char* kEntropyAngles = "Entropy based Quantization";
constexpr const char* kEntropyLocal = "Entropy based Quantization (local)";
constexpr const char* kLocalFrame = "Use local coordinate system";
constexpr const char* kLocalX = "Local X  Quantizatin#: ";
constexpr const char* kLocalY = "Local Y  Quantizatin#: ";
constexpr const char* kLocalZ = "Local Z  Quantizatin#: ";
constexpr const char* kCompress = "Compress";
constexpr const char* kNonLinear = "Non-linear Quantization";
constexpr const char* kNonLinearValue = "Non-linear Quantization (value)";
constexpr const char* kEncodingOptions = "Encoding Options";
constexpr const char* kNoPrediction = "No Prediction";
constexpr const char* kSecondPass = "2nd pass";
} // namespace gate_labels

constexpr const char* kGateCodingTitle = "Single-rate Mesh Compression - Gate Approach";
constexpr const char* kCompressionResultTitle = "Compression Result";

std::vector<ParamField> GateCodingFields();

} // namespace orvex
