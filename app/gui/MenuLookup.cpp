#include "app/gui/MenuLookup.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace orvex {

QAction* FindMenuAction(const QMenuBar* menus, const QString& menu, const QString& item) {
  const auto strip = [](QString text) { return text.remove('&'); };
  for (QMenu* top : menus->findChildren<QMenu*>()) {
    if (strip(top->title()) != menu) continue;
    for (QAction* action : top->actions())
      if (strip(action->text()) == item) return action;
  }
  return nullptr;
}

} // namespace orvex
