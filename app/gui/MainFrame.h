#pragma once

#include <QList>
#include <QMainWindow>
#include <vector>

#include "app/Dispatcher.h"
#include "app/gui/CommandProgressBar.h"
#include "app/gui/DocumentWindows.h"
#include "app/gui/FullScreen.h"
#include "app/gui/MenuBuilder.h"
#include "app/gui/QtUserInterface.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;
class CChildFrame;
class COrvexDoc;
class CRenderView;
class CFormCommandView;

// The main window: the document windows in an MDI area, the menus and
// accelerators built from the command registry, the "Standard" button bar
// and the status bar (message pane, CAP, NUM, SCRL). Every command runs
// through the dispatcher on the active window's document.
class CMainFrame : public QMainWindow {
  Q_OBJECT
public:
  static constexpr const char* kCaption = "3d OrvexBox";

  CMainFrame();
  ~CMainFrame() override;

  const orvex::CCommandRegistry& Registry() const { return m_Registry; }
  orvex::CQtDocumentHost& Host() { return m_Host; }
  orvex::CCommandDispatcher& Dispatcher() { return m_Dispatcher; }
  orvex::CQtUserInterface& UserInterface() { return m_UI; }
  orvex::CCommandActions& Actions() { return *m_pActions; }
  QMdiArea* MdiArea() const { return m_pMdiArea; }
  QToolBar* StandardBar() const { return m_pStandardBar; }

  // Opens a file into a new document and window; a message box says why
  // when it fails.
  bool OpenFile(const QString& path);
  // Runs a command on the active document (menus, keys and buttons).
  orvex::CommandResult RunCommand(int id);
  // Runs "Camera drag" for a camera-mode drag in view.
  void RunCameraDrag(CRenderView* view);
  // Runs a document command for a view, that view's window made active.
  void RunViewCommand(CRenderView* view, const QString& command);
  // Runs a panel command for a panel, that panel's window made active, with
  // its fields set from "Label=value" entries; the panel shows the outcome.
  orvex::CommandResult RunPanelCommand(CFormCommandView* panel, const QString& command,
                                       const QStringList& sets);

  CChildFrame* ActiveChildFrame() const;
  COrvexDoc* ActiveDocument() const;
  // The render view the view commands of doc act on: the active window's
  // view when that window shows doc, else the view of doc's first window;
  // null when doc has no window.
  CRenderView* ActiveView(const COrvexDoc* doc) const;
  // The command panel the panel commands of doc act on, chosen as
  // ActiveView chooses the view.
  CFormCommandView* ActivePanel(const COrvexDoc* doc) const;
  // The command panel of the active document window (null without one).
  CFormCommandView* GetActiveCommandPanel() const { return ActivePanel(ActiveDocument()); }

  // The status line (pane 0), repainted at once.
  QString StatusText() const;
  void SetStatusText(const QString& text);
  orvex::CCommandProgressBar& Progress() { return *m_pProgress; }
  // Repaints the views of doc, at once (before returning) or from the
  // event loop.
  void UpdateViews(const COrvexDoc* doc, bool now);
  // Enabled states, check marks, menu bar and captions after a change.
  void UpdateCommandStates();

  // document windows
  CChildFrame* OpenWindow(COrvexDoc* doc);
  void CloseWindowsOf(const COrvexDoc* doc);
  std::vector<CChildFrame*> WindowsOf(const COrvexDoc* doc) const;
  void Cascade();
  void TileHorizontally();
  void TileVertically();
  void ArrangeIcons();
  void ToggleStandardBar();
  void ToggleStatusBar();
  // View/Full screen: the frame alone over the whole screen, without its
  // button bar and status bar, until switched off again.
  void ToggleFullScreen();
  bool IsFullScreen() const { return m_FullScreen.IsOn(); }
  void SaveRecentFiles();

protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  const orvex::CCommandRegistry& m_Registry;
  orvex::CQtUserInterface m_UI;
  orvex::CQtDocumentHost m_Host;
  orvex::CCommandDispatcher m_Dispatcher;
  orvex::CCommandActions* m_pActions = nullptr;
  QMdiArea* m_pMdiArea = nullptr;
  QToolBar* m_pStandardBar = nullptr;
  QLabel* m_pMessagePane = nullptr;
  orvex::CCommandProgressBar* m_pProgress = nullptr;
  QList<QMenu*> m_MenusNoDocument;
  QList<QMenu*> m_MenusDocument;
  bool m_bDocumentMenus = false;
  bool m_bDestroying = false;
  orvex::CFullScreen m_FullScreen;

  void CreateStatusBar();
  void ShowMenuBar(bool withDocument);
  void UpdateCaptions();
  void OpenRecentFile(int index);
  void OnWindowActivated();
  bool FrameCheck(int id, bool& checked) const;
  std::vector<QMdiSubWindow*> SubWindowsOf(const COrvexDoc* doc) const;
};
