#include "app/CommandRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "app/OrvexDoc.h"
#include "app/TextNormalize.h"

namespace orvex {

const char* ResultName(CommandResult result) {
  switch (result) {
  case CommandResult::Done:
    return "done";
  case CommandResult::NothingDone:
    return "nothing done";
  case CommandResult::Cancelled:
    return "cancelled";
  case CommandResult::Failed:
    return "failed";
  case CommandResult::Unavailable:
    return "not available";
  }
  return "";
}

const char* TargetName(CommandTarget target) {
  switch (target) {
  case CommandTarget::Document:
    return "document";
  case CommandTarget::View:
    return "view";
  case CommandTarget::Panel:
    return "panel";
  case CommandTarget::Frame:
    return "frame";
  case CommandTarget::Application:
    return "application";
  case CommandTarget::Framework:
    return "framework";
  }
  return "";
}

std::string EffectNames(Effects effects) {
  static const char* const kNames[] = {"view",     "display",   "positions",  "normals",
                                       "topology", "objects",   "attributes", "overlay",
                                       "files",    "documents", "frame",      "materials"};
  std::string names;
  for (unsigned bit = 0; bit < sizeof(kNames) / sizeof(kNames[0]); bit++)
    if (effects & (1u << bit)) names += (names.empty() ? "" : "|") + std::string(kNames[bit]);
  return names.empty() ? "none" : names;
}

double CCommandContext::ElapsedSeconds() const {
  std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count();
}

// keys -------------------------------------------------------------------------

static std::string LowerNoBlanks(const std::string& text) {
  std::string out;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c)))
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

static std::string KeyAlias(const std::string& key) {
  if (key == "insert") return "ins";
  if (key == "delete") return "del";
  if (key == "return") return "enter";
  if (key == "plus") return "+";
  if (key == "minus") return "-";
  return key;
}

std::string KeyKey(const std::string& key) {
  std::string text = LowerNoBlanks(key);
  // the key itself may be '+': "ctrl+num++"
  std::string last;
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "++") == 0) {
    last = "+";
    text.resize(text.size() - 2);
  } else if (text == "+") {
    return "+";
  } else {
    size_t plus = text.rfind('+');
    last = plus == std::string::npos ? text : text.substr(plus + 1);
    text = plus == std::string::npos ? std::string() : text.substr(0, plus);
  }
  bool ctrl = false, alt = false, shift = false, num = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t plus = text.find('+', start);
    if (plus == std::string::npos) plus = text.size();
    std::string mod = text.substr(start, plus - start);
    if (mod == "ctrl" || mod == "control") ctrl = true;
    if (mod == "alt") alt = true;
    if (mod == "shift") shift = true;
    if (mod == "num" || mod == "numeric" || mod == "numpad" || mod == "keypad") num = true;
    start = plus + 1;
  }
  std::string out;
  if (ctrl) out += "ctrl+";
  if (alt) out += "alt+";
  if (shift) out += "shift+";
  if (num) out += "num+";
  return out + KeyAlias(last);
}

// registration -------------------------------------------------------------------

static std::string JoinPath(const std::vector<std::string>& segments) {
  std::string path;
  for (const std::string& s : segments) path += (path.empty() ? "" : "/") + s;
  return path;
}

int CCommandRegistry::Add(CommandInfo info) {
  if (info.id == 0) info.id = m_NextId++;
  info.path = JoinPath(info.menuPath);
  if (m_ById.count(info.id)) return 0;
  std::string pathKey = info.HasMenuEntry() ? PathKey(info.path) : std::string();
  if (!pathKey.empty() && m_ByPathKey.count(pathKey)) return 0;
  std::vector<std::string> nameKeys;
  if (!info.HasMenuEntry()) {
    if (!info.name.empty()) nameKeys.push_back(LabelKey(info.name));
    if (!info.dialogTitle.empty()) nameKeys.push_back(LabelKey(info.dialogTitle));
    for (const std::string& k : nameKeys)
      if (m_ByNameKey.count(k) && m_ByNameKey[k]->id != info.id) return 0;
  }
  // the first binding of a key wins
  std::vector<std::string> keys;
  for (const std::string& key : info.keys)
    if (!m_ByKey.count(KeyKey(key))) keys.push_back(key);
  info.keys = keys;

  auto owned = std::make_unique<CommandInfo>(std::move(info));
  CommandInfo* command = owned.get();
  m_Commands.push_back(std::move(owned));
  m_ById[command->id] = command;
  if (!pathKey.empty()) m_ByPathKey[pathKey] = command;
  for (const std::string& k : nameKeys) m_ByNameKey[k] = command;
  for (const std::string& key : command->keys) m_ByKey[KeyKey(key)] = command;
  return command->id;
}

const CommandInfo* CCommandRegistry::FindById(int id) const {
  auto it = m_ById.find(id);
  return it == m_ById.end() ? nullptr : it->second;
}

const CommandInfo* CCommandRegistry::FindByPath(const std::string& path) const {
  auto it = m_ByPathKey.find(PathKey(path));
  return it == m_ByPathKey.end() ? nullptr : it->second;
}

const CommandInfo* CCommandRegistry::FindByName(const std::string& name) const {
  auto it = m_ByNameKey.find(LabelKey(name));
  return it == m_ByNameKey.end() ? nullptr : it->second;
}

static bool IsNumber(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c));
  });
}

const CommandInfo* CCommandRegistry::Find(const std::string& text) const {
  if (const CommandInfo* info = FindByPath(text)) return info;
  if (const CommandInfo* info = FindByName(text)) return info;
  if (IsNumber(text) && text.size() < 10) return FindById(std::atoi(text.c_str()));
  return FindByPathEnd(text);
}

