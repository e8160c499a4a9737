#pragma once

#include <QOpenGLWidget>

class COrvexDoc;

// The OpenGL view of a document: it applies the document's display state
// and draws the document under a fixed view that frames the scene's
// bounding box. Mouse navigation, timers and full screen come with the
// view's own commands.
class CRenderView : public QOpenGLWidget {
  Q_OBJECT
public:
  explicit CRenderView(COrvexDoc* doc, QWidget* parent = nullptr);

  COrvexDoc* GetDocument() const { return m_pDoc; }

protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;
  // Without a rendering context the view shows a plain background.
  void paintEvent(QPaintEvent* event) override;

private:
  COrvexDoc* m_pDoc;
};
