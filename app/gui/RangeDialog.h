#pragma once

#include <QDialog>
#include <QStringList>

#include "app/CommandRegistry.h"

class QLineEdit;
class COrvexDoc;

namespace orvex {
class CCommandDispatcher;
}

// "Range" of the first mesh: minimum and maximum per axis, an offset and a
// scale per axis, each group with its own Apply, which runs the command
// with that group's fields (the others left neutral).
class CRangeDialog : public QDialog {
  Q_OBJECT
public:
  enum Group { RangeGroup, OffsetGroup, ScaleGroup };

  CRangeDialog(orvex::CCommandDispatcher& dispatcher, const orvex::CommandInfo& info,
               COrvexDoc& doc, QWidget* parent = nullptr);

  // The edit of a field by its label ("X min", "Offset Y", "Scale Z").
  QLineEdit* Field(const QString& label) const;
  orvex::CommandResult Apply(Group group);

private:
  orvex::CCommandDispatcher& m_Dispatcher;
  const orvex::CommandInfo& m_Info;
  COrvexDoc& m_Doc;
  std::vector<std::pair<QString, QLineEdit*>> m_Fields;

  QLineEdit* AddField(const QString& label);
  void ShowCurrentRange();
};
