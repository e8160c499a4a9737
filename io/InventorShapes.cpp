#include "io/InventorShapes.h"

#include <algorithm>

namespace {

// Appends the faces of one shape, numbering faces and parts as it goes.
struct CFaceSink {
  CShapeFaces& out;
  int face = 0;
  int part = 0;
  int vertex = 0;

  void Polygon(const int* points, const int* indexNo, int n) {
    for (int k = 0; k < n; k++) {
      out.corner.push_back(points[k]);
      out.vertexNo.push_back(vertex + k);
      out.indexNo.push_back(indexNo ? indexNo[k] : -1);
    }
    out.size.push_back(n);
    out.faceNo.push_back(face++);
    out.partNo.push_back(part);
    vertex += n;
  }

  // One strip: triangle k is (k, k+1, k+2), its first two corners swapped
  // when k is odd, so that every triangle turns as the first one.
  void Strip(const int* points, const int* indexNo, int n) {
    for (int k = 0; k + 2 < n; k++) {
      const int a = k + (k & 1), b = k + 1 - (k & 1), c = k + 2;
      const int p[3] = {points[a], points[b], points[c]};
      if (p[0] == p[1] || p[1] == p[2] || p[0] == p[2]) {
        // a stitch between two runs of a strip: no face
        out.degenerate++;
        face++;
        continue;
      }
      for (const int corner : {a, b, c}) {
        out.corner.push_back(points[corner]);
        out.vertexNo.push_back(vertex + corner);
        out.indexNo.push_back(indexNo ? indexNo[corner] : -1);
      }
      out.size.push_back(3);
      out.faceNo.push_back(face++);
      out.partNo.push_back(part);
    }
    vertex += n;
  }
};

// Calls take(begin, n) for every run of non-negative indices.
template <class Take> void ForEachRun(const std::vector<int>& index, Take take) {
  size_t start = 0;
  while (start < index.size()) {
    size_t end = start;
    while (end < index.size() && index[end] >= 0) end++;
    if (end > start) take(start, static_cast<int>(end - start));
    start = end + 1;
  }
}

// Place of every entry in the index list, for PER_VERTEX_INDEXED.
std::vector<int> Places(size_t n) {
  std::vector<int> places(n);
  for (size_t i = 0; i < n; i++) places[i] = static_cast<int>(i);
  return places;
}

} // namespace

void IndexedPolygons(const std::vector<int>& index, CShapeFaces& out) {
  CFaceSink sink{out};
  const std::vector<int> places = Places(index.size());
  ForEachRun(index, [&](size_t start, int n) {
    sink.Polygon(&index[start], &places[start], n);
    sink.part++;
  });
}

void IndexedStrips(const std::vector<int>& index, CShapeFaces& out) {
  CFaceSink sink{out};
  const std::vector<int> places = Places(index.size());
  ForEachRun(index, [&](size_t start, int n) {
    sink.Strip(&index[start], &places[start], n);
    sink.part++;
  });
}

bool CountedParts(const std::vector<int>& numVertices, int start, int nbPoint, bool strips,
                  CShapeFaces& out, std::string& error) {
  if (start < 0) {
    error = "startIndex " + std::to_string(start) + " is negative";
    return false;
  }
  CFaceSink sink{out};
  std::vector<int> points;
  long long next = start;
  for (size_t k = 0; k < numVertices.size(); k++) {
    long long n = numVertices[k];
    if (n == -1) n = std::max(0LL, nbPoint - next);
    if (n < 0) {
      error = "numVertices " + std::to_string(n) + " is negative";
      return false;
    }
    // the parts from here on run beyond the points
    if (next + n > nbPoint) {
      out.skipped += static_cast<long long>(numVertices.size() - k);
      return true;
    }
    points.resize(static_cast<size_t>(n));
    for (size_t i = 0; i < points.size(); i++) points[i] = static_cast<int>(next + i);
    if (strips)
      sink.Strip(points.data(), nullptr, static_cast<int>(n));
    else if (n > 0)
      sink.Polygon(points.data(), nullptr, static_cast<int>(n));
    sink.part++;
    next += n;
  }
  return true;
}

bool QuadGrid(int perRow, int perColumn, int start, int nbPoint, CShapeFaces& out,
              std::string& error) {
  if (perRow < 0 || perColumn < 0 || start < 0) {
    error = "QuadMesh: negative verticesPerRow, verticesPerColumn or startIndex";
    return false;
  }
  const long long quads = std::max(0LL, perRow - 1LL) * std::max(0LL, perColumn - 1LL);
  if (start + static_cast<long long>(perRow) * perColumn > nbPoint) {
    out.skipped += quads;
    return true;
  }
  // quad (r, c): (r, c), (r+1, c), (r+1, c+1), (r, c+1), as a quad strip
  // between rows r and r+1 gives it
  CFaceSink sink{out};
  for (int r = 0; r + 1 < perColumn; r++, sink.part++)
    for (int c = 0; c + 1 < perRow; c++) {
      const int at = start + r * perRow + c;
      const int points[4] = {at, at + perRow, at + perRow + 1, at + 1};
      sink.Polygon(points, nullptr, 4);
      // a grid point is one vertex however many quads share it
      for (size_t k = 0; k < 4; k++) out.vertexNo[out.vertexNo.size() - 4 + k] = points[k] - start;
    }
  return true;
}
