#include "io/ReadMhp.h"

#include "io/MeshBuilder.h"
#include "io/TextScan.h"

int ReadMhpFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error) {
  CLineReader lines(data, size);
  const char* b;
  const char* e;

  // counts
  int nv, nf;
  if (!ReadCountLine(lines, "vertices:", "vertex", nv, error) ||
      !ReadCountLine(lines, "faces:", "face", nf, error))
    return 0;

  // vertices "Vertex %d %g %g %g": (a, b, c) is the position (a, c, -b)
  CMeshBuilder builder;
  for (int i = 0; i < nv; i++) {
    if (!RequireLine(lines, b, e, "the last vertex", error)) return 0;
    CLineFields fields(b, e);
    int number;
    float p[3];
    if (!fields.Literal("Vertex") || !fields.Int(number) || !fields.Floats(p, 3)) {
      error = LineError(lines.LineNumber(), "expected a vertex \"Vertex i a b c\"");
      return 0;
    }
    builder.AddVertex(p[0], p[2], -p[1]);
  }

  // faces "Face %d %d %d %d", corners counted from 1
  for (int i = 0; i < nf; i++) {
    if (!RequireLine(lines, b, e, "the last face", error)) return 0;
    CLineFields fields(b, e);
    int c[4];
    if (!fields.Literal("Face") || !fields.Ints(c, 4)) {
      report.malformedLines++;
      continue;
    }
    builder.AddFace(c[1] - 1LL, c[2] - 1LL, c[3] - 1LL, report);
  }
  builder.AppendTo(mesh);
  return 1;
}

int ReadMhp(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error) {
  return ReadMeshTextFile(mesh, fileName, ReadMhpFromMemory, report, error);
}
