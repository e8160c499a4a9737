// The window program's command line, read before any display is opened.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/WindowCommandLine.h"

TEST(WindowCommandLine, AcceptsOneExistingFileHelpVersionAndToolkitOptions) {
  const std::string sample = std::string(ORVEX_SAMPLES_DIR) + "/icosahedron.wrl";
  struct Case {
    std::vector<std::string> args;
    const char* error; // null: accepted
    std::string file;
    bool help, version;
  };
  const Case cases[] = {
      {{}, nullptr, "", false, false},
      {{sample}, nullptr, sample, false, false},
      {{"--help"}, nullptr, "", true, false},
      {{"-h", "missing.wrl"}, nullptr, "missing.wrl", true, false}, // help wins over the check
      {{"--version"}, nullptr, "", false, true},
      {{"-platform", "offscreen", sample, "-reverse"}, nullptr, sample, false, false},
      {{"--platform", "xcb"}, nullptr, "", false, false},
      {{"--bogus"}, "unknown option --bogus", "", false, false},
      {{sample, sample}, "more than one file", "", false, false},
      {{"/no/such/file.wrl"}, "no such file: /no/such/file.wrl", "", false, false},
      {{ORVEX_SAMPLES_DIR}, "is not a file", "", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
    orvex::WindowCommandLine line;
    std::string error;
    EXPECT_EQ(line.Parse(c.args, error), c.error == nullptr) << error;
    if (c.error) {
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
      continue;
    }
    EXPECT_EQ(line.file, c.file);
    EXPECT_EQ(line.help, c.help);
    EXPECT_EQ(line.version, c.version);
  }
}
