#include "io/ReadSmm.h"

#include "io/MeshBuilder.h"
#include "io/TextScan.h"

int ReadSmmFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error) {
  CLineReader lines(data, size);
  const char* b;
  const char* e;

  // counts "%d %d"
  int counts[2];
  if (!RequireLine(lines, b, e, "the vertex and face counts", error)) return 0;
  if (!CLineFields(b, e).Ints(counts, 2)) {
    error = LineError(lines.LineNumber(), "expected the vertex and face counts \"n m\"");
    return 0;
  }
  if (!CheckCount(counts[0], 1, "vertex", error) || !CheckCount(counts[1], 1, "face", error))
    return 0;

  // vertices "%g %g %g"
  CMeshBuilder builder;
  for (int i = 0; i < counts[0]; i++) {
    if (!RequireLine(lines, b, e, "the last vertex", error)) return 0;
    float p[3];
    if (!CLineFields(b, e).Floats(p, 3)) {
      error = LineError(lines.LineNumber(), "expected a vertex \"x y z\"");
      return 0;
    }
    builder.AddVertex(p[0], p[1], p[2]);
  }

  // faces "%d %d %d", corners counted from 0
  for (int i = 0; i < counts[1]; i++) {
    if (!RequireLine(lines, b, e, "the last face", error)) return 0;
    int c[3];
    if (!CLineFields(b, e).Ints(c, 3)) {
      report.malformedLines++;
      continue;
    }
    builder.AddFace(c[0], c[1], c[2], report);
  }
  builder.AppendTo(mesh);
  return 1;
}

int ReadSmm(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error) {
  return ReadMeshTextFile(mesh, fileName, ReadSmmFromMemory, report, error);
}
