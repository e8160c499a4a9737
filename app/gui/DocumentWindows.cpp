#include "app/gui/DocumentWindows.h"

#include "app/OrvexDoc.h"
#include "app/gui/FormCommandView.h"
#include "app/gui/MainFrame.h"
#include "app/gui/RenderView.h"

namespace orvex {

CQtDocumentHost::~CQtDocumentHost() = default;

void CQtDocumentHost::Exit() {
  CloseAllDocuments();
  m_Frame.close();
}

void CQtDocumentHost::OnWindowClosed(COrvexDoc* doc) {
  if (m_Closing.count(doc) || !m_Frame.WindowsOf(doc).empty()) return;
  CloseDocument(doc);
}

CRenderViewState* CQtDocumentHost::ActiveViewState(COrvexDoc* doc) {
  if (CRenderView* view = m_Frame.ActiveView(doc)) return &view->State();
  return CDocumentHost::ActiveViewState(doc);
}

void CQtDocumentHost::StartViewTimer(COrvexDoc* doc, int timer, int periodMs) {
  if (CRenderView* view = m_Frame.ActiveView(doc)) view->StartTimer(timer, periodMs);
}

void CQtDocumentHost::StopViewTimer(COrvexDoc* doc, int timer) {
  if (CRenderView* view = m_Frame.ActiveView(doc)) view->StopTimer(timer);
}

CCommandPanelState* CQtDocumentHost::ActivePanelState(COrvexDoc* doc) {
  if (CFormCommandView* panel = m_Frame.ActivePanel(doc)) return &panel->State();
  return CDocumentHost::ActivePanelState(doc);
}

void CQtDocumentHost::OnDocumentOpened(COrvexDoc* doc) {
  m_Frame.OpenWindow(doc);
  m_Frame.SaveRecentFiles();
}

void CQtDocumentHost::OnDocumentClosing(COrvexDoc* doc) {
  m_Closing.insert(doc);
  m_Frame.CloseWindowsOf(doc);
  m_Closing.erase(doc);
}

} // namespace orvex
