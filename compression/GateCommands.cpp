#include "compression/GateCommands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "compression/GatePolygonFile.h"
#include "compression/ProgressiveCommands.h"
#include "compression/ProgressiveMeshes.h"
#include "compression/ValenceFiles.h"
#include "geometry/FormatText.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "io/MeshBuilder.h"
#include "io/ReadReport.h"

namespace orvex {
namespace {

// Counts of each code, for the report.
std::vector<int> CodeCounts(const CGateConquest& conquest, int alphabet) {
  std::vector<int> counts(alphabet, 0);
  for (uint8_t c : conquest.m_Codes)
    if (c < alphabet) ++counts[c];
  return counts;
}

int WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, CGateRun& run) {
  if (path.empty()) return 1;
  if (!WriteBytesReplacing(path, bytes)) {
    run.m_Error = "Unable to write " + path;
    return 0;
  }
  run.m_Files.push_back(path);
  return 1;
}

} // namespace

double CGateRun::Speed() const {
  return m_NbFace / std::max(m_Seconds, 0.001);
}

void TriangleArrays(const CMesh3d& mesh, CGateArrays& arrays) {
  std::vector<double> positions;
  MeshArrays(mesh, positions, arrays.m_Corners);
  arrays.m_Xyz.assign(positions.begin(), positions.end());
  arrays.m_Sizes.assign(arrays.m_Corners.size() / 3, 3);
}

void QuadArrays(const CQuadMesh& mesh, CGateArrays& arrays) {
  arrays.m_Xyz.clear();
  arrays.m_Corners.clear();
  for (const CQuadVertex& v : mesh.m_Vertices)
    arrays.m_Xyz.insert(arrays.m_Xyz.end(), {v.x, v.y, v.z});
  for (const CQuadFace& f : mesh.m_Faces)
    arrays.m_Corners.insert(arrays.m_Corners.end(), f.v, f.v + 4);
  arrays.m_Sizes.assign(mesh.m_Faces.size(), 4);
}

int PolygonArrays(const CPolygonMesh& mesh, CGateArrays& arrays, std::string& error) {
  arrays.m_Xyz.clear();
  for (const CPolygonVertex& v : mesh.m_Vertices)
    arrays.m_Xyz.insert(arrays.m_Xyz.end(), {float(v.x), float(v.y), float(v.z)});
  arrays.m_Corners = mesh.m_Corners;
  arrays.m_Sizes.clear();
  for (int f = 0; f < mesh.NbFace(); ++f) {
    if (mesh.FaceSize(f) > 4) {
      error = FormatText("Face %d has %d corners: only triangles and quads are coded", f,
                         mesh.FaceSize(f));
      return 0;
    }
    arrays.m_Sizes.push_back(mesh.FaceSize(f));
  }
  return 1;
}

int RunGateEncoding(const CGateArrays& arrays, GateFaces faces, const CGateRequest& request,
                    CGateRun& run) {
  run = CGateRun();
  run.m_NbVertex = static_cast<int>(arrays.m_Xyz.size() / 3);
  run.m_NbFace = static_cast<int>(arrays.m_Sizes.size());
  run.m_Order = faces == GateFaces::kQuads ? 0 : request.m_Order;
  // only the polygon file codes positions; the others write them raw
  run.m_Geometry = request.m_Geometry;
  if (faces != GateFaces::kPolygons) run.m_Geometry.raw = true;
  const auto start = std::chrono::steady_clock::now();
  CGateMesh mesh;
  if (!BuildGateMesh(run.m_NbVertex, arrays.m_Sizes, arrays.m_Corners, mesh, run.m_Error)) return 0;
  if (!EncodeGateConquest(mesh, faces, request.m_Options, run.m_Conquest, run.m_Error)) return 0;
  std::vector<uint8_t> bytes, packed;
  if (faces == GateFaces::kTriangles) {
    if (!WriteGateTriangleFile(run.m_Conquest, arrays.m_Xyz, request.m_Order, false, bytes,
                               run.m_Bits, run.m_Error) ||
        !WriteGateTriangleFile(run.m_Conquest, arrays.m_Xyz, request.m_Order, true, packed,
                               run.m_PackedBits, run.m_Error))
      return 0;
  } else if (faces == GateFaces::kQuads) {
    if (!WriteGateQuadFile(run.m_Conquest, arrays.m_Xyz, bytes, run.m_Bits, run.m_Error)) return 0;
    run.m_PackedBits = run.m_Bits;
  } else {
    // the requested order, or the one of orders 0-3 giving the smallest file
    const int first = request.m_ChooseBestOrder ? 0 : request.m_Order;
    const int last = request.m_ChooseBestOrder ? 3 : request.m_Order;
    for (int order = first; order <= last; ++order) {
      std::vector<uint8_t> candidate;
      CGateFileBits bits;
      if (!WriteGatePolygonFile(run.m_Conquest, arrays.m_Xyz, order, request.m_Geometry, candidate,
                                bits, run.m_Error))
        return 0;
      if (order != first && bits.m_Total >= run.m_Bits.m_Total) continue;
      bytes.swap(candidate);
      run.m_Bits = bits;
      run.m_Order = order;
    }
    run.m_PackedBits = run.m_Bits;
  }
  run.m_Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WriteFile(request.m_File, bytes, run)) return 0;
  if (faces == GateFaces::kTriangles && !WriteFile(request.m_PackedFile, packed, run)) return 0;
  return 1;
}

