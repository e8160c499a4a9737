#include "app/CommandBracket.h"

#include <algorithm>
#include <exception>

#include "app/CommandOutcome.h"
#include "app/DocumentHost.h"
#include "app/OrvexDoc.h"
#include "app/UserInterface.h"

namespace orvex {

static bool Hosts(const CDocumentHost* host, const COrvexDoc* doc) {
  if (!host || !doc) return false;
  const auto& docs = host->Documents();
  return std::any_of(docs.begin(), docs.end(), [doc](const auto& d) { return d.get() == doc; });
}

CCommandBracket::CCommandBracket(CUserInterface& frontEnd, CUserInterface& recorder,
                                 CDocumentHost* host, const CommandInfo& info,
                                 CCommandContext& context)
    : m_Recorder(recorder), m_Host(host), m_Info(info), m_Context(context), m_Doc(context.doc),
      m_Hosted(Hosts(host, context.doc)), m_Exceptions(std::uncaught_exceptions()) {
  m_Recorder.BeginWaitCursor();
  if (!m_Doc) return;
  m_Doc->BeginCommand();
  // what the document itself shows (the save question, a writer's error)
  // belongs to the command too
  if (m_Doc->GetUserInterface() == &frontEnd) {
    m_DocumentFrontEnd = &frontEnd;
    m_Doc->SetUserInterface(&m_Recorder);
  }
}

// A document of the host that the host no longer has was closed by the
// handler (File/Close, File/Exit); the others live on.
bool CCommandBracket::DocumentStillOpen() const {
  return !m_Hosted || Hosts(m_Host, m_Doc);
}

CCommandBracket::~CCommandBracket() {
  const bool unwinding = std::uncaught_exceptions() > m_Exceptions;
  if (m_Doc && DocumentStillOpen()) {
    if (m_DocumentFrontEnd) m_Doc->SetUserInterface(m_DocumentFrontEnd);
    // whatever a document command did to the meshes, their lists are
    // rebuilt; view and window commands leave the scene alone unless they
    // say they change it, or threw halfway through a change
    try {
      if (m_Context.doc == m_Doc)
        m_Doc->EndCommand(unwinding ||
                          (!m_Info.keepsDisplayLists && (m_Info.target == CommandTarget::Document ||
                                                         (m_Info.effects & kEffectsOnScene) != 0)));
    } catch (...) {
    }
  } else if (m_Context.doc == m_Doc) {
    m_Context.doc = nullptr;
  }
  try {
    m_Recorder.EndWaitCursor();
  } catch (...) {
  }
  if (m_Context.outcome) m_Context.outcome->seconds = m_Context.ElapsedSeconds();
}

} // namespace orvex
