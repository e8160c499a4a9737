#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;

// Reads a ".ppd" file: "vertex n", "face m", one ignored line, n lines
// "i x y z", two ignored lines, m lines "i a b c" with corners counted from
// 1 (the leading numbers are ignored). Refusals and skips as for ReadSmm.
int ReadPpd(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error);
int ReadPpdFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error);
