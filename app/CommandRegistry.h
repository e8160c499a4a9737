#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/CommandParams.h"

class COrvexDoc;

namespace orvex {

class CUserInterface;
class CDocumentHost;
struct CCommandOutcome;

// Who serves a command. Document commands are served here; the others are
// served by the front end's windows (the Qt program binds its handlers to
// them), and the batch runner reports them as needing a window.
enum class CommandTarget { Document, View, Panel, Frame, Application, Framework };

// The two menu bars: 128 without a document, 129 with one.
enum MenuBarMask { kMenuNone = 0, kMenu128 = 1, kMenu129 = 2, kMenuBoth = 3 };

// A menu entry is either a command or the place of the recent-file list.
enum class ItemKind { Command, RecentFiles };

// What the view needs after a command.
enum class Redraw { None, Invalidate, InvalidateErase };

enum class CommandResult {
  Done,        // the command ran
  NothingDone, // the command found nothing to do (not an error)
  Cancelled,   // the user cancelled its dialog
  Failed,      // it failed and said why (message box)
  Unavailable  // no handler in this front end, or not available yet
};

// What a command may change. The dispatcher rebuilds display lists and
// marks the document modified from these declarations, undo records from
// them, and a test runs every command and fails when it changed more.
enum Effect : unsigned {
  kEffectNone = 0,
  kEffectView = 1u << 0,       // the active view: transform, speeds, timers, viewing slot
  kEffectDisplay = 1u << 1,    // the document's display options and highlight indices
  kEffectPositions = 1u << 2,  // vertex positions, mesh transforms
  kEffectNormals = 1u << 3,    // normals and adjacency derived from the mesh
  kEffectTopology = 1u << 4,   // vertices or faces added, removed or reconnected
  kEffectObjects = 1u << 5,    // scene objects added, removed or replaced; cameras moved
  kEffectAttributes = 1u << 6, // colours, flags, materials, bindings, texture coordinates
  kEffectOverlay = 1u << 7,    // helper objects shown over the scene, never saved
  kEffectFiles = 1u << 8,      // files written without a file dialog
  kEffectDocuments = 1u << 9,  // documents opened, closed or saved; the session ended
  kEffectFrame = 1u << 10,     // windows, bars and full screen of the front end
  kEffectMaterials = 1u << 11, // mesh materials (set outside the display lists)
};
using Effects = unsigned;

// Effects on the scene: display lists are rebuilt after them.
constexpr Effects kEffectsOnScene = kEffectPositions | kEffectNormals | kEffectTopology |
                                    kEffectObjects | kEffectAttributes | kEffectOverlay;
// Effects on what a save writes: they mark the document modified.
constexpr Effects kEffectsModifying = kEffectPositions | kEffectTopology | kEffectObjects;

// Names of the effects in a set ("positions|topology"), "none" when empty.
std::string EffectNames(Effects effects);

const char* ResultName(CommandResult result);
const char* TargetName(CommandTarget target);

// What a handler works with: the document (null for commands of menu 128),
// the front end, the host of the open documents and the dialog values.
struct CCommandContext {
  COrvexDoc* doc = nullptr;
  CUserInterface& ui;
  CDocumentHost* host = nullptr;
  const ParamValues& params;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  // Redraw to request after the command (a handler may change it).
  Redraw redraw = Redraw::Invalidate;
  // The record of this run (null outside the dispatcher).
  CCommandOutcome* outcome = nullptr;

