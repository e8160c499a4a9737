// Reader of the polygon text form: "v" and "f" lines.

#include "io/ReadPolygonFile.h"

#include <memory>

#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "io/TextFile.h"
#include "io/TextScan.h"

namespace {

// The keyword of a line ("v", "f") followed by whitespace; p moves past it.
bool Keyword(const char*& p, const char* end, char key) {
  if (end - p < 2 || p[0] != key || !IsSpace(p[1])) return false;
  p += 2;
  return true;
}

const char* SkipSpaces(const char* p, const char* end) {
  while (p < end && IsSpace(*p)) p++;
  return p;
}

// One corner token "i", "i/t", "i//n" or "i/t/n": the vertex index,
// 0-based, in [0, vertices); false when the token is not one or names a
// vertex not read so far.
bool CornerToken(const char*& p, const char* end, int vertices, int& corner) {
  int index = 0;
  const char* next = ScanInt(p, end, index);
  if (!next) return false;
  p = next;
  // what follows the index up to the next whitespace: "/..." only
  if (p < end && !IsSpace(*p)) {
    if (*p != '/') return false;
    while (p < end && !IsSpace(*p)) p++;
  }
  if (index > 0 && index <= vertices) {
    corner = index - 1;
    return true;
  }
  if (index < 0 && -static_cast<long long>(index) <= vertices) {
    corner = vertices + index;
    return true;
  }
  return false;
}

} // namespace

int ReadPolygonArrays(const char* data, size_t size, CPolygonArrays& arrays, CReadReport& report,
                      std::string& error) {
  arrays = CPolygonArrays();
  CLineReader lines(data, size);
  const char* begin = nullptr;
  const char* end = nullptr;
  std::vector<int> face;
  while (lines.Next(begin, end)) {
    const char* p = SkipSpaces(begin, end);
    if (Keyword(p, end, 'v')) {
      // a vertex: three coordinates (anything after them is ignored)
      float xyz[3];
      CLineFields fields(p, end);
      if (!fields.Floats(xyz, 3)) {
        report.malformedLines++;
        continue;
      }
      arrays.xyz.insert(arrays.xyz.end(), xyz, xyz + 3);
    } else if (Keyword(p, end, 'f')) {
      // a face: corners up to the end of the line
      const int vertices = static_cast<int>(arrays.xyz.size() / 3);
      face.clear();
      bool valid = true;
      for (p = SkipSpaces(p, end); p < end && valid; p = SkipSpaces(p, end)) {
        int corner = 0;
        valid = CornerToken(p, end, vertices, corner);
        face.push_back(corner);
      }
      if (!valid || face.size() < 3) {
        report.skippedFaces++;
        continue;
      }
      arrays.sizes.push_back(static_cast<int>(face.size()));
      arrays.corners.insert(arrays.corners.end(), face.begin(), face.end());
    }
  }
  if (arrays.sizes.empty()) {
    error = "This file holds no face";
    return 0;
  }
  return 1;
}

int ReadPolygonFromMemory(CPolygonMesh* mesh, const char* data, size_t size, CReadReport& report,
                          std::string& error) {
  CPolygonArrays arrays;
  if (!ReadPolygonArrays(data, size, arrays, report, error)) return 0;
  if (!FillPolygonMesh(*mesh, arrays.xyz, arrays.sizes, arrays.corners)) {
    error = "This file holds no face";
    return 0;
  }
  return 1;
}

int ReadPolygonFile(CPolygonMesh* mesh, const std::string& fileName, CReadReport& report,
                    std::string& error) {
  std::string text;
  if (!ReadWholeFile(fileName, text, error)) return 0;
  return ReadPolygonFromMemory(mesh, text.data(), text.size(), report, error);
}

int ReadQuadFromMemory(CQuadMesh* mesh, const char* data, size_t size, CReadReport& report,
                       std::string& error) {
  CPolygonArrays arrays;
  if (!ReadPolygonArrays(data, size, arrays, report, error)) return 0;
  // the quads only
  std::vector<int> quads;
  size_t start = 0;
  for (int n : arrays.sizes) {
    if (n == 4)
      quads.insert(quads.end(), arrays.corners.begin() + static_cast<long>(start),
                   arrays.corners.begin() + static_cast<long>(start) + 4);
    else
      report.skippedFaces++;
    start += static_cast<size_t>(n);
  }
  if (quads.empty()) {
    error = "This file holds no quad";
    return 0;
  }
  FillQuadMesh(*mesh, arrays.xyz, quads);
  return 1;
}

int ReadQuadScene(CSceneGraph3d* scene, const std::string& fileName, CReadReport& report,
                  std::string& error) {
  std::string text;
  if (!ReadWholeFile(fileName, text, error)) return 0;
  auto mesh = std::make_unique<CQuadMesh>();
  if (!ReadQuadFromMemory(mesh.get(), text.data(), text.size(), report, error)) return 0;
  scene->Add(mesh.release());
  return 1;
}
