#include "tests/support/ResidentMemory.h"

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace residentmemory {

std::size_t ResidentBytes() {
  std::FILE* file = std::fopen("/proc/self/statm", "r");
  if (!file) return 0;
  unsigned long size = 0, resident = 0;
  int read = std::fscanf(file, "%lu %lu", &size, &resident);
  std::fclose(file);
  if (read != 2) return 0;
  return static_cast<std::size_t>(resident) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::vector<double> MeasureInChild(const std::function<void(std::vector<double>&)>& measure) {
  int channel[2];
  if (pipe(channel) != 0) return {};
  pid_t child = fork();
  if (child < 0) {
    close(channel[0]);
    close(channel[1]);
    return {};
  }

  // child: measure, write the figures, leave without running exit handlers
  if (child == 0) {
    close(channel[0]);
    malloc_trim(0);
    std::vector<double> figures;
    measure(figures);
    const char* bytes = reinterpret_cast<const char*>(figures.data());
    std::size_t left = figures.size() * sizeof(double);
    while (left > 0) {
      ssize_t written = write(channel[1], bytes, left);
      if (written <= 0) _exit(1);
      bytes += written;
      left -= static_cast<std::size_t>(written);
    }
    close(channel[1]);
    _exit(0);
  }

  // parent: collect the figures until the child closes the pipe
  close(channel[1]);
  std::vector<double> figures;
  double value = 0;
  std::size_t filled = 0;
  char* target = reinterpret_cast<char*>(&value);
  for (;;) {
    ssize_t got = read(channel[0], target + filled, sizeof(double) - filled);
    if (got <= 0) break;
    filled += static_cast<std::size_t>(got);
    if (filled == sizeof(double)) {
      figures.push_back(value);
      filled = 0;
    }
  }
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  return figures;
}

} // namespace residentmemory
