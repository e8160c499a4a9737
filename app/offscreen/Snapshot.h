#pragma once

#include <string>

#include "app/RenderViewState.h"
#include "io/RgbImage.h"

class COrvexDoc;

namespace orvex {

class COffscreenContext;

// Makes the context current with a width x height framebuffer and gives
// the view its GL set-up and resize there, as a window does once it is
// shown. Paint with view.glPaint while the context's list group is current
// (CGlListGroupScope). false with the reason in error.
bool PrepareOffscreenView(COffscreenContext& context, CRenderViewState& view, int width, int height,
                          std::string& error);

// Renders the document as a render view in the given state shows it in a
// width x height client area: the view's GL set-up, resize and paint step
// (the window's own drawing code), read back top-down. The view state is
// copied; the caller's is left as it was. false with the reason in error.
bool RenderSnapshot(COffscreenContext& context, const COrvexDoc& doc, const CRenderViewState& view,
                    int width, int height, CRgbImage& image, std::string& error);

// The same with a context of its own, made for this one picture.
bool RenderSnapshot(const COrvexDoc& doc, const CRenderViewState& view, int width, int height,
                    CRgbImage& image, std::string& error);

// Renders and writes the picture as a PNG file.
bool WriteSnapshot(const COrvexDoc& doc, const CRenderViewState& view, int width, int height,
                   const std::string& fileName, std::string& error);

} // namespace orvex
