#include "app/gui/RangeDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "app/CommandFailure.h"
#include "app/Dispatcher.h"

using namespace orvex;

static const char* const kAxes[3] = {"X", "Y", "Z"};

static QStringList GroupLabels(CRangeDialog::Group group) {
  QStringList labels;
  for (const char* axis : kAxes) {
    if (group == CRangeDialog::RangeGroup)
      labels << QString("%1 min").arg(axis) << QString("%1 max").arg(axis);
    else
      labels << QString(group == CRangeDialog::OffsetGroup ? "Offset %1" : "Scale %1").arg(axis);
  }
  return labels;
}

CRangeDialog::CRangeDialog(CCommandDispatcher& dispatcher, const CommandInfo& info, COrvexDoc& doc,
                           QWidget* parent)
    : QDialog(parent), m_Dispatcher(dispatcher), m_Info(info), m_Doc(doc) {
  setWindowTitle("Range");
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("Min", this), 0, 1);
  grid->addWidget(new QLabel("Max", this), 0, 2);
  for (int axis = 0; axis < 3; axis++) {
    grid->addWidget(new QLabel(kAxes[axis], this), axis + 1, 0);
    grid->addWidget(AddField(QString("%1 min").arg(kAxes[axis])), axis + 1, 1);
    grid->addWidget(AddField(QString("%1 max").arg(kAxes[axis])), axis + 1, 2);
  }
  const struct {
    const char* title;
    Group group;
  } rows[] = {{"Offset", OffsetGroup}, {"Scale", ScaleGroup}};
  int row = 4;
  auto addApply = [this, grid](Group group, int gridRow) {
    auto* apply = new QPushButton("Apply", this);
    // the dispatcher guards the command; refilling the fields is guarded here
    connect(apply, &QPushButton::clicked, this, [this, group] {
      RunShowingFailure(m_Dispatcher.UserInterface(), [this, group] { Apply(group); });
    });
    grid->addWidget(apply, gridRow, 4);
  };
  addApply(RangeGroup, 3);
  for (const auto& r : rows) {
    grid->addWidget(new QLabel(r.title, this), row, 0);
    QStringList labels = GroupLabels(r.group);
    for (int axis = 0; axis < 3; axis++) {
      QLineEdit* edit = AddField(labels[axis]);
      edit->setText(r.group == OffsetGroup ? "0" : "1");
      grid->addWidget(edit, row, axis + 1);
    }
    addApply(r.group, row);
    row++;
  }
  auto* close = new QPushButton("Close", this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  grid->addWidget(close, row, 4);
  ShowCurrentRange();
}

QLineEdit* CRangeDialog::AddField(const QString& label) {
  auto* edit = new QLineEdit(this);
  m_Fields.emplace_back(label, edit);
  return edit;
}

QLineEdit* CRangeDialog::Field(const QString& label) const {
  for (const auto& [name, edit] : m_Fields)
    if (name == label) return edit;
  return nullptr;
}

void CRangeDialog::ShowCurrentRange() {
  ParamValues values = m_Dispatcher.DialogValues(m_Info, &m_Doc);
  for (const QString& label : GroupLabels(RangeGroup))
    Field(label)->setText(QString::fromStdString(values.Text(label.toStdString())));
}

CommandResult CRangeDialog::Apply(Group group) {
  ParamValues values = m_Dispatcher.DialogValues(m_Info, &m_Doc);
  for (const QString& label : GroupLabels(group)) {
    std::string error;
    if (!values.Set(label.toStdString(), Field(label)->text().toStdString(), error)) {
      QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
      return CommandResult::Failed;
    }
  }
  CommandResult result = m_Dispatcher.Run(m_Info, &m_Doc, &values, false).result;
  ShowCurrentRange();
  return result;
}
