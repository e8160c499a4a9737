#include "app/Handlers.h"

namespace orvex {

void BindValenceHandlers(CCommandRegistry& /*registry*/) {}

} // namespace orvex
