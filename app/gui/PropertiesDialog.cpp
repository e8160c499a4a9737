#include "app/gui/PropertiesDialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "app/OrvexDoc.h"
#include "app/UndoHistory.h"

CPropertiesDialog::CPropertiesDialog(const COrvexDoc& doc, QWidget* parent)
    : QDialog(parent), m_Doc(doc) {
  setWindowTitle("Properties");
  int count = doc.m_SceneGraph.NbObject();
  m_pObject = new QSpinBox(this);
  m_pObject->setRange(0, count > 0 ? count - 1 : 0);
  m_pObject->setEnabled(count > 0);
  m_pType = new QLabel(this);
  m_pVertices = new QLabel(this);
  m_pFaces = new QLabel(this);
  auto* close = new QPushButton("&Close", this);
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_pObject, qOverload<int>(&QSpinBox::valueChanged), this, &CPropertiesDialog::ShowObject);

  auto* form = new QFormLayout(this);
  form->addRow("Nb. objects :", new QLabel(QString::number(count), this));
  form->addRow("Object :", m_pObject);
  form->addRow("Type :", m_pType);
  form->addRow("Vertices :", m_pVertices);
  form->addRow("Faces :", m_pFaces);
  form->addRow("Undo history :",
               new QLabel(QString::fromStdString(doc.UndoHistory().Summary()), this));
  form->addRow(close);
  ShowObject(0);
}

void CPropertiesDialog::ShowObject(int index) {
  if (index < 0 || index >= m_Doc.m_SceneGraph.NbObject()) {
    m_pType->clear();
    m_pVertices->clear();
    m_pFaces->clear();
    return;
  }
  CObjectProperties properties = m_Doc.GetObjectProperties(index);
  m_pType->setText(
      QString("%1 (%2)").arg(properties.m_Type).arg(QString::fromStdString(properties.m_TypeName)));
  m_pVertices->setText(QString::number(properties.m_NbVertex));
  m_pFaces->setText(QString::number(properties.m_NbFace));
}

QString CPropertiesDialog::TypeText() const {
  return m_pType->text();
}
QString CPropertiesDialog::VerticesText() const {
  return m_pVertices->text();
}
QString CPropertiesDialog::FacesText() const {
  return m_pFaces->text();
}
