#pragma once

#include <QWidget>

class QSplitter;
class COrvexDoc;
class CRenderView;
class CFormCommandView;

// A document window: a splitter of one row and two columns holding the
// command panel (column 0) and the render view (column 1).
class CChildFrame : public QWidget {
  Q_OBJECT
public:
  static constexpr int kInitialPaneSize = 200;

  explicit CChildFrame(COrvexDoc* doc, QWidget* parent = nullptr);

  COrvexDoc* GetDocument() const { return m_pDoc; }
  QSplitter* GetSplitter() const { return m_pSplitter; }
  CFormCommandView* GetCommandPanel() const { return m_pPanel; }
  CRenderView* GetRenderView() const { return m_pView; }

private:
  COrvexDoc* m_pDoc;
  QSplitter* m_pSplitter;
  CFormCommandView* m_pPanel;
  CRenderView* m_pView;
};
