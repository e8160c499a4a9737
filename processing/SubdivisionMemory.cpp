#include "processing/SubdivisionMemory.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "geometry/Face3d.h"
#include "geometry/Vertex3d.h"

// Allocator overhead of one block.
constexpr double kBlockOverhead = 16.0;

CMeshCount CountAfterSplits(CMeshCount count, int steps, int facesPerFace, int extraPerFace) {
  for (int k = 0; k < steps && count.faces < 1e300; k++) {
    count.vertices += count.faces * (1.5 + 0.125 + extraPerFace);
    count.faces *= facesPerFace;
  }
  return count;
}

double MeshBytes(CMeshCount count) {
  // a face: the object, its array slot, its entries in its corners' face
  // lists and the rebuild's integer tables
  double perFace = sizeof(CFace3d) + kBlockOverhead + 8.0 + 3 * 8.0 + 6 * 4.0;
  // a vertex: the object, its slot, the blocks of its two lists with about
  // seven neighbours, the new position of the Loop step and rebuild tables
  double perVertex =
      sizeof(CVertex3d) + kBlockOverhead + 8.0 + 2 * kBlockOverhead + 7 * 8.0 + 3 * 8.0 + 3 * 4.0;
  return count.faces * perFace + count.vertices * perVertex;
}

// A "Name: value kB" line of /proc/meminfo in bytes, or -1.
static double MemInfoBytes(const char* name) {
  FILE* file = std::fopen("/proc/meminfo", "r");
  if (!file) return -1.0;
  char line[256];
  double bytes = -1.0;
  size_t n = std::strlen(name);
  while (std::fgets(line, sizeof line, file)) {
    unsigned long long kb = 0;
    if (std::strncmp(line, name, n) == 0 && line[n] == ':' &&
        std::sscanf(line + n + 1, "%llu", &kb) == 1) {
      bytes = 1024.0 * static_cast<double>(kb);
      break;
    }
  }
  std::fclose(file);
  return bytes;
}

// One number from a file (a control-group limit), or -1 ("max" included).
static double NumberInFile(const char* path) {
  FILE* file = std::fopen(path, "r");
  if (!file) return -1.0;
  unsigned long long value = 0;
  int ok = std::fscanf(file, "%llu", &value) == 1;
  std::fclose(file);
  return ok ? static_cast<double>(value) : -1.0;
}

double AvailableMemoryBytes() {
  double available = MemInfoBytes("MemAvailable");
  if (available < 0.0) {
    long pages = sysconf(_SC_AVPHYS_PAGES), size = sysconf(_SC_PAGESIZE);
    available = pages > 0 && size > 0 ? static_cast<double>(pages) * size : 1e300;
  }
  double limit = NumberInFile("/sys/fs/cgroup/memory.max");
  double used = NumberInFile("/sys/fs/cgroup/memory.current");
  if (limit > 0.0 && used >= 0.0 && limit - used < available) available = limit - used;
  return available;
}

int MemoryAllows(double bytes, double largestFaces, double available) {
  if (!(largestFaces <= static_cast<double>(INT_MAX))) return 0;
  return bytes <= 0.8 * available;
}
