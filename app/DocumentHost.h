#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AviRecorder.h"
#include "app/CommandPanelState.h"
#include "app/RecentFileList.h"
#include "app/RenderViewState.h"
#include "app/ViewContext.h"

class COrvexDoc;

namespace orvex {

class CUserInterface;

// The open documents of a session and the recent-file list. File/New,
// File/Open, File/Close and the recent files go through it. A front end
// derives from it to open and close windows with the documents
// (OnDocumentOpened, OnDocumentClosing).
class CDocumentHost {
public:
  explicit CDocumentHost(CUserInterface& ui) : m_UI(ui) {}
  virtual ~CDocumentHost();

  CUserInterface& GetUserInterface() const { return m_UI; }
  const std::vector<std::unique_ptr<COrvexDoc>>& Documents() const { return m_Documents; }
  CRecentFileList& RecentFiles() { return m_RecentFiles; }

  // A new empty document.
  COrvexDoc* NewDocument();
  // Opens a file into a new document; on failure the document is dropped
  // and null returned (the reason in GetLastError). The file joins the
  // recent-file list on success.
  COrvexDoc* OpenDocumentFile(const std::string& path);
  // Closes a document without asking anything.
  void CloseDocument(COrvexDoc* doc);
  // Ends the session: every document closes, nothing asks to save.
  virtual void Exit();
  const std::string& GetLastError() const { return m_LastError; }

  // The view state the view commands of doc act on: the active render view
  // of the document in a window program; here, one default view state per
  // document, kept while the document is open (the batch runner's view).
  virtual CRenderViewState* ActiveViewState(COrvexDoc* doc);
  // The application's single viewing slot (Debug/Viewing/Push and Pop).
  CViewingState& ViewingSlot() { return m_ViewingSlot; }
  // Starts a timer of the active view of doc (1: spin, 2: silhouette-driven
  // refinement cycle); without windows there is no timer.
  virtual void StartViewTimer(COrvexDoc* /*doc*/, int /*timer*/, int /*periodMs*/) {}
  virtual void StopViewTimer(COrvexDoc* /*doc*/, int /*timer*/) {}
  // The command panel the panel commands of doc act on: the active window's
  // panel in a window program; here, one panel state per document, kept
  // while the document is open.
  virtual CCommandPanelState* ActivePanelState(COrvexDoc* doc);

  // Runs work with a GL context current that shows the active view of doc.
  // A window program makes its view's context current (its picture is the
  // last one painted); here the provider set by SetViewContextProvider
  // renders the default view offscreen, painted first when paint is set.
  // false with the reason when there is no context.
  virtual bool RunInViewContext(COrvexDoc* doc, bool paint, const ViewContextWork& work,
                                std::string& error);
  void SetViewContextProvider(ViewContextProvider provider) { m_ViewContext = std::move(provider); }
  // A frame of a video recording: the main window in a window program;
  // here the active view of doc, rendered. false with the reason.
  virtual bool GrabFrame(COrvexDoc* doc, CRgbImage& image, std::string& error);
  // Gives the main window a height of 3/4 of its width; false without one.
  virtual bool ResizeFrameFourThirds() { return false; }
  // The session's video recording (Window/AVI).
  CAviRecorder& AviRecorder() { return m_AviRecorder; }

protected:
  virtual void OnDocumentOpened(COrvexDoc*) {}
  virtual void OnDocumentClosing(COrvexDoc*) {}

private:
  CUserInterface& m_UI;
  std::vector<std::unique_ptr<COrvexDoc>> m_Documents;
  CRecentFileList m_RecentFiles;
  std::string m_LastError;
  CViewingState m_ViewingSlot;
  ViewContextProvider m_ViewContext;
  CAviRecorder m_AviRecorder;
  std::vector<std::pair<COrvexDoc*, std::unique_ptr<CRenderViewState>>> m_DefaultViews;
  std::vector<std::pair<COrvexDoc*, std::unique_ptr<CCommandPanelState>>> m_DefaultPanels;
};

} // namespace orvex
