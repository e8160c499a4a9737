#include "io/ReadDem.h"

#include "io/MeshBuilder.h"
#include "io/TextScan.h"

// The face color line "c %x %x %x"; 0 when it does not parse or a value is
// not a byte.
static int ParseFaceColor(const char* b, const char* e, CColor& color) {
  CLineFields fields(b, e);
  int rgb[3];
  if (!fields.Literal("c")) return 0;
  for (int& v : rgb)
    if (!fields.Hex(v) || v > 255) return 0;
  color = CColor(static_cast<unsigned char>(rgb[0]), static_cast<unsigned char>(rgb[1]),
                 static_cast<unsigned char>(rgb[2]));
  return 1;
}

int ReadDemFromMemory(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                      std::string& error) {
  CLineReader lines(data, size);
  const char* b;
  const char* e;

  // counts
  int nv, nf;
  if (!ReadCountLine(lines, "vertices:", "vertex", nv, error) ||
      !ReadCountLine(lines, "faces:", "face", nf, error))
    return 0;

  // vertices "v %g %g %g", each followed by an ignored line
  CMeshBuilder builder;
  for (int i = 0; i < nv; i++) {
    if (!RequireLine(lines, b, e, "the last vertex", error)) return 0;
    CLineFields fields(b, e);
    float p[3];
    if (!fields.Literal("v") || !fields.Floats(p, 3)) {
      error = LineError(lines.LineNumber(), "expected a vertex \"v x y z\"");
      return 0;
    }
    builder.AddVertex(p[0], p[1], p[2]);
    if (!RequireLine(lines, b, e, "the line after the last vertex", error)) return 0;
  }

  // faces "f %d %d %d" (from 1), each followed by its color "c %x %x %x"
  for (int i = 0; i < nf; i++) {
    if (!RequireLine(lines, b, e, "the last face", error)) return 0;
    CLineFields fields(b, e);
    int c[3];
    const int parsed = fields.Literal("f") && fields.Ints(c, 3);
    if (!RequireLine(lines, b, e, "the color of the last face", error)) return 0;
    if (!parsed) {
      report.malformedLines++;
      continue;
    }
    CColor color;
    if (!ParseFaceColor(b, e, color)) report.malformedLines++;
    builder.AddFace(c[0] - 1LL, c[1] - 1LL, c[2] - 1LL, report, color);
  }
  builder.AppendTo(mesh);
  return 1;
}

int ReadDem(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error) {
  return ReadMeshTextFile(mesh, fileName, ReadDemFromMemory, report, error);
}
