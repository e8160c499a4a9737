#pragma once

#include <QDialog>
#include <vector>

#include "app/CommandParams.h"

namespace orvex {

// A command's dialog built from its fields: a number or text edit, a check
// box or a drop-down list per field, OK and Cancel. OK checks every field
// against its kind and range and writes the values back; a bad field keeps
// the dialog open with a message.
class CParamDialog : public QDialog {
  Q_OBJECT
public:
  CParamDialog(const QString& title, ParamValues& values, QWidget* parent = nullptr);

  // The text of field i as the dialog holds it ("on"/"off" for check boxes).
  QString FieldText(int i) const;
  void SetFieldText(int i, const QString& text);

  void accept() override;

private:
  ParamValues& m_Values;
  std::vector<QWidget*> m_Fields;
};

} // namespace orvex
