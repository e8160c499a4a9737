#include "app/WindowCommandLine.h"

#include <filesystem>

namespace orvex {

const char* WindowUsage() {
  return "usage: orvexbox [FILE]\n"
         "       orvexbox --help | --version\n"
         "Opens FILE (a scene, a mesh or an image) in the mesh workbench; see\n"
         "orvexbox-batch --help for running commands without a window.\n";
}

// The toolkit's own options, with whether each takes a value.
static bool IsToolkitOption(const std::string& arg, bool& takesValue) {
  static const char* const withValue[] = {
      "-platform", "-platformpluginpath", "-platformtheme", "-plugin",
      "-style",    "-stylesheet",         "-session",       "-display",
      "-geometry", "-qwindowgeometry",    "-qwindowtitle",  "-qwindowicon"};
  static const char* const alone[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};
  for (const char* option : withValue)
    if (arg == option || arg == std::string("-") + option) return takesValue = true;
  for (const char* option : alone)
    if (arg == option) {
      takesValue = false;
      return true;
    }
  return false;
}

bool WindowCommandLine::Parse(const std::vector<std::string>& args, std::string& error) {
  for (size_t i = 0; i < args.size(); i++) {
    const std::string& arg = args[i];
    bool takesValue = false;
    if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version") {
      version = true;
    } else if (IsToolkitOption(arg, takesValue)) {
      i += takesValue ? 1 : 0;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else if (file.empty()) {
      file = arg;
    } else {
      error = "more than one file (" + file + ", " + arg + ")";
      return false;
    }
  }
  if (help || version || file.empty()) return true;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    error = std::filesystem::exists(file, ec) ? file + " is not a file" : "no such file: " + file;
    return false;
  }
  return true;
}

} // namespace orvex
