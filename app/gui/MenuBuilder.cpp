#include "app/gui/MenuBuilder.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "app/gui/KeySequence.h"

namespace orvex {

static const char* const kRecentProperty = "orvexRecentFile";

CCommandActions::CCommandActions(const CCommandRegistry& registry, QWidget* window)
    : QObject(window), m_Registry(registry), m_Window(window) {
  // commands without a menu entry are reached by their keys alone
  for (const auto& info : registry.Commands())
    if (!info->HasMenuEntry() && !info->keys.empty()) window->addAction(Action(info->id));
}

QAction* CCommandActions::Action(int id) {
  auto it = m_Actions.find(id);
  if (it != m_Actions.end()) return it->second;
  const CommandInfo* info = m_Registry.FindById(id);
  QString text =
      info ? QString::fromStdString(info->HasMenuEntry() ? info->menuPath.back() : info->name)
           : QString::number(id);
  auto* action = new QAction(text, m_Window);
  if (info) {
    QList<QKeySequence> keys;
    for (const std::string& key : info->keys) {
      QKeySequence sequence = KeySequenceOf(key);
      if (!sequence.isEmpty()) keys.push_back(sequence);
    }
    action->setShortcuts(keys);
    action->setCheckable(info->checkable);
  }
  connect(action, &QAction::triggered, this, [this, id] { emit CommandTriggered(id); });
  m_Actions[id] = action;
  return action;
}

QAction* CCommandActions::AddButton(int id, const QIcon& icon) {
  const CommandInfo* info = m_Registry.FindById(id);
  QString tip = info ? QString::fromStdString(info->Label()).remove('&') : QString();
  auto* action = new QAction(icon, tip, m_Window);
  action->setToolTip(tip);
  action->setStatusTip(tip);
  connect(action, &QAction::triggered, this, [this, id] { emit CommandTriggered(id); });
  m_Buttons.emplace_back(action, id);
  return action;
}

QList<QMenu*> CCommandActions::BuildMenuBar(MenuBarMask bar) {
  QList<QMenu*> menus;
  for (const MenuNode& top : m_Registry.MenuBar(bar)) {
    auto* menu = new QMenu(QString::fromStdString(top.text), m_Window);
    FillMenu(menu, top.children);
    menus.push_back(menu);
  }
  return menus;
}

void CCommandActions::FillMenu(QMenu* menu, const std::vector<MenuNode>& nodes) {
  connect(menu, &QMenu::aboutToShow, this, &CCommandActions::Refresh);
  for (const MenuNode& node : nodes) {
    QString text = QString::fromStdString(node.text);
    if (node.IsSubmenu()) {
      if (node.separatorBeforeSubmenu) menu->addSeparator();
      FillMenu(menu->addMenu(text), node.children);
    } else if (node.kind == ItemKind::RecentFiles) {
      if (node.separatorBefore) menu->addSeparator();
      QAction* marker = menu->addAction(text);
      marker->setEnabled(false);
      connect(menu, &QMenu::aboutToShow, this,
              [this, menu, marker] { FillRecentFiles(menu, marker); });
    } else {
      if (node.separatorBefore) menu->addSeparator();
      menu->addAction(Action(node.commandId));
    }
  }
}

// The recent files take the place of the "Recent File" item, which shows
// (disabled) only while the list is empty.
void CCommandActions::FillRecentFiles(QMenu* menu, QAction* marker) {
  for (QAction* action : menu->actions())
    if (action->property(kRecentProperty).isValid()) {
      menu->removeAction(action);
      action->deleteLater();
    }
  std::vector<QString> texts = m_RecentTexts ? m_RecentTexts() : std::vector<QString>();
  marker->setVisible(texts.empty());
  for (size_t i = 0; i < texts.size(); i++) {
    auto* action = new QAction(texts[i], menu);
    action->setProperty(kRecentProperty, static_cast<int>(i));
    int index = static_cast<int>(i);
    connect(action, &QAction::triggered, this, [this, index] { emit RecentFileTriggered(index); });
    menu->insertAction(marker, action);
  }
}

bool CCommandActions::Checked(const CommandInfo& info, COrvexDoc* doc) const {
  bool checked = false;
  // the frame knows its own switches and the state of the active view
  bool windowSide = info.target == CommandTarget::Frame || info.target == CommandTarget::View;
  if (windowSide && m_FrameCheck && m_FrameCheck(info.id, checked)) return checked;
  return m_Registry.IsChecked(info, doc);
}

void CCommandActions::Refresh() {
  COrvexDoc* doc = m_Document ? m_Document() : nullptr;
  for (const auto& [id, action] : m_Actions) {
    const CommandInfo* info = m_Registry.FindById(id);
    if (!info) continue;
    action->setEnabled(m_Registry.IsEnabled(*info, doc));
    if (info->checkable) action->setChecked(Checked(*info, doc));
    if (info->text) action->setText(QString::fromStdString(m_Registry.ItemText(*info, doc)));
  }
  for (const auto& [action, id] : m_Buttons) {
    const CommandInfo* info = m_Registry.FindById(id);
    action->setEnabled(info && m_Registry.IsEnabled(*info, doc));
  }
}

} // namespace orvex
