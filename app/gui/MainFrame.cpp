#include "app/gui/MainFrame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

#include "app/CommandFailure.h"
#include "app/OrvexDoc.h"
#include "app/gui/ChildFrame.h"
#include "app/gui/FormCommandView.h"
#include "app/gui/FrameCommands.h"
#include "app/gui/RecentFileSettings.h"
#include "app/gui/RenderView.h"
#include "app/gui/StandardBar.h"
#include "app/gui/UndoSettings.h"

using namespace orvex;

CMainFrame::CMainFrame()
    : m_Registry(WindowRegistry()), m_UI(*this), m_Host(m_UI, *this),
      m_Dispatcher(m_Registry, m_UI, &m_Host) {
  ApplyUndoSettings();
  setWindowTitle(kCaption);
  setAcceptDrops(true);
  resize(1024, 720);

  m_pMdiArea = new QMdiArea(this);
  m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(m_pMdiArea);
  connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnWindowActivated);

  m_pActions = new CCommandActions(m_Registry, this);
  m_pActions->SetDocumentGetter([this] { return ActiveDocument(); });
  m_pActions->SetFrameCheck([this](int id, bool& checked) { return FrameCheck(id, checked); });
  m_pActions->SetRecentFiles([this] {
    std::vector<QString> texts;
    for (int i = 0; i < m_Host.RecentFiles().Size(); i++)
      texts.push_back(QString::fromStdString(m_Host.RecentFiles().MenuText(i)));
    return texts;
  });
  connect(m_pActions, &CCommandActions::CommandTriggered, this, &CMainFrame::RunCommand);
  connect(m_pActions, &CCommandActions::RecentFileTriggered, this, &CMainFrame::OpenRecentFile);
  // the way out of full screen stays at hand when no document is open
  if (const CommandInfo* fullScreen = m_Registry.FindByPath("View/Full screen"))
    addAction(m_pActions->Action(fullScreen->id));
  m_MenusNoDocument = m_pActions->BuildMenuBar(kMenu128);
  m_MenusDocument = m_pActions->BuildMenuBar(kMenu129);
  m_bDocumentMenus = true; // forces the first ShowMenuBar
  ShowMenuBar(false);

  m_pStandardBar = BuildStandardBar(*this, *m_pActions);
  addToolBar(Qt::TopToolBarArea, m_pStandardBar);
  CreateStatusBar();

  LoadRecentFiles(m_Host.RecentFiles());
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
  // the windows go first: they show documents the host is about to free
  m_bDestroying = true;
  delete m_pMdiArea;
  m_pMdiArea = nullptr;
}

void CMainFrame::CreateStatusBar() {
  m_pMessagePane = new QLabel("Ready", this);
  m_pMessagePane->setMinimumWidth(1);
  statusBar()->addWidget(m_pMessagePane, 1);
  m_pProgress = new orvex::CCommandProgressBar(*statusBar());
  for (const char* pane : {"CAP", "NUM", "SCRL"}) {
    auto* label = new QLabel(pane, this);
    label->setAlignment(Qt::AlignCenter);
    label->setEnabled(false); // the lock states are not tracked
    statusBar()->addPermanentWidget(label);
  }
}

QString CMainFrame::StatusText() const {
  return m_pMessagePane->text();
}

void CMainFrame::SetStatusText(const QString& text) {
  m_pMessagePane->setText(text);
  m_pMessagePane->repaint();
}

bool CMainFrame::OpenFile(const QString& path) {
  bool opened = false;
  // a file too large for memory says so; the open documents stay
  if (!RunShowingFailure(m_UI,
                         [&] { opened = m_Host.OpenDocumentFile(path.toStdString()) != nullptr; }))
    return false;
  if (opened) return true;
  std::string error = m_Host.GetLastError();
  if (!error.empty()) m_UI.ShowMessage(error, std::string());
  return false;
}

