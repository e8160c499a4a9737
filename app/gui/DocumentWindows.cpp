#include "app/gui/DocumentWindows.h"

#include <algorithm>

#include "app/OrvexDoc.h"
#include "app/gui/FormCommandView.h"
#include "app/gui/MainFrame.h"
#include "app/gui/PictureConversion.h"
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

bool CQtDocumentHost::RunInViewContext(COrvexDoc* doc, bool paint, const ViewContextWork& work,
                                       std::string& error) {
  CRenderView* view = m_Frame.ActiveView(doc);
  if (!view || !view->IsGlReady()) {
    error = CRenderView::kNoGlMessage;
    return false;
  }
  view->makeCurrent();
  if (paint) view->State().glPaint(*doc);
  const bool done = work(view->State(), error);
  view->doneCurrent();
  view->update();
  return done;
}

bool CQtDocumentHost::GrabFrame(COrvexDoc*, CRgbImage& image, std::string& error) {
  const QImage picture = m_Frame.grab().toImage();
  if (picture.isNull()) {
    error = "The main window cannot be grabbed";
    return false;
  }
  image = RgbFromImage(picture);
  return true;
}

bool CQtDocumentHost::ResizeFrameFourThirds() {
  const int width = m_Frame.width();
  m_Frame.resize(width, 3 * (width / 4));
  return true;
}

void CQtDocumentHost::StopViewTimer(COrvexDoc* doc, int timer) {
  if (CRenderView* view = m_Frame.ActiveView(doc)) view->StopTimer(timer);
}

CCommandPanelState* CQtDocumentHost::ActivePanelState(COrvexDoc* doc) {
  if (CFormCommandView* panel = m_Frame.ActivePanel(doc)) return &panel->State();
  return CDocumentHost::ActivePanelState(doc);
}

void CQtDocumentHost::OnDocumentOpened(COrvexDoc* doc) {
  // a worker on the document posts here from its thread; the frame serves
  // it (redraw, menu states, its report) in the user-interface thread
  doc->SetWorkerNotifier([this, doc] {
    QMetaObject::invokeMethod(
        &m_Frame,
        [this, doc] {
          const auto& docs = Documents();
          if (std::none_of(docs.begin(), docs.end(),
                           [doc](const auto& d) { return d.get() == doc; }))
            return;
          doc->ServeWorker(false);
          m_Frame.UpdateViews(doc, false);
          m_Frame.UpdateCommandStates();
        },
        Qt::QueuedConnection);
  });
  m_Frame.OpenWindow(doc);
  m_Frame.SaveRecentFiles();
}

void CQtDocumentHost::OnDocumentClosing(COrvexDoc* doc) {
  m_Closing.insert(doc);
  m_Frame.CloseWindowsOf(doc);
  m_Closing.erase(doc);
}

} // namespace orvex
