// orvexbox: the mesh workbench's window program.

#include <cstdio>
#include <string>
#include <vector>

#include "app/Version.h"
#include "app/WindowCommandLine.h"
#include "app/gui/OrvexApp.h"

int main(int argc, char** argv) {
  // answered before the toolkit looks for a display
  orvex::WindowCommandLine line;
  std::string error;
  if (!line.Parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
    std::fprintf(stderr, "orvexbox: %s\n%s", error.c_str(), orvex::WindowUsage());
    return 2;
  }
  if (line.help) {
    std::fputs(orvex::WindowUsage(), stdout);
    return 0;
  }
  if (line.version) {
    std::printf("%s\n", orvex::VersionText().c_str());
    return 0;
  }
  COrvexApp::PrepareGraphics();
  COrvexApp app(argc, argv);
  if (!app.InitInstance()) return 1;
  return app.exec();
}
