#pragma once

// "Multiview": a modal dialog of four OpenGL panes sharing the render
// views' context group, showing the document from 0, 90, 180 and 0 degrees
// about Y. A drag in any pane moves the one shared transform with the
// render view's rules and all four repaint. It never touches the document.

#include <QDialog>
#include <array>

#include "app/RenderViewState.h"

class COrvexDoc;

namespace orvex {

class CMultiviewPane;

class CMultiviewDialog : public QDialog {
  Q_OBJECT
public:
  CMultiviewDialog(const COrvexDoc& doc, QWidget* parent = nullptr);

  const CRenderViewState& State() const { return m_State; }
  CRenderViewState& State() { return m_State; }
  const COrvexDoc& Document() const { return m_Doc; }
  QWidget* Pane(int i) const;
  // Repaints the four panes after the shared transform moved.
  void RepaintAll();

private:
  const COrvexDoc& m_Doc;
  CRenderViewState m_State;
  std::array<CMultiviewPane*, 4> m_Panes{};
};

} // namespace orvex
