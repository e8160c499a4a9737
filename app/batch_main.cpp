// Headless front end: opens a mesh file and prints what the scene holds.
// The full command runner grows from here.

#include <cstdio>
#include <cctype>
#include <cstring>
#include <string>

#include "geometry/Mesh3d.h"
#include "io/ReadSmf.h"

static int Usage() {
  std::fprintf(stderr, "usage: orvexbox-batch INPUT.smf [--info]\n");
  return 2;
}

static bool EndsWith(const std::string& s, const char* suffix) {
  size_t n = std::strlen(suffix);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; i++)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i]) return false;
  return true;
}

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string input = argv[1];
  bool info = false;
  for (int i = 2; i < argc; i++) {
    if (std::strcmp(argv[i], "--info") == 0)
      info = true;
    else
      return Usage();
  }
  if (!EndsWith(input, ".smf")) {
    std::fprintf(stderr, "orvexbox-batch: unsupported file type: %s\n", input.c_str());
    return 1;
  }

  CMesh3d mesh;
  CReadReport report;
  std::string error;
  if (!ReadSmf(&mesh, input, report, error)) {
    std::fprintf(stderr, "orvexbox-batch: %s\n", error.c_str());
    return 1;
  }
  if (!report.Summary().empty())
    std::fprintf(stderr, "orvexbox-batch: %s: %s\n", input.c_str(), report.Summary().c_str());
  mesh.Rebuild();
  if (info)
    std::printf("0 %d %d %d triangle mesh\n", mesh.GetType(), mesh.NbVertex(), mesh.NbFace());
  return 0;
}
