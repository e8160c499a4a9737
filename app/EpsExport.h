#pragma once

#include <string>

#include "io/EpsWriter.h"

class COrvexDoc;

namespace orvex {

class CRenderViewState;

// Floats of the smallest first feedback buffer (it is sized for the
// scene's triangles) and of the largest one tried after overflows (the
// buffer doubles and the scene is drawn again).
constexpr long kFeedbackFirstFloats = 3000000;
constexpr long kFeedbackMaxFloats = 1L << 28;

// With a context current showing view: draws the scene's triangle, quad
// and polygon meshes in feedback mode inside the view's model transform
// (no textures, highlights or overlay) and parses what GL returned, with
// the page (viewport, clear colour, point size). false with the reason:
// "Scene too large for EPS export" when even the largest buffer overflows.
// The first buffer is sized for the scene's triangles, at least
// firstFloats; the largest holds maxFloats.
bool CaptureFeedback(const COrvexDoc& doc, const CRenderViewState& view, CFeedbackScene& scene,
                     CEpsPage& page, std::string& error, long firstFloats = kFeedbackFirstFloats,
                     long maxFloats = kFeedbackMaxFloats);

} // namespace orvex
