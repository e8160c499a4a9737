#include "app/Dispatcher.h"

#include "app/OrvexDoc.h"
#include "app/UserInterface.h"

namespace orvex {

ParamValues CCommandDispatcher::DialogValues(const CommandInfo& info, const COrvexDoc* doc) const {
  ParamValues values(info.params);
  if (info.fillDefaults && doc) info.fillDefaults(*doc, values);
  return values;
}

static std::string UnavailableReason(const CommandInfo& info, const COrvexDoc* doc) {
  if (info.needsDocument && !doc) return "\"" + info.Label() + "\" needs an open document";
  if (info.handler) return "\"" + info.Label() + "\" cannot run on this scene";
  if (info.target != CommandTarget::Document && info.target != CommandTarget::Application)
    return "\"" + info.Label() + "\" is served by the " + TargetName(info.target) +
           " of a window and is not available here";
  return "\"" + info.Label() + "\" is not available yet";
}

CommandResult CCommandDispatcher::Run(int id, COrvexDoc* doc, const ParamValues* given,
                                      bool showDialog) {
  const CommandInfo* info = m_Registry.FindById(id);
  if (!info) {
    m_LastError = "unknown command " + std::to_string(id);
    return CommandResult::Unavailable;
  }
  return Run(*info, doc, given, showDialog);
}

CommandResult CCommandDispatcher::Run(const CommandInfo& info, COrvexDoc* doc,
                                      const ParamValues* given, bool showDialog) {
  m_LastError.clear();
  if (!m_Registry.IsEnabled(info, doc)) {
    m_LastError = UnavailableReason(info, doc);
    return CommandResult::Unavailable;
  }
  ParamValues values = given ? *given : DialogValues(info, doc);
  if (showDialog && info.HasDialog() && !m_UI.EditParameters(info.dialogTitle, values))
    return CommandResult::Cancelled;
  // a field whose entry is required still holds its shown value
  if (!values.Validate(m_LastError)) {
    m_UI.ShowMessage(m_LastError);
    return CommandResult::Failed;
  }

  CCommandContext context(doc, m_UI, m_Host, values);
  context.redraw = info.redraw;
  m_UI.BeginWaitCursor();
  if (doc) doc->BeginCommand();
  CommandResult result = info.handler(context);
  // whatever a document command did to the meshes, their lists are rebuilt;
  // view and window commands leave the scene alone unless they say they
  // change it (a handler that closed the document cleared context.doc)
  if (doc && context.doc == doc)
    doc->EndCommand(info.target == CommandTarget::Document ||
                    (info.effects & kEffectsOnScene) != 0);
  m_UI.EndWaitCursor();

  if (result != CommandResult::Done) return result;
  // a handler that closed the document cleared context.doc
  if (COrvexDoc* after = context.doc) {
    if (info.effects & kEffectsModifying) after->SetModifiedFlag();
    after->ClampHighlightFaceIndex();
  }
  if (context.redraw != Redraw::None) m_UI.RequestRedraw(context.redraw == Redraw::InvalidateErase);
  return result;
}

} // namespace orvex
