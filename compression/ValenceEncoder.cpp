#include "compression/ValenceEncoder.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>

#include "compression/StackRunCoder.h"
#include "compression/ValenceConquest.h"
#include "compression/ValenceFiles.h"
#include "compression/ValenceGeometry.h"
#include "compression/ValenceGhost.h"
#include "compression/ValenceTopology.h"
#include "geometry/Mesh3d.h"

namespace orvex {

namespace {

const CColor kUnconqueredColor(221, 221, 221, 255);

int Fail(CValenceResult* result, const std::string& message) {
  result->m_Ok = 0;
  result->m_Error = message;
  return 0;
}

// Checks what the conquest relies on before the mesh is touched.
int CheckInput(CMesh3d* mesh, const CValenceOptions& options, CValenceResult* result) {
  if (!mesh) return Fail(result, "No mesh to encode");
  const int nf = mesh->NbFace();
  if (nf == 0 || mesh->NbVertex() == 0) return Fail(result, "The mesh has no face to encode");
  if (options.m_SeedFace < 0 || options.m_SeedFace >= nf) {
    char text[96];
    std::snprintf(text, sizeof text, "Seed face %d is out of range (0..%d)", options.m_SeedFace,
                  nf - 1);
    return Fail(result, text);
  }
  for (int f = 0; f < nf; ++f) {
    const CFace3d* face = mesh->GetFace(f);
    if (!face || !face->v(0) || !face->v(1) || !face->v(2)) {
      char text[64];
      std::snprintf(text, sizeof text, "Face %d has a missing corner", f);
      return Fail(result, text);
    }
  }
  for (int v = 0; v < mesh->NbVertex(); ++v)
    if (!mesh->GetVertex(v)) return Fail(result, "The mesh has a missing vertex");
  return 1;
}

// Packs the codes into the packed file's bytes; returns 0 when refused.
int PackConnectivity(const CValenceOptions& options, CValenceResult* result,
                     std::vector<uint8_t>& packed) {
  const std::vector<int>& codes = result->m_Codes;
  if (options.m_bStackRun) {
    CStackRunResult run = EncodeStackRun(codes.data(), static_cast<int>(codes.size()), -6);
    if (!run.m_Ok) return Fail(result, run.m_Error);
    packed = std::move(run.m_Bytes);
    result->m_ConnectivityBits = run.m_Bits;
    return 1;
  }
  std::string error;
  if (!PackValenceCodes(codes, packed, result->m_ConnectivityBits, error))
    return Fail(result, error);
  return 1;
}

// A file that cannot be written is skipped; the ones written are listed.
void WriteOutput(const std::string& path, const std::vector<uint8_t>& bytes,
                 CValenceResult& result) {
  if (WriteBytesReplacing(path, bytes)) result.m_Files.push_back(path);
}

void WriteOutputs(const CValenceOptions& options, CValenceResult& result,
                  const std::vector<uint8_t>& packed) {
  const std::string& file = options.m_PackedFile;
  if (file.empty()) return;
  WriteOutput(file, packed, result);
  WriteOutput(PathBeside(file, "codes.txt"), CodesAsText(result.m_Codes), result);
  WriteOutput(PathBeside(file, "codes.bin"), CodesAsBytes(result.m_Codes), result);
}

} // namespace

int EncodeValence(CMesh3d* mesh, const CValenceOptions& options, CValenceResult* result) {
  if (!result) return 0;
  *result = CValenceResult();
  const std::clock_t start = std::clock();
  if (!CheckInput(mesh, options, result)) return 0;
  result->m_NbFace = mesh->NbFace();

  // preparation: states cleared, boundaries closed by the ghost vertex
  mesh->SetFlagOnVertices(0);
  mesh->SetFlagOnFaces(0);
  CValenceGhost ghost;
  result->m_bHasGhost = ghost.Close(*mesh);
  if (options.m_bDebug) mesh->SetFaceColors(kUnconqueredColor);
  CValenceTopology topology;
  std::string error;
  if (!topology.Build(*mesh, error)) {
    ghost.Remove(*mesh);
    return Fail(result, error);
  }
  result->m_NbVertex = topology.NbVertex();
  const int ghostIndex = result->m_bHasGhost ? topology.NbVertex() - 1 : -1;

  // conquest
  std::vector<CGeometryRecord> records;
  CValenceConquest conquest(*mesh, topology, ghostIndex, options);
  try {
    conquest.Run(options.m_SeedFace, *result, records);
  } catch (...) {
    // stopped by the user at a progress report: the mesh gets its
    // boundaries back; the caller restores colours and flags
    ghost.Remove(*mesh);
    throw;
  }

  // connectivity packing and the code files
  std::vector<uint8_t> packed;
  result->m_Ok = PackConnectivity(options, result, packed);
  if (result->m_Ok) {
    result->m_ConnectivityRate =
        static_cast<double>(result->m_ConnectivityBits - 8) / result->m_NbVertex;
    WriteOutputs(options, *result, packed);
  }

  // geometry
  CValenceGeometryResult geometry;
  if (result->m_Ok && options.m_bGeometry) {
    if (CodeValenceGeometry(topology, records, options, geometry, error)) {
      result->m_GeometryBits = geometry.m_Bits;
      result->m_GeometryRate = static_cast<double>(geometry.m_Bits) / result->m_NbFace;
      if (!options.m_PackedFile.empty())
        WriteOutput(PathBeside(options.m_PackedFile, "pos.bin"), geometry.m_Bytes, *result);
    } else {
      Fail(result, error);
      geometry.m_Positions.clear();
    }
  }

  // finishing: flags hold the conquest state, the ghost leaves
  const std::vector<char>& states = conquest.States();
  for (int v = 0; v < topology.NbVertex(); ++v) topology.Vertex(v)->m_Flag = states[v];
  for (int f = 0; f < topology.NbFace(); ++f)
    mesh->GetFace(f)->m_Flag = topology.Conquered(f) ? 1 : 0;
  if (options.m_bRemoveGhost)
    ghost.Remove(*mesh);
  else
    ghost.Keep();
  if (!geometry.m_Positions.empty()) {
    // the reconstruction becomes the saved positions (the quantized mesh)
    for (int v = 0; v < mesh->NbVertex(); ++v) {
      const CVector3d& p = geometry.m_Positions[v];
      mesh->GetVertex(v)->SetSavedPosition(p);
    }
    result->m_Psnr = mesh->DisplacementDecibels();
    result->m_L2 = mesh->DisplacementRatio();
  }
  if (options.m_bDebug) mesh->SetModified();
  result->m_Seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  return result->m_Ok;
}

double ValenceEntropy(const CMesh3d& mesh) {
  const int nv = mesh.NbVertex();
  if (nv == 0) return 0.0;
  std::map<int, int> counts;
  for (int v = 0; v < nv; ++v) ++counts[mesh.GetVertex(v)->NbNeighbor()];
  double entropy = 0.0;
  for (const auto& entry : counts) {
    double p = static_cast<double>(entry.second) / nv;
    entropy -= p * std::log2(p);
  }
  return entropy;
}

} // namespace orvex
