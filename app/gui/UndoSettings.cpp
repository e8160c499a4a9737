#include "app/gui/UndoSettings.h"

#include <QSettings>

#include "app/UndoHistory.h"

namespace orvex {

static const char* const kProfile = "3D Orvexbox";

// A positive integer setting; the default, written back, otherwise.
static long long ReadLimit(QSettings& settings, const char* key, long long fallback) {
  bool ok = false;
  long long value = settings.value(key).toLongLong(&ok);
  if (ok && value > 0) return value;
  settings.setValue(key, fallback);
  return fallback;
}

void ApplyUndoSettings() {
  QSettings settings(kProfile, kProfile);
  settings.beginGroup("Undo");
  const long long megabytes =
      ReadLimit(settings, "Max megabytes", CUndoHistory::kDefaultMaxBytes >> 20);
  const long long steps = ReadLimit(settings, "Max steps", CUndoHistory::kDefaultMaxSteps);
  // at most 1 TB: larger values are surely typing errors
  const long long clamped = megabytes < (1ll << 20) ? megabytes : (1ll << 20);
  CUndoHistory::SetDefaultLimits(static_cast<std::size_t>(clamped) << 20,
                                 static_cast<std::size_t>(steps));
}

} // namespace orvex
