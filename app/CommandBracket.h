#pragma once

#include "app/CommandRegistry.h"

namespace orvex {

// What surrounds a handler while it runs, set up on construction and undone
// on destruction however the handler leaves (a return or an exception): the
// wait cursor, the document's command bracket, the document's own messages
// and questions going through the outcome's recorder, and the handler's
// time in the outcome. A document the handler closed is left alone.
class CCommandBracket {
public:
  // frontEnd is the dispatcher's front end, recorder the one the handler
  // talks to (it forwards to frontEnd).
  CCommandBracket(CUserInterface& frontEnd, CUserInterface& recorder, CDocumentHost* host,
                  const CommandInfo& info, CCommandContext& context);
  CCommandBracket(const CCommandBracket&) = delete;
  CCommandBracket& operator=(const CCommandBracket&) = delete;
  ~CCommandBracket();

private:
  bool DocumentStillOpen() const;

  CUserInterface& m_Recorder;
  CDocumentHost* m_Host;
  const CommandInfo& m_Info;
  CCommandContext& m_Context;
  COrvexDoc* m_Doc;
  // the document's front end while its messages go through the recorder
  CUserInterface* m_DocumentFrontEnd = nullptr;
  bool m_Hosted = false;
  int m_Exceptions;
};

} // namespace orvex