int ReadGateFile(const std::string& path, GateFaces faces, bool adaptive, CGateDecoded& decoded,
                 std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) {
    error = "Unable to open " + path;
    return 0;
  }
  int ok = 0;
  if (faces == GateFaces::kTriangles)
    ok = ReadGateTriangleFile(bytes.data(), bytes.size(), adaptive, decoded, error);
  else if (faces == GateFaces::kQuads)
    ok = ReadGateQuadFile(bytes.data(), bytes.size(), adaptive, decoded, error);
  else
    ok = ReadGatePolygonFile(bytes.data(), bytes.size(), adaptive, decoded, error);
  if (!ok) error = path + ": " + error;
  return ok;
}

CMesh3d* NewGateTriangleMesh(const CGateDecoded& decoded, int nbFace) {
  CMeshBuilder builder;
  const std::vector<float>& xyz = decoded.m_Xyz;
  for (size_t i = 0; i + 2 < xyz.size(); i += 3) builder.AddVertex(xyz[i], xyz[i + 1], xyz[i + 2]);
  const CGateConquest& c = decoded.m_Conquest;
  const int count = nbFace < 0 ? c.NbFace() : std::min(nbFace, c.NbFace());
  CReadReport report;
  for (int f = 0; f < count; ++f) {
    const int* v = c.m_Corners.data() + c.m_FaceStart[f];
    builder.AddFace(v[0], v[1], v[2], report);
  }
  CMesh3d* mesh = new CMesh3d;
  builder.AppendTo(mesh);
  mesh->Rebuild();
  return mesh;
}

CQuadMesh* NewGateQuadMesh(const CGateDecoded& decoded) {
  return MakeQuadMesh(decoded.m_Xyz, decoded.m_Conquest.m_Corners);
}

CPolygonMesh* NewGatePolygonMesh(const CGateDecoded& decoded) {
  const CGateConquest& c = decoded.m_Conquest;
  std::vector<int> sizes(c.NbFace());
  for (int f = 0; f < c.NbFace(); ++f) sizes[f] = c.m_FaceStart[f + 1] - c.m_FaceStart[f];
  return MakePolygonMesh(decoded.m_Xyz, sizes, c.m_Corners);
}