  CCommandContext(COrvexDoc* d, CUserInterface& u, CDocumentHost* h, const ParamValues& p)
      : doc(d), ui(u), host(h), params(p) {}
  // Seconds since the command started (the status reports' "%g s").
  double ElapsedSeconds() const;
  // Code that writes a file reports it here, for the command's outcome.
  void ReportFileWritten(const std::string& path);
};

using CommandHandler = std::function<CommandResult(CCommandContext&)>;
using DocumentQuery = std::function<bool(const COrvexDoc&)>;
using DefaultsFiller = std::function<void(const COrvexDoc&, ParamValues&)>;
using DocumentText = std::function<std::string(const COrvexDoc&)>;

// One command: its menu entry (segments as stored, ampersands included;
// empty for commands without a menu entry), its identifier, its name (for
// commands without a menu entry), its accelerators (the first one is the
// one a menu shows), who serves it, its dialog and its handler.
struct CommandInfo {
  int id = 0;
  std::vector<std::string> menuPath;
  std::string path; // menuPath joined with '/'
  std::string name;
  std::vector<std::string> keys;
  CommandTarget target = CommandTarget::Document;
  int menus = kMenu129;
  bool separatorBefore = false;        // separator before this item
  bool separatorBeforeSubmenu = false; // separator before the submenu this item opens
  ItemKind kind = ItemKind::Command;
  bool checkable = false; // shows a check mark when checked says so
  bool needsDocument = true;
  Redraw redraw = Redraw::Invalidate;
  Effects effects = kEffectNone;
  std::string dialogTitle;
  std::vector<ParamField> params;
  DefaultsFiller fillDefaults; // defaults that depend on the document
  CommandHandler handler;
  DocumentQuery checked;
  DocumentQuery enabledWhen;
  // The item text for a document when it depends on it ("&Undo Loop/Std").
  DocumentText text;
  // False for the commands that walk the undo history themselves.
  bool recordsUndo = true;
  // True for commands that mark what they change for rebuilding themselves
  // (materials, shown flags, helper objects): the end of the command keeps
  // the other objects' display lists.
  bool keepsDisplayLists = false;
  // True for a command that serves a worker running on the document (its
  // stop): it runs while the worker holds the scene.
  bool runsBesideWorker = false;

  bool HasMenuEntry() const { return !menuPath.empty(); }
  // The path, or the name for commands without a menu entry.
  const std::string& Label() const { return menuPath.empty() ? name : path; }
  // A dialog to show: some field is not given on the command line only.
  bool HasDialog() const {
    for (const ParamField& param : params)
      if (!param.commandLineOnly) return true;
    return false;
  }
};

// A command's dialog: title, fields and the defaults that depend on the
// document.
struct CommandDialog {
  std::string title;
  std::vector<ParamField> fields;
  DefaultsFiller fillDefaults;
};

// How a registered command is served: one declaration per command, bound
// by CCommandRegistry::Bind. `command` is a menu path (with or without
// ampersands), a name or an identifier.
struct CommandBinding {
  std::string command;
  CommandHandler handler;
  Effects effects = kEffectNone;
  Redraw redraw = Redraw::Invalidate;
  DocumentQuery checked;     // check mark; makes the item checkable
  DocumentQuery enabledWhen; // extra condition besides having a document
  CommandDialog dialog;      // replaces the registered dialog when it has fields
  DocumentText text;         // item text that depends on the document
  bool recordsUndo = true;
  bool keepsDisplayLists = false;
  bool runsBesideWorker = false;

  CommandBinding(std::string command, CommandHandler handler, Effects effects,
                 Redraw redraw = Redraw::Invalidate)
      : command(std::move(command)), handler(std::move(handler)), effects(effects), redraw(redraw) {
  }
  CommandBinding&& Checked(DocumentQuery query) && {
    checked = std::move(query);
    return std::move(*this);
  }
  CommandBinding&& EnabledWhen(DocumentQuery query) && {
    enabledWhen = std::move(query);
    return std::move(*this);
  }
  CommandBinding&& Text(DocumentText query) && {
    text = std::move(query);
    return std::move(*this);
  }
  CommandBinding&& WithoutUndoRecord() && {
    recordsUndo = false;
    return std::move(*this);
  }
  CommandBinding&& KeepsDisplayLists() && {
    keepsDisplayLists = true;
    return std::move(*this);
  }
  CommandBinding&& RunsBesideWorker() && {
    runsBesideWorker = true;
    return std::move(*this);
  }
  CommandBinding&& Dialog(CommandDialog d) && {
    dialog = std::move(d);
    return std::move(*this);
  }
};

// Thrown while the registry is built when a declaration names no command,
// names one twice, or collides with another.
class CRegistryError : public std::logic_error {
public:
  using std::logic_error::logic_error;
};

// A node of a menu bar: a submenu (command 0, children) or an item.
struct MenuNode {
  std::string text; // as stored, ampersands included
  int commandId = 0;
  bool separatorBefore = false;        // separator before this item
  bool separatorBeforeSubmenu = false; // separator before the submenu this item opens
  ItemKind kind = ItemKind::Command;
  std::vector<MenuNode> children;
  bool IsSubmenu() const { return commandId == 0; }
};

// Every command of the application, registered once. Front ends build
// their menus, accelerators, check marks, enabled states and dialogs from
// it; the dispatcher runs commands from it.
class CCommandRegistry {
public:
  static constexpr int kFirstAutomaticId = 40001;

