#pragma once

#include <QScrollArea>
#include <QStringList>
#include <functional>
#include <vector>

#include "app/CommandPanelState.h"

class COrvexDoc;
class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QVBoxLayout;

// The command panel of a document window: a tall scrolling form of group
// boxes with check boxes, sliders, swatches and buttons. It shows its
// panel state and the document's switches; every control asks its window
// to run the panel command of the same name ("Panel/Materials/Predefined",
// ...), whose fields it fills ("Position", "Color", "Name", ...). Each
// control's object name is its command's name.
class CFormCommandView : public QScrollArea {
  Q_OBJECT
public:
  explicit CFormCommandView(COrvexDoc* doc, QWidget* parent = nullptr);

  COrvexDoc* GetDocument() const { return m_pDoc; }
  orvex::CCommandPanelState& State() { return m_State; }

  // Shows the state and the document's switches again (after any command).
  void Refresh();
  // The color chooser the swatches use; false when cancelled. Tests put
  // their own in place of the system dialog.
  std::function<bool(QColor&)> m_ChooseColor;

signals:
  // The window runs the command on this panel's document, this panel's
  // window made active; `sets` holds "Label=value" entries.
  void CommandRequested(CFormCommandView* panel, const QString& command, const QStringList& sets);

private:
  // A slider and the edit that shows its value (offset sliders only).
  struct SliderRow {
    orvex::PanelSlider slider;
    QSlider* widget;
    QLineEdit* value;
  };
  // A check box or radio button and what it shows.
  struct SwitchRow {
    QAbstractButton* widget;
    std::function<bool()> checked;
  };
  struct SwatchRow {
    QPushButton* widget;
    std::function<orvex::PanelColor()> color;
  };

  COrvexDoc* m_pDoc;
  orvex::CCommandPanelState m_State;
  bool m_bRefreshing = false;
  std::vector<SliderRow> m_Sliders;
  std::vector<SwitchRow> m_Switches;
  std::vector<SwatchRow> m_Swatches;
  QListWidget* m_pPresets = nullptr;
  QLineEdit* m_pSteps = nullptr;
  QLineEdit* m_pThreshold = nullptr;
  QLineEdit* m_pLightIndex = nullptr;
  QLineEdit* m_pLightPosition = nullptr;
  QLineEdit* m_pLightDirection = nullptr;
  QLabel* m_pLodName = nullptr;
  QLabel* m_pLodFaces = nullptr;
  QLabel* m_pLodIndex = nullptr;

  void Request(const QString& command, const QStringList& sets = {});
  // builders of the form
  QGroupBox* NewGroup(QVBoxLayout* form, const QString& title);
  QPushButton* AddButton(QGroupBox* group, const QString& label, const QString& command);
  QAbstractButton* AddSwitch(QGroupBox* group, const QString& label, const QString& command,
                             std::function<bool()> checked, bool radio = false);
  void AddSlider(QGroupBox* group, orvex::PanelSlider slider, bool showValue = false);
  void AddSwatch(QGroupBox* group, const QString& label, const QString& command,
                 std::function<orvex::PanelColor()> color);
  QLineEdit* AddField(QGroupBox* group, const QString& label, const QString& text);
  // the groups
  void BuildOptions(QVBoxLayout* form);
  void BuildView(QVBoxLayout* form);
  void BuildHelpers(QVBoxLayout* form);
  void BuildLightsAndMaterials(QVBoxLayout* form);
  void BuildLodAndCamera(QVBoxLayout* form);
};
