#include "app/BatchCommandLine.h"

namespace orvex {

const char* BatchUsage() {
  return "usage: orvexbox-batch INPUT [--run COMMAND [--set \"Label=value\"]...]...\n"
         "                      [--save OUTPUT] [--info] [--snapshot PICTURE.png]\n"
         "                      [--snapshot-size WxH] [--yes]\n"
         "       orvexbox-batch --list-commands | --help | --version\n";
}

// Options that take a value: the value is the next argument.
static bool TakeValue(const std::vector<std::string>& args, size_t& i, std::string& value,
                      std::string& error) {
  if (i + 1 >= args.size()) {
    error = args[i] + " needs a value";
    return false;
  }
  value = args[++i];
  return true;
}

static bool AddSet(BatchCommandLine& line, const std::string& text, std::string& error) {
  if (line.runs.empty()) {
    error = "--set \"" + text + "\" comes before any --run";
    return false;
  }
  size_t equal = text.find('=');
  if (equal == std::string::npos || equal == 0) {
    error = "--set needs \"Label=value\", not \"" + text + "\"";
    return false;
  }
  line.runs.back().sets.emplace_back(text.substr(0, equal), text.substr(equal + 1));
  return true;
}

// "WxH" with both sides from 1 to 16384 pixels.
static bool ParseSize(const std::string& text, int& width, int& height, std::string& error) {
  constexpr long kMaxSide = 16384;
  const size_t x = text.find('x');
  auto side = [&](const std::string& digits, int& value) {
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      return false;
    long number = std::stol(digits);
    if (number < 1 || number > kMaxSide) return false;
    value = static_cast<int>(number);
    return true;
  };
  if (x == std::string::npos || !side(text.substr(0, x), width) ||
      !side(text.substr(x + 1), height)) {
    error = "--snapshot-size needs WxH with sides from 1 to 16384, not \"" + text + "\"";
    return false;
  }
  return true;
}

bool BatchCommandLine::Parse(const std::vector<std::string>& args, std::string& error) {
  for (size_t i = 0; i < args.size(); i++) {
    const std::string& arg = args[i];
    std::string value;
    if (arg == "--run") {
      if (!TakeValue(args, i, value, error)) return false;
      runs.push_back(BatchRun{value, {}});
    } else if (arg == "--set") {
      if (!TakeValue(args, i, value, error) || !AddSet(*this, value, error)) return false;
    } else if (arg == "--save") {
      if (!TakeValue(args, i, save, error)) return false;
    } else if (arg == "--snapshot") {
      if (!TakeValue(args, i, snapshot, error)) return false;
    } else if (arg == "--snapshot-size") {
      if (!TakeValue(args, i, value, error) ||
          !ParseSize(value, snapshotWidth, snapshotHeight, error))
        return false;
    } else if (arg == "--info") {
      info = true;
    } else if (arg == "--yes") {
      yes = true;
    } else if (arg == "--list-commands") {
      listCommands = true;
    } else if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version") {
      version = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else if (input.empty()) {
      input = arg;
    } else {
      error = "more than one input file (" + input + ", " + arg + ")";
      return false;
    }
  }
  if (!listCommands && !help && !version && input.empty()) {
    error = "no input file";
    return false;
  }
  return true;
}

} // namespace orvex
