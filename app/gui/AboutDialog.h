#pragma once

#include <QDialog>

// "About 3d Orvexbox": the program's icon, its name and version, OK.
class CAboutDialog : public QDialog {
  Q_OBJECT
public:
  explicit CAboutDialog(QWidget* parent = nullptr);
};
