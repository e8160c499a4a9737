#include "app/Dispatcher.h"

#include <exception>

#include "app/CommandBracket.h"
#include "app/CommandFailure.h"
#include "app/CommandProgress.h"
#include "app/OrvexDoc.h"
#include "app/OutcomeRecorder.h"
#include "app/UndoGuard.h"
#include "app/UndoRecorder.h"

namespace orvex {

ParamValues CCommandDispatcher::DialogValues(const CommandInfo& info, const COrvexDoc* doc) const {
  ParamValues values(info.params);
  if (info.fillDefaults && doc) info.fillDefaults(*doc, values);
  return values;
}

static std::string UnavailableReason(const CommandInfo& info, const COrvexDoc* doc) {
  if (info.needsDocument && !doc) return "\"" + info.Label() + "\" needs an open document";
  if (doc && doc->IsBusy() && !CanRunBesideWorker(info))
    return "\"" + info.Label() +
           "\" cannot run while the volume-based metric changes this scene: stop it first";
  if (info.handler) return "\"" + info.Label() + "\" cannot run on this scene";
  if (info.target != CommandTarget::Document && info.target != CommandTarget::Application)
    return "\"" + info.Label() + "\" is served by the " + TargetName(info.target) +
           " of a window and is not available here";
  return "\"" + info.Label() + "\" is not available yet";
}

CCommandOutcome CCommandDispatcher::Run(int id, COrvexDoc* doc, const ParamValues* given,
                                        bool showDialog) {
  const CommandInfo* info = m_Registry.FindById(id);
  if (!info) {
    CCommandOutcome outcome;
    outcome.error = "unknown command " + std::to_string(id);
    return outcome;
  }
  return Run(*info, doc, given, showDialog);
}

CCommandOutcome CCommandDispatcher::Run(const CommandInfo& info, COrvexDoc* doc,
                                        const ParamValues* given, bool showDialog) {
  CCommandOutcome outcome;
  COutcomeRecorder ui(m_UI, outcome);
  try {
    outcome.result = RunChecked(info, doc, given, showDialog, ui, outcome);
  } catch (const CCancelled&) {
    // the user stopped it; the scene it started from is back
    outcome.result = CommandResult::Cancelled;
    ui.SetStatusText(CancelledText(UndoLabel(info)));
  } catch (...) {
    // a handler that throws (std::bad_alloc on a mesh too large) fails like
    // one that says why; nothing reaches the event loop or the batch runner
    outcome.result = CommandResult::Failed;
    ShowFailure(ui, std::current_exception());
  }
  return outcome;
}

CommandResult CCommandDispatcher::RunChecked(const CommandInfo& info, COrvexDoc* doc,
                                             const ParamValues* given, bool showDialog,
                                             CUserInterface& ui, CCommandOutcome& outcome) {
  if (!m_Registry.IsEnabled(info, doc)) {
    outcome.error = UnavailableReason(info, doc);
    // refused for a running worker: the user is told why
    if (doc && doc->IsBusy()) ui.ShowMessage(outcome.error);
    return CommandResult::Unavailable;
  }
  ParamValues values = given ? *given : DialogValues(info, doc);
  if (showDialog && info.HasDialog() && !ui.EditParameters(info.dialogTitle, values))
    return CommandResult::Cancelled;
  // a field whose entry is required still holds its shown value
  if (!values.Validate(outcome.error)) {
    ui.ShowMessage(outcome.error);
    return CommandResult::Failed;
  }

  CCommandContext context(doc, ui, m_Host, values);
  context.redraw = info.redraw;
  context.outcome = &outcome;
  // the record is taken before the command's bracket changes how meshes draw
  CUndoGuard undo(info, doc, ui);
  undo.Record();
  CommandResult result;
  {
    CCommandBracket bracket(m_UI, ui, m_Host, info, context);
    CCommandProgress progress(ui, undo.CanRestore());
    // a command that fails, throws or is stopped halfway gets back the scene
    // it started from, inside the bracket so that the lists are rebuilt
    // from it
    try {
      result = info.handler(context);
    } catch (...) {
      undo.Restore(context.doc);
      throw;
    }
    if (result == CommandResult::Failed) undo.Restore(context.doc);
    if (result == CommandResult::Done) progress.Finish();
  }

  if (result != CommandResult::Done) return result;
  // context.doc is null when the handler closed the document
  if (COrvexDoc* after = context.doc) {
    // the undo commands bring back the modified flag they recorded
    if ((info.effects & kEffectsModifying) && info.recordsUndo) after->SetModifiedFlag();
    undo.Commit(after);
  }
  if (context.redraw != Redraw::None) ui.RequestRedraw(context.redraw == Redraw::InvalidateErase);
  return result;
}

} // namespace orvex
