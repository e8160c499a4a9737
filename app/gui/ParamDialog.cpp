#include "app/gui/ParamDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

namespace orvex {

static QWidget* FieldWidget(const ParamField& param, const std::string& value, QWidget* parent) {
  switch (param.type) {
  case ParamType::Check: {
    auto* box = new QCheckBox(QString::fromStdString(param.label), parent);
    box->setChecked(value == "on");
    // a box shown only (an option not offered) cannot be ticked
    box->setEnabled(!param.readOnly);
    return box;
  }
  case ParamType::Choice: {
    auto* combo = new QComboBox(parent);
    for (const std::string& choice : param.choices) combo->addItem(QString::fromStdString(choice));
    combo->setCurrentText(QString::fromStdString(value));
    return combo;
  }
  default: {
    auto* edit = new QLineEdit(QString::fromStdString(value), parent);
    edit->setReadOnly(param.readOnly);
    return edit;
  }
  }
}

CParamDialog::CParamDialog(const QString& title, ParamValues& values, QWidget* parent)
    : QDialog(parent), m_Values(values) {
  setWindowTitle(title);
  auto* form = new QFormLayout;
  const std::vector<ParamField>& fields = values.Fields();
  for (const ParamField& param : fields) {
    // fields of the command line only have no widget
    if (param.commandLineOnly) {
      m_Fields.push_back(nullptr);
      continue;
    }
    QWidget* field = FieldWidget(param, values.Text(param.label), this);
    m_Fields.push_back(field);
    if (param.type == ParamType::Check)
      form->addRow(field);
    else
      form->addRow(QString::fromStdString(param.label), field);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CParamDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CParamDialog::reject);
  form->addRow(buttons);
  setLayout(form);
}

QString CParamDialog::FieldText(int i) const {
  QWidget* field = m_Fields[i];
  if (!field) return QString::fromStdString(m_Values.Text(m_Values.Fields()[size_t(i)].label));
  if (auto* box = qobject_cast<QCheckBox*>(field)) return box->isChecked() ? "on" : "off";
  if (auto* combo = qobject_cast<QComboBox*>(field)) return combo->currentText();
  return static_cast<QLineEdit*>(field)->text();
}

void CParamDialog::SetFieldText(int i, const QString& text) {
  QWidget* field = m_Fields[i];
  if (!field) return;
  if (auto* box = qobject_cast<QCheckBox*>(field))
    box->setChecked(text == "on");
  else if (auto* combo = qobject_cast<QComboBox*>(field))
    combo->setCurrentText(text);
  else
    static_cast<QLineEdit*>(field)->setText(text);
}

void CParamDialog::accept() {
  ParamValues edited = m_Values;
  const std::vector<ParamField>& fields = edited.Fields();
  for (size_t i = 0; i < fields.size(); i++) {
    if (fields[i].readOnly || !m_Fields[i]) continue;
    std::string error;
    if (!edited.Set(fields[i].label, FieldText(static_cast<int>(i)).toStdString(), error)) {
      QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
      m_Fields[i]->setFocus();
      return;
    }
  }
  m_Values = edited;
  QDialog::accept();
}

} // namespace orvex