// "Loop/Std" names "Algorithms/Surface subdivision/Loop/Std" when no other
// path ends with those segments.
const CommandInfo* CCommandRegistry::FindByPathEnd(const std::string& text) const {
  const std::string end = "/" + PathKey(text);
  const CommandInfo* found = nullptr;
  for (const auto& [key, info] : m_ByPathKey) {
    if (key.size() <= end.size() || key.compare(key.size() - end.size(), end.size(), end) != 0)
      continue;
    if (found) return nullptr;
    found = info;
  }
  return found;
}

const CommandInfo* CCommandRegistry::FindByKey(const std::string& key) const {
  auto it = m_ByKey.find(KeyKey(key));
  return it == m_ByKey.end() ? nullptr : it->second;
}

CommandInfo* CCommandRegistry::Mutable(const std::string& text) {
  const CommandInfo* info = Find(text);
  return info ? m_ById.at(info->id) : nullptr;
}

void CCommandRegistry::AddOrThrow(CommandInfo info) {
  std::string label = info.menuPath.empty() ? info.name : JoinPath(info.menuPath);
  if (Add(std::move(info)) == 0) throw CRegistryError("\"" + label + "\" is registered twice");
}

void CCommandRegistry::Bind(CommandBinding binding) {
  CommandInfo* info = Mutable(binding.command);
  if (!info) throw CRegistryError("no command \"" + binding.command + "\" to serve");
  if (info->handler) throw CRegistryError("\"" + binding.command + "\" is served twice");
  if (!binding.handler) throw CRegistryError("\"" + binding.command + "\" has no handler");
  info->handler = std::move(binding.handler);
  info->effects = binding.effects;
  info->redraw = binding.redraw;
  if (binding.checked) {
    info->checkable = true;
    info->checked = std::move(binding.checked);
  }
  info->enabledWhen = std::move(binding.enabledWhen);
  info->text = std::move(binding.text);
  info->recordsUndo = binding.recordsUndo;
  info->keepsDisplayLists = binding.keepsDisplayLists;
  info->runsBesideWorker = binding.runsBesideWorker;
  if (!binding.dialog.fields.empty()) SetDialog(binding.command, std::move(binding.dialog));
}

void CCommandRegistry::SetDialog(const std::string& text, CommandDialog dialog) {
  CommandInfo* info = Mutable(text);
  if (!info) throw CRegistryError("no command \"" + text + "\" for the dialog " + dialog.title);
  info->dialogTitle = std::move(dialog.title);
  info->params = std::move(dialog.fields);
  info->fillDefaults = std::move(dialog.fillDefaults);
}

bool CanRunBesideWorker(const CommandInfo& info) {
  if (info.runsBesideWorker) return true;
  if (info.effects & (kEffectsOnScene | kEffectFiles | kEffectMaterials)) return false;
  return info.target != CommandTarget::Document || (info.effects & kEffectDocuments);
}

bool CCommandRegistry::IsEnabled(const CommandInfo& info, const COrvexDoc* doc) const {
  if (!info.handler) return false;
  if (info.needsDocument && !doc) return false;
  if (doc && doc->IsBusy() && !CanRunBesideWorker(info)) return false;
  if (info.enabledWhen) return doc && info.enabledWhen(*doc);
  return true;
}

bool CCommandRegistry::IsChecked(const CommandInfo& info, const COrvexDoc* doc) const {
  return info.checkable && info.checked && doc && info.checked(*doc);
}

std::string CCommandRegistry::ItemText(const CommandInfo& info, const COrvexDoc* doc) const {
  if (!info.HasMenuEntry()) return std::string();
  if (info.text && doc) {
    std::string text = info.text(*doc);
    if (!text.empty()) return text;
  }
  return info.menuPath.back();
}

// menu bars ------------------------------------------------------------------------

static MenuNode* FindChild(std::vector<MenuNode>& nodes, const std::string& text) {
  for (MenuNode& node : nodes)
    if (node.IsSubmenu() && node.text == text) return &node;
  return nullptr;
}

std::vector<MenuNode> CCommandRegistry::MenuBar(MenuBarMask bar) const {
  std::vector<MenuNode> roots;
  for (const auto& command : m_Commands) {
    if (!command->HasMenuEntry() || !(command->menus & bar)) continue;
    std::vector<MenuNode>* level = &roots;
    for (size_t i = 0; i + 1 < command->menuPath.size(); i++) {
      MenuNode* child = FindChild(*level, command->menuPath[i]);
      if (!child) {
        MenuNode submenu;
        submenu.text = command->menuPath[i];
        submenu.separatorBefore =
            command->separatorBeforeSubmenu && i + 2 == command->menuPath.size();
        level->push_back(submenu);
        child = &level->back();
      }
      level = &child->children;
    }
    MenuNode item;
    item.text = command->menuPath.back();
    item.commandId = command->id;
    item.kind = command->kind;
    item.separatorBefore = command->separatorBefore && !level->empty();
    level->push_back(item);
  }
  return roots;
}

// the application's registry ---------------------------------------------------------

std::unique_ptr<CCommandRegistry>
BuildApplicationRegistry(const std::vector<CommandBinding>& frontEnd) {
  auto registry = std::make_unique<CCommandRegistry>();
  RegisterMenuTree(*registry);
  RegisterCommandsWithoutMenu(*registry);
  RegisterPanelCommands(*registry);
  RegisterDialogs(*registry);
  for (CommandBinding& binding : DocumentBindings()) registry->Bind(std::move(binding));
  for (const CommandBinding& binding : frontEnd) registry->Bind(binding);
  return registry;
}

const CCommandRegistry& ApplicationRegistry() {
  static const std::unique_ptr<CCommandRegistry> registry = BuildApplicationRegistry();
  return *registry;
}

} // namespace orvex
