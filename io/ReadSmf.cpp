#include "io/ReadSmf.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "geometry/Mesh3d.h"
#include "io/TextFile.h"

std::string CReadReport::Summary() const {
  std::string s;
  auto add = [&s](int n, const char* what) {
    if (n == 0) return;
    if (!s.empty()) s += ", ";
    s += std::to_string(n) + " " + what;
  };
  add(malformedLines, "malformed lines skipped");
  add(skippedFaces, "faces with an index out of range skipped");
  add(skippedColors, "colors without a vertex skipped");
  return s;
}

// Parses up to n doubles from p; returns how many were read.
static int ParseDoubles(const char* p, double* out, int n) {
  for (int i = 0; i < n; i++) {
    char* end;
    out[i] = std::strtod(p, &end);
    if (end == p) return i;
    p = end;
  }
  return n;
}

static int ParseInts(const char* p, long* out, int n) {
  for (int i = 0; i < n; i++) {
    char* end;
    out[i] = std::strtol(p, &end, 10);
    if (end == p) return i;
    p = end;
  }
  return n;
}

static unsigned char ColorByte(double c) {
  double v = c * 255.0;
  if (!(v > 0.0)) return 0;
  if (v >= 255.0) return 255;
  return static_cast<unsigned char>(v);
}

int ReadSmf(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error) {
  std::string text;
  if (!ReadWholeFile(fileName, text, error)) return 0;

  // lines may come in any order: colors are applied once all vertices are read
  int firstVertex = mesh->NbVertex();
  std::vector<CColor> colors;
  if (text.empty() || text.back() != '\n') text += '\n';
  size_t pos = 0;
  while (pos < text.size()) {
    size_t eol = text.find('\n', pos);
    text[eol] = '\0';
    const char* line = text.c_str() + pos;
    char kind = line[0];
    pos = eol + 1;

    if (kind == 'v') {
      // vertex
      double xyz[3];
      if (ParseDoubles(line + 1, xyz, 3) < 3) {
        report.malformedLines++;
        continue;
      }
      mesh->AddVertex(new CVertex3d(xyz[0], xyz[1], xyz[2]));
    } else if (kind == 'f' || kind == 't') {
      // face, indices counted from 0 among the vertices of this file
      long index[3];
      if (ParseInts(line + 1, index, 3) < 3) {
        report.malformedLines++;
        continue;
      }
      long count = mesh->NbVertex() - firstVertex;
      if (index[0] < 0 || index[1] < 0 || index[2] < 0 || index[0] >= count || index[1] >= count ||
          index[2] >= count) {
        report.skippedFaces++;
        continue;
      }
      mesh->AddFace(new CFace3d(mesh->GetVertex(firstVertex + int(index[0])),
                                mesh->GetVertex(firstVertex + int(index[1])),
                                mesh->GetVertex(firstVertex + int(index[2]))));
    } else if (kind == 'c') {
      // color of the next vertex in order
      double rgb[3];
      if (ParseDoubles(line + 1, rgb, 3) < 3) {
        report.malformedLines++;
        continue;
      }
      colors.emplace_back(ColorByte(rgb[0]), ColorByte(rgb[1]), ColorByte(rgb[2]));
    }
  }

  // the k-th color line colors the k-th vertex
  int nbVertex = mesh->NbVertex() - firstVertex;
  for (size_t k = 0; k < colors.size(); k++) {
    if (static_cast<long>(k) >= nbVertex) {
      report.skippedColors++;
      continue;
    }
    mesh->GetVertex(firstVertex + int(k))->m_Color = colors[k];
  }
  return 1;
}
