#include "io/ReadSmf.h"

#include <array>
#include <vector>

#include "geometry/Mesh3d.h"
#include "io/MeshBuilder.h"
#include "io/TextScan.h"

// A color channel in 0..1 as a byte, truncated.
static unsigned char ColorByte(float c) {
  const double v = c * 255.0;
  if (!(v > 0.0)) return 0;
  if (v >= 255.0) return 255;
  return static_cast<unsigned char>(v);
}

int ReadSmfFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string&) {
  CMeshBuilder builder;
  std::vector<CColor> colors;
  std::vector<std::array<int, 3>> faces;
  CLineReader lines(data, size);
  const char* begin;
  const char* end;
  while (lines.Next(begin, end)) {
    if (begin == end) continue;
    CLineFields fields(begin, end);
    const char kind = *begin;
    if (kind == 'v') {
      // vertex "v %g %g %g"
      float p[3];
      if (!fields.Literal("v") || !fields.Floats(p, 3)) {
        report.malformedLines++;
        continue;
      }
      builder.AddVertex(p[0], p[1], p[2]);
    } else if (kind == 'f' || kind == 't') {
      // face "f %d %d %d", corners counted from 0, checked once all vertices are read
      int c[3];
      fields.Literal(kind == 'f' ? "f" : "t");
      if (!fields.Ints(c, 3)) {
        report.malformedLines++;
        continue;
      }
      faces.push_back({c[0], c[1], c[2]});
    } else if (kind == 'c') {
      // color of the next vertex in order "c %g %g %g"
      float rgb[3];
      if (!fields.Literal("c") || !fields.Floats(rgb, 3)) {
        report.malformedLines++;
        continue;
      }
      colors.emplace_back(ColorByte(rgb[0]), ColorByte(rgb[1]), ColorByte(rgb[2]));
    }
  }

  // faces once every vertex is known: lines may come in any order
  for (const std::array<int, 3>& c : faces) builder.AddFace(c[0], c[1], c[2], report);

  // the k-th color line colors the k-th vertex
  for (size_t k = 0; k < colors.size(); k++)
    if (!builder.SetVertexColor(static_cast<int>(k), colors[k])) report.skippedColors++;
  builder.AppendTo(mesh);
  return 1;
}

int ReadSmf(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error) {
  return ReadMeshTextFile(mesh, fileName, ReadSmfFromMemory, report, error);
}