std::string GateResultText(const CGateRun& run, GateFaces faces) {
  const double connectivity = run.Rate(run.m_Bits.m_Connectivity);
  const double total = run.Rate(run.m_Bits.m_Total);
  std::string text = FormatText("Total (b/v) : %g\r\nConnectivity (b/v) : %g\r\nGeometry (b/v) : "
                                "%g\r\nSpeed (p/s) : %g\r\n",
                                total, connectivity, total - connectivity, run.Speed());
  text += "Quantization #\r\n";
  const CGateGeometryOptions& g = run.m_Geometry;
  if (g.raw)
    text += "Alpha/X: 32-bit float\r\nBeta/Y: 32-bit float\r\nGamma/Z: 32-bit float\r\n";
  else if (g.localFrame)
    text +=
        FormatText("Alpha/X: %d\r\nBeta/Y: %d\r\nGamma/Z: %d\r\n", g.localX, g.localY, g.localZ);
  else
    text += FormatText("Alpha/X: %d\r\nBeta/Y: %d\r\nGamma/Z: %d\r\n", g.alpha, g.beta, g.gamma);
  if (faces == GateFaces::kTriangles) {
    const std::vector<int> n = CodeCounts(run.m_Conquest, 4);
    text += FormatText("#C: %d\r\n#CW: %d\r\n#CCW: %d\r\n#Skip: %d\r\n", n[kTriCreate],
                       n[kTriCloseRight], n[kTriCloseLeft], n[kTriSkip]);
  } else if (faces == GateFaces::kPolygons) {
    const std::vector<int> n = CodeCounts(run.m_Conquest, kPolyCodeCount);
    const int triangles =
        n[kPolyTriCreate] + n[kPolyTriMeshCw] + n[kPolyTriMeshCcw] + n[kPolyTriJoin];
    const int quads = n[kPolyQuadCreateRight] + n[kPolyQuadCreate2] + n[kPolyQuadMeshBoth] +
                      n[kPolyQuadMeshCw] + n[kPolyQuadJoin] + n[kPolyQuadCreateLeft] +
                      n[kPolyQuadMeshCcw];
    text += FormatText("Triangles: %d\r\nQuad: %d\r\n#C: %d\r\n#CW: %d\r\n#CCW: %d\r\n#C2: "
                       "%d\r\n#QCW: %d\r\n#QCCW: %d\r\n#QMesh: %d\r\n#CR: %d\r\n#CL: "
                       "%d\r\n#Join: %d\r\n#Skip: %d\r\n",
                       triangles, quads, n[kPolyTriCreate], n[kPolyTriMeshCw], n[kPolyTriMeshCcw],
                       n[kPolyQuadCreate2], n[kPolyQuadMeshCw], n[kPolyQuadMeshCcw],
                       n[kPolyQuadMeshBoth], n[kPolyQuadCreateRight], n[kPolyQuadCreateLeft],
                       n[kPolyTriJoin] + n[kPolyQuadJoin], n[kPolySkip]);
    text += FormatText("#Offset: %d\r\n#Vertices: %d\r\n", int(run.m_Conquest.m_Seeds.size()),
                       run.m_Conquest.m_NbVertex);
    return text;
  } else {
    const std::vector<int> n = CodeCounts(run.m_Conquest, 7);
    text += FormatText("#C2: %d\r\n#QCW: %d\r\n#QCCW: %d\r\n#QMesh: %d\r\n#CR: %d\r\n#CL: "
                       "%d\r\n#Join: 0\r\n#Skip: %d\r\n",
                       n[kQuadCreate2], n[kQuadMeshCw], n[kQuadMeshCcw], n[kQuadMeshBoth],
                       n[kQuadCreateRight], n[kQuadCreateLeft], n[kQuadSkip]);
  }
  text += FormatText("#Offset: %d\r\n#Vertices: %d\r\n", run.m_Conquest.NbSeed(),
                     run.m_Conquest.m_NbVertex);
  return text;
}

std::string GateTriangleStatus(const CGateRun& run) {
  return FormatText("Encoding....done (%g b/v), packed: %g b/v, %g f/s, order-%d aac",
                    run.Rate(run.m_Bits.m_Connectivity), run.Rate(run.m_PackedBits.m_Connectivity),
                    run.Speed(), run.m_Order);
}

std::string GateQuadStatus(const CGateRun& run) {
  return FormatText("Encoding....done (%g b/v), packed: %g b/v, %g f/s",
                    run.Rate(run.m_Bits.m_Connectivity), run.Rate(run.m_PackedBits.m_Connectivity),
                    run.Speed());
}

std::string GatePolygonStatus(const CGateRun& run) {
  const double connectivity = run.Rate(run.m_Bits.m_Connectivity);
  const double total = run.Rate(run.m_Bits.m_Total);
  return FormatText("total: %g b/v (con:%g b/v, geo:%g b/v), Speed: %g/s ", total, connectivity,
                    total - connectivity, run.Speed());
}

std::string GateCodeDistribution(const CGateRun& run) {
  static const char* const kNames[kPolyCodeCount] = {
      "Q create right", "Q create 2", "T mesh CW", "T create",   "Q mesh both",   "Q mesh cw",
      "Q join",         "T join",     "skip",      "T mesh CCW", "Q create left", "Q mesh ccw"};
  const std::vector<int> n = CodeCounts(run.m_Conquest, kPolyCodeCount);
  std::string text = "Code distribution\r\n";
  for (int c = 0; c < kPolyCodeCount; ++c) text += FormatText("%s\t%d\r\n", kNames[c], n[c]);
  return text + "ghost\t1\r\n";
}

std::string GatePolygonSeedRow(int seed, const CGateRun& run) {
  return FormatText("%d\t%g\r\n", seed, run.Rate(run.m_Bits.m_Total));
}

std::string GatePolygonSeedStatus(int seed, const CGateRun& run) {
  return FormatText("Seed %d (%g b/v - using order-%d aac), speed: %g polygons/s", seed,
                    run.Rate(run.m_Bits.m_Total), run.m_Order, run.Speed());
}

std::string GateSeedTableHeader() {
  return "SEED \t BIT-RATE (b/v) \t SPEED (quad/s)\r\n";
}

std::string GateSeedRow(int seed, const CGateRun& run) {
  return FormatText("%d\t%g\t%g\r\n", seed, run.Rate(run.m_Bits.m_Connectivity), run.Speed());
}

std::string GateSeedStatus(int seed, int nbSeed, const CGateRun& run) {
  return FormatText("Seed %5d of %5d, %4.2f b/v, %9.0f f/s", seed, nbSeed,
                    run.Rate(run.m_Bits.m_Connectivity), run.Speed());
}

} // namespace orvex
