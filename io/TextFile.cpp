#include "io/TextFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

int ReadWholeFile(const std::string& fileName, std::string& text, std::string& error) {
  FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) {
    error = "Unable to open file \"" + fileName + "\": " + std::strerror(errno);
    return 0;
  }
  // read straight into a string sized once from the file's length (growing
  // it by appending copies a large file several times); whatever the file
  // holds beyond that length (it grew, or it is not a regular file) follows
  text.clear();
  struct stat info;
  if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
    text.resize(static_cast<size_t>(info.st_size));
  size_t used = std::fread(&text[0], 1, text.size(), file);
  text.resize(used);
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