  // Adds a command; an id of 0 gets the next automatic one. Returns the id,
  // or 0 when the id, the path, the name or a key is already taken (the
  // first binding of a key wins, so a taken key is dropped, not an error).
  int Add(CommandInfo info);
  // Adds a command of the application's own tables: a taken id, path or
  // name throws CRegistryError.
  void AddOrThrow(CommandInfo info);

  const std::vector<std::unique_ptr<CommandInfo>>& Commands() const { return m_Commands; }
  const CommandInfo* FindById(int id) const;
  // By menu path, with or without ampersands, case and extra blanks ignored.
  const CommandInfo* FindByPath(const std::string& path) const;
  // Commands without a menu entry by name or dialog title.
  const CommandInfo* FindByName(const std::string& name) const;
  // By path, then name or dialog title, then identifier ("32986"), then
  // the last segments of a single path ("Loop/Std").
  const CommandInfo* Find(const std::string& text) const;
  const CommandInfo* FindByPathEnd(const std::string& text) const;
  // The command an accelerator is bound to ("Ctrl+L", "ctrl + l").
  const CommandInfo* FindByKey(const std::string& key) const;
  // Keys the accelerator table reserves for commands not yet registered.
  const std::vector<std::string>& ReservedKeys() const { return m_ReservedKeys; }
  void ReserveKey(const std::string& key) { m_ReservedKeys.push_back(key); }

  // Serves a registered command. Throws CRegistryError when the command
  // is unknown or already served.
  void Bind(CommandBinding binding);
  // Gives a registered command its dialog; throws CRegistryError when the
  // command is unknown.
  void SetDialog(const std::string& text, CommandDialog dialog);

  // Enabled: it has a handler, has a document if it needs one, can run
  // while a worker changes that document's scene (CanRunBesideWorker), and
  // its own condition holds. Checked: it is checkable and its query says so.
  bool IsEnabled(const CommandInfo& info, const COrvexDoc* doc) const;
  bool IsChecked(const CommandInfo& info, const COrvexDoc* doc) const;
  // The item text for doc: the command's own text for it, else the stored
  // one (ampersands included); empty for a command without a menu entry.
  std::string ItemText(const CommandInfo& info, const COrvexDoc* doc) const;

  // The tree of menu bar 128 or 129 in registration order.
  std::vector<MenuNode> MenuBar(MenuBarMask bar) const;

private:
  CommandInfo* Mutable(const std::string& text);

  std::vector<std::unique_ptr<CommandInfo>> m_Commands;
  std::map<int, CommandInfo*> m_ById;
  std::map<std::string, CommandInfo*> m_ByPathKey;
  std::map<std::string, CommandInfo*> m_ByNameKey;
  std::map<std::string, CommandInfo*> m_ByKey;
  std::vector<std::string> m_ReservedKeys;
  int m_NextId = kFirstAutomaticId;
};

// Whether a command may run while a worker changes its document's scene:
// it neither changes nor writes the scene and, served by the document,
// opens, saves or closes documents (saving and drawing wait for the
// worker's step, closing stops the worker), or serves the worker itself.
bool CanRunBesideWorker(const CommandInfo& info);

// Canonical form of an accelerator: modifiers in the order Ctrl, Alt,
// Shift, then "Num" for the numeric pad, then the key, lower case
// ("Shift+Ctrl+l" -> "ctrl+shift+l", "Ctrl+numeric +" -> "ctrl+num++").
std::string KeyKey(const std::string& key);

// A registry with the whole menu tree, the commands without a menu entry,
// their dialogs, the handlers of the toolkit-free layer and those a front
// end adds. Throws CRegistryError when a declaration does not resolve.
std::unique_ptr<CCommandRegistry>
BuildApplicationRegistry(const std::vector<CommandBinding>& frontEnd = {});

// The registry of the toolkit-free layer (batch runner, tests), built once
// and never changed afterwards.
const CCommandRegistry& ApplicationRegistry();

// Building blocks of BuildApplicationRegistry (each in its own file).
void RegisterMenuTree(CCommandRegistry& registry);
void RegisterCommandsWithoutMenu(CCommandRegistry& registry);
void RegisterDialogs(CCommandRegistry& registry);
// The command panel's controls, commands without a menu entry.
void RegisterPanelCommands(CCommandRegistry& registry);
// Every binding of the toolkit-free layer.
std::vector<CommandBinding> DocumentBindings();

} // namespace orvex
