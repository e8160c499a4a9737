#include "compression/ProgressiveCommands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "compression/BitStream.h"
#include "compression/ByteStream.h"
#include "compression/ContextCoder.h"
#include "compression/ProgressiveMesh.h"
#include "compression/ProgressiveMeshes.h"
#include "compression/ValenceFiles.h"
#include "geometry/FormatText.h"
#include "geometry/Mesh3d.h"

namespace orvex {

namespace {} // namespace

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

int RunProgressiveEncoding(const CMesh3d& mesh, const CProgressiveRequest& request,
                           CProgressiveRun& run) {
  run = CProgressiveRun();
  run.m_NbFace = mesh.NbFace();
  std::vector<double> positions;
  std::vector<int> triangles;
  MeshArrays(mesh, positions, triangles);
  CProgressiveOptions options = request.m_Options;
  options.m_bKeepLevels = options.m_bKeepLevels || !request.m_LevelsFile.empty();
  auto start = std::chrono::steady_clock::now();
  if (!EncodeProgressive(positions, triangles, options, run.m_Encoding)) {
    run.m_Error = run.m_Encoding.m_Error;
    return 0;
  }
  std::vector<uint8_t> bytes;
  if (!WriteVpm(VpmFromEncoding(run.m_Encoding), bytes, run.m_Sizes, run.m_Error)) return 0;
  run.m_Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!request.m_File.empty()) {
    if (!WriteBytesReplacing(request.m_File, bytes)) {
      run.m_Error = "Unable to write " + request.m_File;
      return 0;
    }
    run.m_Files.push_back(request.m_File);
  }
  if (!request.m_LevelsFile.empty()) {
    if (!WriteLevels(run.m_Encoding, positions, request.m_LevelsFile, run.m_Error)) return 0;
    run.m_Files.push_back(request.m_LevelsFile);
  }
  run.m_Ok = 1;
  return 1;
}

std::string ProgressiveSpeedText(const CProgressiveRun& run) {
  return FormatText("speed: %g faces/s", run.m_NbFace / std::max(run.m_Seconds, 0.001));
}

std::string ProgressiveAssessmentText(const CProgressiveRun& run) {
  const CProgressiveEncoding& e = run.m_Encoding;
  const int removed = std::max(1, e.NbRemoved());
  char text[512];
  std::snprintf(text, sizeof text,
                "Base mesh: %d vertices\r\nConnectivity: %g b/rv\r\nGeometry: %g b/rv\r\n"
                "Total: %d bits (%g b/v)\r\n%d layers\r\n",
                static_cast<int>(e.m_BaseVertex.size()),
                static_cast<double>(run.m_Sizes.m_Connectivity) / removed,
                static_cast<double>(run.m_Sizes.m_Geometry) / removed,
                static_cast<int>(run.m_Sizes.m_Total),
                static_cast<double>(run.m_Sizes.m_Total) / std::max(1, e.m_NbVertexBefore),
                static_cast<int>(e.m_Layers.size()));
  return text;
}

int DecodeProgressiveFile(const std::string& path, const CDecodeOptions& options, CMesh3d& out,
                          std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) {
    error = "Unable to read " + path;
    return 0;
  }
  CVpmFile file;
  if (!ReadVpm(bytes.data(), bytes.size(), file, error)) {
    error = path + ": " + error;
    return 0;
  }
  CProgressiveMesh mesh;
  if (!DecodeProgressive(file, options, mesh, error)) {
    error = path + ": " + error;
    return 0;
  }
  FillMesh(mesh, file.m_Quantizer, out);
  return 1;
}

int ApplyLayerFile(CMesh3d& target, const std::string& path, int& added, std::string& error) {
  added = 0;
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) {
    error = "Unable to read " + path;
    return 0;
  }
  int type = 0;
  std::vector<int> codes;
  if (!ReadLayerFile(bytes.data(), bytes.size(), type, codes, error)) return 0;
  std::vector<double> positions;
  std::vector<int> triangles;
  MeshArrays(target, positions, triangles);
  // connectivity only: the coder's positions are not used
  CProgressiveMesh mesh;
  mesh.Build(std::vector<int32_t>(positions.size(), 0), triangles);
  std::vector<CInsertion> inserted;
  if (!DecodeLayer(mesh, type, codes, inserted, error)) return 0;
  // the new vertices at their patches' barycenters
  for (const CInsertion& insertion : inserted) {
    double c[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < insertion.m_Size; ++i)
      for (int k = 0; k < 3; ++k) c[k] += positions[3 * insertion.m_Border[i] + k];
    for (int k = 0; k < 3; ++k) positions.push_back(c[k] / insertion.m_Size);
  }
  Assemble(positions, mesh.Triangles(), target);
  added = static_cast<int>(inserted.size());
  return 1;
}

int RunProgressiveCodeRate(const CMesh3d& mesh, const CProgressiveOptions& options, int order,
                           CCodeRate& rate) {
  rate = CCodeRate();
  std::vector<double> positions;
  std::vector<int> triangles;
  MeshArrays(mesh, positions, triangles);
  CProgressiveEncoding encoding;
  if (!EncodeProgressive(positions, triangles, options, encoding)) {
    rate.m_Error = encoding.m_Error;
    return 0;
  }
  // the layers' codes as the file orders them, with an order-k coder
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  ContextEncoder coder;
  bool ok = coder.Init(7) && coder.Start(order);
  for (auto layer = encoding.m_Layers.rbegin(); ok && layer != encoding.m_Layers.rend(); ++layer)
    ok = EncodeLayerCodes(coder, out, layer->m_Type, layer->m_Codes);
  ok = coder.Finish(out) && ok;
  if (!ok) {
    rate.m_Error = coder.Error();
    return 0;
  }
  rate.m_Bits = out.BitCount();
  rate.m_Removed = encoding.NbRemoved();
  rate.m_BitsPerRemoved = static_cast<double>(rate.m_Bits) / std::max(1, rate.m_Removed);
  rate.m_Ok = 1;
  return 1;
}

} // namespace orvex