void CMainFrame::OpenRecentFile(int index) {
  if (index < 0 || index >= m_Host.RecentFiles().Size()) return;
  std::string path = m_Host.RecentFiles().At(index);
  if (!OpenFile(QString::fromStdString(path))) {
    m_Host.RecentFiles().Remove(path);
    SaveRecentFiles();
  }
  UpdateCommandStates();
}

CommandResult CMainFrame::RunCommand(int id) {
  const CommandInfo* info = m_Registry.FindById(id);
  if (!info) return CommandResult::Unavailable;
  COrvexDoc* doc = ActiveDocument();
  CommandResult result = CommandResult::Failed;
  // the dispatcher guards its handlers; the hand-made dialogs are guarded here
  RunShowingFailure(m_UI, [&] {
    result = RunHandMadeDialog(*this, *info, doc) ? CommandResult::Done
                                                  : m_Dispatcher.Run(*info, doc).result;
  });
  if (!m_bDestroying) {
    SaveRecentFiles();
    UpdateCommandStates();
  }
  return result;
}

void CMainFrame::RunCameraDrag(CRenderView* view) {
  RunViewCommand(view, QStringLiteral("Camera drag"));
}

void CMainFrame::RunViewCommand(CRenderView* view, const QString& command) {
  // the command acts on the active view of the document: the asking
  // view's window becomes the active one first
  for (QMdiSubWindow* window : m_pMdiArea->subWindowList()) {
    auto* child = qobject_cast<CChildFrame*>(window->widget());
    if (child && child->GetRenderView() == view && window != m_pMdiArea->activeSubWindow())
      m_pMdiArea->setActiveSubWindow(window);
  }
  if (const CommandInfo* info = m_Registry.Find(command.toStdString()))
    m_Dispatcher.Run(*info, view->GetDocument());
}

CommandResult CMainFrame::RunPanelCommand(CFormCommandView* panel, const QString& command,
                                          const QStringList& sets) {
  for (QMdiSubWindow* window : m_pMdiArea->subWindowList()) {
    auto* child = qobject_cast<CChildFrame*>(window->widget());
    if (child && child->GetCommandPanel() == panel && window != m_pMdiArea->activeSubWindow())
      m_pMdiArea->setActiveSubWindow(window);
  }
  const CommandInfo* info = m_Registry.Find(command.toStdString());
  if (!info) return CommandResult::Unavailable;
  ParamValues values = m_Dispatcher.DialogValues(*info, panel->GetDocument());
  for (const QString& set : sets) {
    const int equals = set.indexOf('=');
    std::string error;
    if (equals < 0 ||
        !values.Set(set.left(equals).toStdString(), set.mid(equals + 1).toStdString(), error)) {
      static_cast<CUserInterface&>(m_UI).ShowMessage(
          error.empty() ? "Bad value " + set.toStdString() : error);
      panel->Refresh();
      return CommandResult::Failed;
    }
  }
  // the panel's controls are the dialog: no other is shown
  CommandResult result = m_Dispatcher.Run(*info, panel->GetDocument(), &values, false).result;
  if (!m_bDestroying) {
    panel->Refresh();
    UpdateCommandStates();
  }
  return result;
}

CFormCommandView* CMainFrame::ActivePanel(const COrvexDoc* doc) const {
  if (!doc) return nullptr;
  CChildFrame* active = ActiveChildFrame();
  if (active && active->GetDocument() == doc) return active->GetCommandPanel();
  std::vector<CChildFrame*> windows = WindowsOf(doc);
  return windows.empty() ? nullptr : windows.front()->GetCommandPanel();
}

CChildFrame* CMainFrame::ActiveChildFrame() const {
  QMdiSubWindow* window = m_pMdiArea ? m_pMdiArea->activeSubWindow() : nullptr;
  if (!window && m_pMdiArea && !m_pMdiArea->subWindowList().isEmpty())
    window = m_pMdiArea->currentSubWindow();
  return window ? qobject_cast<CChildFrame*>(window->widget()) : nullptr;
}

COrvexDoc* CMainFrame::ActiveDocument() const {
  CChildFrame* child = ActiveChildFrame();
  return child ? child->GetDocument() : nullptr;
}

