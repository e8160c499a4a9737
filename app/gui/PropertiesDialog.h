#pragma once

#include <QDialog>

class QLabel;
class QSpinBox;
class COrvexDoc;

// "Properties": the number of scene objects, and for the object the spin
// control selects, its type, vertex count and face count.
class CPropertiesDialog : public QDialog {
  Q_OBJECT
public:
  CPropertiesDialog(const COrvexDoc& doc, QWidget* parent = nullptr);

  QSpinBox* ObjectSpin() const { return m_pObject; }
  // The texts shown for the selected object (type, vertices, faces).
  QString TypeText() const;
  QString VerticesText() const;
  QString FacesText() const;

private:
  const COrvexDoc& m_Doc;
  QSpinBox* m_pObject;
  QLabel* m_pType;
  QLabel* m_pVertices;
  QLabel* m_pFaces;

  void ShowObject(int index);
};
