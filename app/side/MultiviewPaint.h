#pragma once

// The four panes of the Multiview dialog: one shared model transform, each
// pane turned by its own angle about Y, the scene drawn filled and then
// again as lines over itself.

#include "app/RenderViewState.h"
#include "io/RgbImage.h"

class COrvexDoc;

namespace orvex {

constexpr int kMultiviewPanes = 4;
// Top left, top right, bottom left, bottom right.
constexpr float kMultiviewYOffsets[kMultiviewPanes] = {0.0f, 90.0f, 180.0f, 0.0f};

// The shared transform with the pane's Y offset added.
CRenderViewState MultiviewPaneState(const CRenderViewState& shared, int pane);

// Paints one pane in the current context (set up by glSetUp/glResize of
// the pane's state): clear, transform, the scene filled, then as lines
// with lighting off and polygon offset -1.27, -1. The document is only read.
void glPaintMultiviewPane(const CRenderViewState& paneState, const COrvexDoc& doc);

// Paints the four panes, paneWidth by paneHeight each, into one picture
// of twice that size in the current context (made for the view at that
// size) and reads it back.
bool glRenderMultiviewPicture(const CRenderViewState& shared, const COrvexDoc& doc, int paneWidth,
                              int paneHeight, CRgbImage& picture);

} // namespace orvex