CRenderView* CMainFrame::ActiveView(const COrvexDoc* doc) const {
  if (!doc) return nullptr;
  CChildFrame* active = ActiveChildFrame();
  if (active && active->GetDocument() == doc) return active->GetRenderView();
  std::vector<CChildFrame*> windows = WindowsOf(doc);
  return windows.empty() ? nullptr : windows.front()->GetRenderView();
}

// A newly active window's view takes the current GL context, so that
// commands setting GL state act on it.
void CMainFrame::OnWindowActivated() {
  if (m_bDestroying) return;
  if (CChildFrame* child = ActiveChildFrame()) child->GetRenderView()->MakeCurrent();
  UpdateCommandStates();
}

void CMainFrame::UpdateViews(const COrvexDoc* doc, bool now) {
  for (CChildFrame* child : WindowsOf(doc)) child->GetRenderView()->update();
  if (!now) return;
  // Qt turns back-to-back repaints of GL widgets into later updates (one
  // composition per frame); the frame's own update request paints every
  // marked view before it returns.
  QEvent request(QEvent::UpdateRequest);
  QCoreApplication::sendEvent(this, &request);
}

void CMainFrame::UpdateCommandStates() {
  if (m_bDestroying) return;
  ShowMenuBar(ActiveDocument() != nullptr);
  m_pActions->Refresh();
  // menu commands change what the panel shows too (Mode/Flat, ...)
  if (CChildFrame* child = ActiveChildFrame()) child->GetCommandPanel()->Refresh();
  UpdateCaptions();
}

void CMainFrame::ShowMenuBar(bool withDocument) {
  if (withDocument == m_bDocumentMenus) return;
  m_bDocumentMenus = withDocument;
  menuBar()->clear();
  for (QMenu* menu : withDocument ? m_MenusDocument : m_MenusNoDocument) menuBar()->addMenu(menu);
}

// "3d OrvexBox - name" while a document window is active; the windows of a
// document shown twice or more are told apart by ":1", ":2", ...
void CMainFrame::UpdateCaptions() {
  std::vector<const COrvexDoc*> seen;
  for (const auto& doc : m_Host.Documents()) {
    std::vector<QMdiSubWindow*> windows = SubWindowsOf(doc.get());
    QString title = QString::fromStdString(doc->GetTitle());
    for (size_t i = 0; i < windows.size(); i++)
      windows[i]->setWindowTitle(windows.size() > 1 ? QString("%1:%2").arg(title).arg(i + 1)
                                                    : title);
  }
  COrvexDoc* doc = ActiveDocument();
  setWindowTitle(doc ? QString("%1 - %2").arg(kCaption, QString::fromStdString(doc->GetTitle()))
                     : QString(kCaption));
}

std::vector<QMdiSubWindow*> CMainFrame::SubWindowsOf(const COrvexDoc* doc) const {
  std::vector<QMdiSubWindow*> windows;
  if (!m_pMdiArea) return windows;
  for (QMdiSubWindow* window : m_pMdiArea->subWindowList(QMdiArea::CreationOrder)) {
    auto* child = qobject_cast<CChildFrame*>(window->widget());
    if (child && child->GetDocument() == doc) windows.push_back(window);
  }
  return windows;
}

std::vector<CChildFrame*> CMainFrame::WindowsOf(const COrvexDoc* doc) const {
  std::vector<CChildFrame*> children;
  for (QMdiSubWindow* window : SubWindowsOf(doc))
    children.push_back(static_cast<CChildFrame*>(window->widget()));
  return children;
}

