#pragma once

// Runs the built orvexbox-batch program in a folder of its own and keeps
// what it printed.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace batchprocess {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string ShellQuote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs program with args, started from startDir when one is given; its
// output goes through files in dir.
inline Outcome Run(const std::string& program, const std::vector<std::string>& args,
                   const std::filesystem::path& dir, const std::filesystem::path& startDir = {}) {
  std::string command = startDir.empty() ? std::string() : "cd " + ShellQuote(startDir) + " && ";
  command += ShellQuote(program);
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  command += " >" + ShellQuote((dir / "batch_out.txt").string()) + " 2>" +
             ShellQuote((dir / "batch_err.txt").string());
  int raw = std::system(command.c_str());
  Outcome outcome;
  outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  outcome.out = ReadFile(dir / "batch_out.txt");
  outcome.err = ReadFile(dir / "batch_err.txt");
  return outcome;
}

} // namespace batchprocess
