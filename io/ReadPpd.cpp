#include "io/ReadPpd.h"

#include "io/MeshBuilder.h"
#include "io/TextScan.h"

int ReadPpdFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error) {
  CLineReader lines(data, size);
  const char* b;
  const char* e;

  // counts, then one ignored line
  int nv, nf;
  if (!ReadCountLine(lines, "vertex", "vertex", nv, error) ||
      !ReadCountLine(lines, "face", "face", nf, error))
    return 0;
  if (!RequireLine(lines, b, e, "the vertices", error)) return 0;

  // vertices "%d %g %g %g"
  CMeshBuilder builder;
  for (int i = 0; i < nv; i++) {
    if (!RequireLine(lines, b, e, "the last vertex", error)) return 0;
    CLineFields fields(b, e);
    int number;
    float p[3];
    if (!fields.Int(number) || !fields.Floats(p, 3)) {
      error = LineError(lines.LineNumber(), "expected a vertex \"i x y z\"");
      return 0;
    }
    builder.AddVertex(p[0], p[1], p[2]);
  }

  // two ignored lines, then faces "%d %d %d %d", corners counted from 1
  if (nf > 0 && !lines.Skip(2)) {
    error = "the file ends before the faces";
    return 0;
  }
  for (int i = 0; i < nf; i++) {
    if (!RequireLine(lines, b, e, "the last face", error)) return 0;
    int c[4];
    if (!CLineFields(b, e).Ints(c, 4)) {
      report.malformedLines++;
      continue;
    }
    builder.AddFace(c[1] - 1LL, c[2] - 1LL, c[3] - 1LL, report);
  }
  builder.AppendTo(mesh);
  return 1;
}

int ReadPpd(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error) {
  return ReadMeshTextFile(mesh, fileName, ReadPpdFromMemory, report, error);
}
