#pragma once

#include <string>

#include "app/CommandOutcome.h"
#include "app/CommandRegistry.h"

class COrvexDoc;

namespace orvex {

class CUserInterface;
class CDocumentHost;

// The single door of every command, whether it comes from a menu, a key, a
// button or the batch runner: it checks that the command can run, shows its
// dialog, brackets the work with the wait cursor, gives the handler its
// clock, marks the document modified and requests the redraw. A handler
// that throws fails with a message ("Insuffisant memory" for
// std::bad_alloc); the wait cursor and the document's bracket still close.
// Every run returns its outcome: the result, what it showed, the files it
// wrote and, when it did not run, why. Before a command that changes the
// scene it records an undo step on the document (CUndoGuard), which it
// restores when the command fails or throws. Progress and cancel of long
// commands belong here.
class CCommandDispatcher {
public:
  CCommandDispatcher(const CCommandRegistry& registry, CUserInterface& ui,
                     CDocumentHost* host = nullptr)
      : m_Registry(registry), m_UI(ui), m_Host(host) {}

  CUserInterface& UserInterface() const { return m_UI; }

  // The dialog of a command with its defaults for this document.
  ParamValues DialogValues(const CommandInfo& info, const COrvexDoc* doc) const;

  // Runs a command on doc (null for the commands of the menu bar without a
  // document). With given values the dialog opens filled with them;
  // without, it opens with the defaults. showDialog false runs with the
  // given values at once (the Apply buttons of a hand-made dialog).
  CCommandOutcome Run(const CommandInfo& info, COrvexDoc* doc, const ParamValues* given = nullptr,
                      bool showDialog = true);
  CCommandOutcome Run(int id, COrvexDoc* doc, const ParamValues* given = nullptr,
                      bool showDialog = true);

private:
  CommandResult RunChecked(const CommandInfo& info, COrvexDoc* doc, const ParamValues* given,
                           bool showDialog, CUserInterface& ui, CCommandOutcome& outcome);

  const CCommandRegistry& m_Registry;
  CUserInterface& m_UI;
  CDocumentHost* m_Host;
};

} // namespace orvex
