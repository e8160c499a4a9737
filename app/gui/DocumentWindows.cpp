#include "app/gui/DocumentWindows.h"

#include "app/OrvexDoc.h"
#include "app/gui/MainFrame.h"

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
