#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CMesh3d;

// Reads a ".smm" file: a line "n m", n lines "x y z", m lines of three
// 0-based corner indices. A negative count, a vertex line that does not
// parse or a file shorter than its counts refuses the file (0, error set,
// mesh untouched); faces with an index out of range or that do not parse
// are skipped and counted in `report`.
int ReadSmm(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error);
int ReadSmmFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error);