CChildFrame* CMainFrame::OpenWindow(COrvexDoc* doc) {
  auto* child = new CChildFrame(doc);
  QMdiSubWindow* window = m_pMdiArea->addSubWindow(child);
  window->setAttribute(Qt::WA_DeleteOnClose);
  // a new window takes three quarters of the free area, like the
  // framework's default size
  QSize area = m_pMdiArea->viewport()->size();
  window->resize(std::max(area.width() * 3 / 4, 2 * CChildFrame::kInitialPaneSize + 20),
                 std::max(area.height() * 3 / 4, CChildFrame::kInitialPaneSize + 30));
  connect(child->GetRenderView(), &CRenderView::CameraDragged, this, &CMainFrame::RunCameraDrag);
  connect(child->GetRenderView(), &CRenderView::CommandRequested, this,
          &CMainFrame::RunViewCommand);
  connect(child->GetCommandPanel(), &CFormCommandView::CommandRequested, this,
          &CMainFrame::RunPanelCommand);
  connect(window, &QObject::destroyed, this, [this, doc] {
    if (m_bDestroying) return;
    m_Host.OnWindowClosed(doc);
    UpdateCommandStates();
  });
  window->show();
  m_pMdiArea->setActiveSubWindow(window);
  UpdateCommandStates();
  return child;
}

void CMainFrame::CloseWindowsOf(const COrvexDoc* doc) {
  for (QMdiSubWindow* window : SubWindowsOf(doc)) {
    // the document goes right after: nothing may paint it any more
    window->disconnect(this);
    window->hide();
    m_pMdiArea->removeSubWindow(window);
    window->deleteLater();
  }
}

void CMainFrame::Cascade() {
  m_pMdiArea->cascadeSubWindows();
}

// Each window across the whole width, one above the other.
void CMainFrame::TileHorizontally() {
  QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
  if (windows.isEmpty()) return;
  QRect area = m_pMdiArea->viewport()->rect();
  int height = area.height() / windows.size();
  for (int i = 0; i < windows.size(); i++) {
    windows[i]->showNormal();
    windows[i]->setGeometry(0, i * height, area.width(), height);
  }
}

// Each window over the whole height, side by side.
void CMainFrame::TileVertically() {
  QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
  if (windows.isEmpty()) return;
  QRect area = m_pMdiArea->viewport()->rect();
  int width = area.width() / windows.size();
  for (int i = 0; i < windows.size(); i++) {
    windows[i]->showNormal();
    windows[i]->setGeometry(i * width, 0, width, area.height());
  }
}

// Minimized windows in a row along the bottom edge.
void CMainFrame::ArrangeIcons() {
  QRect area = m_pMdiArea->viewport()->rect();
  int x = 0;
  for (QMdiSubWindow* window : m_pMdiArea->subWindowList()) {
    if (!window->isMinimized()) continue;
    window->move(x, area.height() - window->height());
    x += window->width();
  }
}

void CMainFrame::ToggleStandardBar() {
  m_pStandardBar->setVisible(!m_pStandardBar->isVisible());
}

void CMainFrame::ToggleStatusBar() {
  statusBar()->setVisible(!statusBar()->isVisible());
}

void CMainFrame::ToggleFullScreen() {
  m_FullScreen.Toggle(*this, *m_pStandardBar, *statusBar());
}

// Check marks of the items the frame serves and of the view's own switch.
bool CMainFrame::FrameCheck(int id, bool& checked) const {
  const CommandInfo* info = m_Registry.FindById(id);
  if (info == m_Registry.FindByPath("View/Full screen")) {
    checked = m_FullScreen.IsOn();
    return true;
  }
  if (info == m_Registry.FindByPath("Geometry/Swap rotation axes")) {
    CRenderView* view = ActiveView(ActiveDocument());
    checked = view && view->State().m_bHorizontalAboutY;
    return view != nullptr;
  }
  if (info == m_Registry.FindByPath("View/Toolbar")) {
    checked = !m_pStandardBar->isHidden();
    return true;
  }
  if (info == m_Registry.FindByPath("View/Status Bar")) {
    checked = !statusBar()->isHidden();
    return true;
  }
  return false;
}

void CMainFrame::SaveRecentFiles() {
  StoreRecentFiles(m_Host.RecentFiles());
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) OpenFile(url.toLocalFile());
  event->acceptProposedAction();
  activateWindow();
  UpdateCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // nothing asks to save
  SaveRecentFiles();
  m_Host.CloseAllDocuments();
  event->accept();
}
