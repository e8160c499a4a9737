#include "app/DocumentHost.h"

#include <algorithm>

#include "app/CaptureClientPixels.h"
#include "app/CommandPanelState.h"
#include "app/ExportView.h"
#include "app/OrvexDoc.h"
#include "geometry/HeapRelease.h"

namespace orvex {

CDocumentHost::~CDocumentHost() = default;

COrvexDoc* CDocumentHost::NewDocument() {
  m_Documents.push_back(std::make_unique<COrvexDoc>(&m_UI));
  COrvexDoc* doc = m_Documents.back().get();
  doc->OnNewDocument();
  OnDocumentOpened(doc);
  return doc;
}

COrvexDoc* CDocumentHost::OpenDocumentFile(const std::string& path) {
  m_LastError.clear();
  auto doc = std::make_unique<COrvexDoc>(&m_UI);
  if (!doc->OpenByExtension(path)) {
    m_LastError = doc->GetLastError();
    return nullptr;
  }
  m_RecentFiles.Add(doc->GetPathName());
  m_Documents.push_back(std::move(doc));
  OnDocumentOpened(m_Documents.back().get());
  // the first look frames the scene as it was opened
  ActiveViewState(m_Documents.back().get());
  return m_Documents.back().get();
}

void CDocumentHost::CloseDocument(COrvexDoc* doc) {
  auto it = std::find_if(m_Documents.begin(), m_Documents.end(),
                         [doc](const std::unique_ptr<COrvexDoc>& d) { return d.get() == doc; });
  if (it == m_Documents.end()) return;
  OnDocumentClosing(doc);
  m_DefaultViews.erase(std::remove_if(m_DefaultViews.begin(), m_DefaultViews.end(),
                                      [doc](const auto& view) { return view.first == doc; }),
                       m_DefaultViews.end());
  m_DefaultPanels.erase(std::remove_if(m_DefaultPanels.begin(), m_DefaultPanels.end(),
                                       [doc](const auto& panel) { return panel.first == doc; }),
                        m_DefaultPanels.end());
  m_Documents.erase(it);
  // a closed document's mesh is not replaced soon: its pages go back
  ReleaseFreedMemory();
}

CRenderViewState* CDocumentHost::ActiveViewState(COrvexDoc* doc) {
  if (!doc) return nullptr;
  for (auto& view : m_DefaultViews)
    if (view.first == doc) return view.second.get();
  m_DefaultViews.emplace_back(doc, std::make_unique<CRenderViewState>());
  m_DefaultViews.back().second->FrameScene(doc->m_SceneGraph);
  return m_DefaultViews.back().second.get();
}

CCommandPanelState* CDocumentHost::ActivePanelState(COrvexDoc* doc) {
  if (!doc) return nullptr;
  for (auto& panel : m_DefaultPanels)
    if (panel.first == doc) return panel.second.get();
  m_DefaultPanels.emplace_back(doc, std::make_unique<CCommandPanelState>());
  return m_DefaultPanels.back().second.get();
}

void CDocumentHost::Exit() {
  while (!m_Documents.empty()) CloseDocument(m_Documents.back().get());
}

bool CDocumentHost::RunInViewContext(COrvexDoc* doc, bool paint, const ViewContextWork& work,
                                     std::string& error) {
  CRenderViewState* view = ActiveViewState(doc);
  if (!view) {
    error = "No active document";
    return false;
  }
  if (!m_ViewContext) {
    error = "No OpenGL context: this program draws no view";
    return false;
  }
  return m_ViewContext(*doc, ExportView(*view), paint, work, error);
}

bool CDocumentHost::GrabFrame(COrvexDoc* doc, CRgbImage& image, std::string& error) {
  return RunInViewContext(
      doc, true,
      [&image](const CRenderViewState& view, std::string& why) {
        if (CaptureClientPixels(view.m_Width, view.m_Height, image)) return true;
        why = "The view has no pixels";
        return false;
      },
      error);
}

} // namespace orvex
