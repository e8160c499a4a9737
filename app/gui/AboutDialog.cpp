#include "app/gui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

#include "app/gui/ProgramIcon.h"

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About 3d Orvexbox");
  auto* icon = new QLabel(this);
  icon->setPixmap(orvex::ProgramIcon().pixmap(32, 32));
  auto* text = new QLabel("3d Orvexbox (version 3.0)", this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QGridLayout(this);
  layout->addWidget(icon, 0, 0);
  layout->addWidget(text, 0, 1);
  layout->addWidget(buttons, 1, 0, 1, 2);
}
