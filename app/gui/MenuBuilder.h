#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "app/CommandRegistry.h"

class QAction;
class QMenu;
class QWidget;
class COrvexDoc;

namespace orvex {

// One action per command of the registry, carrying its menu text, its
// accelerators and its check mark, and the menus of the two menu bars built
// from the registry's tree. The enabled and checked states are read from
// the registry (Refresh) whenever a menu opens and after every command.
class CCommandActions : public QObject {
  Q_OBJECT
public:
  // Check mark of a command the frame or the active render view serves
  // (tool bar, status bar, full screen, rotation axes); false when the
  // frame does not know the command.
  using FrameCheck = std::function<bool(int id, bool& checked)>;

  CCommandActions(const CCommandRegistry& registry, QWidget* window);

  void SetDocumentGetter(std::function<COrvexDoc*()> getter) { m_Document = std::move(getter); }
  void SetFrameCheck(FrameCheck check) { m_FrameCheck = std::move(check); }
  // Menu texts of the recent files ("&1 name", ...), shown in place of the
  // "Recent File" item of the File menu.
  void SetRecentFiles(std::function<std::vector<QString>()> texts) {
    m_RecentTexts = std::move(texts);
  }

  // The action of a command (created on first use).
  QAction* Action(int id);
  // An action of its own (a tool bar button) that runs command id and
  // follows its enabled state.
  QAction* AddButton(int id, const QIcon& icon);
  // The top menus of menu bar 128 or 129.
  QList<QMenu*> BuildMenuBar(MenuBarMask bar);
  void Refresh();

signals:
  void CommandTriggered(int id);
  void RecentFileTriggered(int index);

private:
  const CCommandRegistry& m_Registry;
  QWidget* m_Window;
  std::map<int, QAction*> m_Actions;
  std::vector<std::pair<QAction*, int>> m_Buttons;
  std::function<COrvexDoc*()> m_Document;
  FrameCheck m_FrameCheck;
  std::function<std::vector<QString>()> m_RecentTexts;

  void FillMenu(QMenu* menu, const std::vector<MenuNode>& nodes);
  void FillRecentFiles(QMenu* menu, QAction* marker);
  bool Checked(const CommandInfo& info, COrvexDoc* doc) const;
};

} // namespace orvex
