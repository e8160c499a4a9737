#include "compression/GateCommands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "compression/ProgressiveCommands.h"
#include "compression/ProgressiveMeshes.h"
#include "compression/ValenceFiles.h"
#include "geometry/FormatText.h"
#include "geometry/Mesh3d.h"
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

int RunGateEncoding(const CGateArrays& arrays, GateFaces faces, const CGateRequest& request,
                    CGateRun& run) {
  run = CGateRun();
  run.m_NbVertex = static_cast<int>(arrays.m_Xyz.size() / 3);
  run.m_NbFace = static_cast<int>(arrays.m_Sizes.size());
  run.m_Order = faces == GateFaces::kTriangles ? request.m_Order : 0;
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
  } else {
    if (!WriteGateQuadFile(run.m_Conquest, arrays.m_Xyz, bytes, run.m_Bits, run.m_Error)) return 0;
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
  const int ok = faces == GateFaces::kTriangles
                     ? ReadGateTriangleFile(bytes.data(), bytes.size(), adaptive, decoded, error)
                     : ReadGateQuadFile(bytes.data(), bytes.size(), adaptive, decoded, error);
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

std::string GateResultText(const CGateRun& run, GateFaces faces) {
  const double connectivity = run.Rate(run.m_Bits.m_Connectivity);
  const double total = run.Rate(run.m_Bits.m_Total);
  std::string text = FormatText("Total (b/v) : %g\r\nConnectivity (b/v) : %g\r\nGeometry (b/v) : "
                                "%g\r\nSpeed (p/s) : %g\r\n",
                                total, connectivity, total - connectivity, run.Speed());
  text += "Quantization #\r\nAlpha/X: 32-bit float\r\nBeta/Y: 32-bit float\r\nGamma/Z: 32-bit "
          "float\r\n";
  if (faces == GateFaces::kTriangles) {
    const std::vector<int> n = CodeCounts(run.m_Conquest, 4);
    text += FormatText("#C: %d\r\n#CW: %d\r\n#CCW: %d\r\n#Skip: %d\r\n", n[kTriCreate],
                       n[kTriCloseRight], n[kTriCloseLeft], n[kTriSkip]);
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
