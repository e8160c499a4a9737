// orvexbox-batch: the headless front end. It runs menu commands on a scene
// file through the same document, registry and dispatcher as the window
// program, without any display; its snapshots are drawn offscreen.

#include <cstdio>
#include <string>
#include <vector>

#include "app/BatchCommandLine.h"
#include "app/BatchRunner.h"
#include "app/Version.h"
#include "app/offscreen/OffscreenViewContext.h"
#include "app/offscreen/Snapshot.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  orvex::BatchCommandLine line;
  std::string error;
  if (!line.Parse(args, error)) {
    std::fprintf(stderr, "orvexbox-batch: %s\n%s", error.c_str(), orvex::BatchUsage());
    return orvex::kExitUsage;
  }
  if (line.help) {
    std::fputs(orvex::BatchUsage(), stdout);
    return orvex::kExitOk;
  }
  if (line.version) {
    std::printf("%s\n", orvex::VersionText().c_str());
    return orvex::kExitOk;
  }
  if (line.listCommands) {
    orvex::ListCommands(stdout);
    return orvex::kExitOk;
  }
  return orvex::RunBatch(line, stdout, stderr, orvex::WriteSnapshot,
                         orvex::OffscreenViewContextProvider());
}
