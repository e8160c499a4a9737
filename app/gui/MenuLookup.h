#pragma once

#include <QString>

class QAction;
class QMenuBar;

namespace orvex {

// The action of a dialog's own menu bar by menu title and item text, both
// without their '&' marks ("File", "Open"); null when there is none.
QAction* FindMenuAction(const QMenuBar* menus, const QString& menu, const QString& item);

} // namespace orvex
