// orvexbox: the mesh workbench's window program.

#include "app/gui/OrvexApp.h"

int main(int argc, char** argv) {
  COrvexApp::PrepareGraphics();
  COrvexApp app(argc, argv);
  if (!app.InitInstance()) return 1;
  return app.exec();
}
