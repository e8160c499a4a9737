#include "app/Handlers.h"
#include "app/RenderViewState.h"

namespace orvex {

void BindViewHandlers(CCommandRegistry& /*registry*/) {}

} // namespace orvex
