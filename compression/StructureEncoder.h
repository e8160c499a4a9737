#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "compression/StructureFile.h"

class CMesh3d;

namespace orvex {

class CStructureMesh;

// Options of one run of the degree-and-offset structure coder.
struct CStructureOptions {
  // New focus after a split or when the focus leaves: the list vertex with
  // the fewest faces left (ties to the earliest entered), else the next node.
  bool m_bFullPivots = true;
  // Called before every step with the gate edge (mesh vertex indices; the
  // dummy vertex is NbVertex()), then every m_UpdateEach steps m_Redraw and
  // a pause of m_DelayMs.
  std::function<void(int from, int to)> m_OnGate;
  std::function<void()> m_Redraw;
  int m_UpdateEach = 1;
  int m_DelayMs = 0;
};

struct CStructureResult {
  int m_Ok = 0;
  std::string m_Error;
  CStructureStreams m_Streams;
  std::vector<uint8_t> m_Bytes; // the file's bytes
  long long m_Bits = 0;
  double m_Cost = 0.0; // bits per face
  int m_NbFaces = 0;
  int m_NbOffsets = 0;
  int m_NbDummy = 0; // dummy-vertex codes
  double m_Seconds = 0.0;
  // mesh vertex of each decoded vertex (conquest order, isolated vertices
  // last) and mesh face of each decoded face
  std::vector<int> m_VertexOrder;
  std::vector<int> m_FaceOrder;
  // the file written, empty when none
  std::string m_File;
};

// Conquers the mesh from the seed face (components after the first from
// their lowest-index face) and codes its degrees, split offsets and signs
// into `file` (nothing is written for an empty name or a refused run). The
// mesh is only read. With a mutex, every step waits for it and releases it
// afterwards so that a drawing thread can show the mesh between steps.
// Returns m_Ok; m_Error says why a run was refused.
int EncodeStructure(const CMesh3d& mesh, const std::string& file, int seedFace,
                    const CStructureOptions& options, CStructureResult& result,
                    std::mutex* mutex = nullptr);
int EncodeStructure(const CStructureMesh& mesh, const std::string& file, int seedFace,
                    const CStructureOptions& options, CStructureResult& result,
                    std::mutex* mutex = nullptr);

} // namespace orvex
