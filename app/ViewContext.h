#pragma once

#include <functional>
#include <string>

class COrvexDoc;

namespace orvex {

class CRenderViewState;

// Work done while a GL context shows a document's view: the view state
// (its size set) the context was made for; false with the reason.
using ViewContextWork = std::function<bool(const CRenderViewState& view, std::string& error)>;
// Makes a context for a view without a window (the batch runner draws
// offscreen), paints the document there when paint is set, and runs work.
using ViewContextProvider =
    std::function<bool(const COrvexDoc& doc, const CRenderViewState& view, bool paint,
                       const ViewContextWork& work, std::string& error)>;

} // namespace orvex
