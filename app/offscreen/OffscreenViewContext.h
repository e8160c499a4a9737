#pragma once

#include "app/ViewContext.h"

namespace orvex {

// A view context provider for hosts without windows: one offscreen
// context, made on first use and kept by the provider, sized for each
// view, where the document is painted as a render view paints it.
ViewContextProvider OffscreenViewContextProvider();

} // namespace orvex
