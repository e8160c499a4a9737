#include "app/gui/ChildFrame.h"

#include <QSplitter>
#include <QVBoxLayout>

#include "app/gui/FormCommandView.h"
#include "app/gui/RenderView.h"

CChildFrame::CChildFrame(COrvexDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
  m_pSplitter = new QSplitter(Qt::Horizontal, this);
  m_pPanel = new CFormCommandView(doc, m_pSplitter);
  m_pView = new CRenderView(doc, m_pSplitter);
  m_pSplitter->addWidget(m_pPanel);
  m_pSplitter->addWidget(m_pView);
  // the panel keeps its width, the view takes what the window gives
  m_pSplitter->setSizes({kInitialPaneSize, kInitialPaneSize});
  m_pSplitter->setStretchFactor(0, 0);
  m_pSplitter->setStretchFactor(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_pSplitter);
  setMinimumSize(kInitialPaneSize / 2, kInitialPaneSize / 2);
}
