#include "io/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int ReadWholeFile(const std::string& fileName, std::string& text, std::string& error) {
  FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) {
    error = "Unable to open file \"" + fileName + "\": " + std::strerror(errno);
    return 0;
  }
  text.clear();
  char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  int failed = std::ferror(file);
  std::fclose(file);
  if (failed) {
    error = "Unable to read file \"" + fileName + "\"";
    return 0;
  }
  return 1;
}
