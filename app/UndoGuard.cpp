#include "app/UndoGuard.h"

#include <new>

#include "app/OrvexDoc.h"
#include "app/UndoHistory.h"
#include "app/UndoRecorder.h"
#include "app/UserInterface.h"

namespace orvex {

CUndoGuard::CUndoGuard(const CommandInfo& info, COrvexDoc* doc, CUserInterface& ui)
    : m_Info(info), m_Doc(doc), m_UI(ui), m_Recording(doc && RecordsUndo(info)) {}

void CUndoGuard::Record() {
  if (!m_Recording) return;
  // copying a large scene takes a moment
  m_UI.BeginWaitCursor();
  try {
    m_Step = RecordUndoStep(m_Info, *m_Doc, m_Doc->UndoHistory(), m_WhyNot);
  } catch (const std::bad_alloc&) {
    m_WhyNot = "No undo for " + UndoLabel(m_Info) + ": not enough memory to record it";
  }
  m_UI.EndWaitCursor();
}

CUndoGuard::~CUndoGuard() = default;

bool CUndoGuard::CanRestore() const {
  return !(m_Info.effects & kEffectsRecorded) || m_Step != nullptr;
}

void CUndoGuard::Restore(COrvexDoc* doc) noexcept {
  if (!m_Step || doc != m_Doc || !m_Step->Matches(doc->m_SceneGraph)) return;
  try {
    m_Step->Exchange(*doc);
  } catch (...) {
    // only texture coordinates allocate; the rest is back
  }
  m_Step.reset();
}

void CUndoGuard::Commit(COrvexDoc* doc) {
  if (!m_Recording || doc != m_Doc) return;
  CUndoHistory& history = doc->UndoHistory();
  if (m_Step && m_Step->Matches(doc->m_SceneGraph)) {
    history.Push(std::move(m_Step));
    return;
  }
  history.Clear();
  if (m_WhyNot.empty()) m_WhyNot = "No undo: the command changed more than it records";
  m_UI.SetStatusText(m_WhyNot);
}

} // namespace orvex
