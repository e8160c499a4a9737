#pragma once

#include <set>

#include "app/DocumentHost.h"
#include "app/OrvexDoc.h" // the host holds documents by value

class CMainFrame;

namespace orvex {

// The documents of the Qt program: each opened document gets a window in
// the main frame; closing a document closes its windows, and closing the
// last window of a document closes the document (never asking to save).
class CQtDocumentHost : public CDocumentHost {
public:
  CQtDocumentHost(CUserInterface& ui, CMainFrame& frame) : CDocumentHost(ui), m_Frame(frame) {}
  ~CQtDocumentHost() override;

  CMainFrame& Frame() const { return m_Frame; }
  // Every document closes, then the main frame.
  void Exit() override;
  void CloseAllDocuments() { CDocumentHost::Exit(); }
  // Called when a window of doc went away.
  void OnWindowClosed(COrvexDoc* doc);

  // The state of doc's active render view (see CMainFrame::ActiveView);
  // the default view state of doc while it has no window.
  CRenderViewState* ActiveViewState(COrvexDoc* doc) override;
  // Starts a timer of doc's active render view.
  void StartViewTimer(COrvexDoc* doc, int timer, int periodMs) override;
  // The active view's context made current; painted first when asked.
  bool RunInViewContext(COrvexDoc* doc, bool paint, const ViewContextWork& work,
                        std::string& error) override;
  // The main window as it shows, views included.
  bool GrabFrame(COrvexDoc* doc, CRgbImage& image, std::string& error) override;
  bool ResizeFrameFourThirds() override;
  void StopViewTimer(COrvexDoc* doc, int timer) override;
  // The state of doc's active command panel (see CMainFrame::ActivePanel).
  CCommandPanelState* ActivePanelState(COrvexDoc* doc) override;

protected:
  void OnDocumentOpened(COrvexDoc* doc) override;
  void OnDocumentClosing(COrvexDoc* doc) override;

private:
  CMainFrame& m_Frame;
  std::set<COrvexDoc*> m_Closing;
};

} // namespace orvex
