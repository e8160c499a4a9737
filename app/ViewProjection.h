#pragma once

#include <functional>

#include "app/RenderViewState.h"

class COrvexDoc;
class CObject3d;

namespace orvex {

// An object's projection routine: it receives the object, the view's
// modelview and projection matrices with its viewport, and the caller's
// flag (the silhouette commands use it).
using ProjectionRoutine =
    std::function<void(CObject3d& object, const CViewMatrices& matrices, int flag)>;

// Hands object `index` of the document's scene to `project` with the
// matrices of `view` inside its model transform. The matrices are computed
// without a GL context, so the batch runner's view can project too.
// Returns 1 when the routine ran, 0 when the slot is empty or out of range.
int ProjectWithViewMatrices(COrvexDoc& doc, const CRenderViewState& view, int index, int flag,
                            const ProjectionRoutine& project);

} // namespace orvex
