#include "app/gui/ChildFrame.h"

#include <QFrame>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/gui/RenderView.h"

// Stands in the panel's pane until the command panel exists.
static QWidget* NewCommandPanelPlaceholder(QWidget* parent) {
  auto* panel = new QFrame(parent);
  panel->setObjectName("commandPanel");
  panel->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(panel);
  layout->addWidget(new QLabel("Command panel", panel), 0, Qt::AlignTop | Qt::AlignHCenter);
  return panel;
}

CChildFrame::CChildFrame(COrvexDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
  m_pSplitter = new QSplitter(Qt::Horizontal, this);
  m_pPanel = NewCommandPanelPlaceholder(m_pSplitter);
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
