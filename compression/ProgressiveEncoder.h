#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "compression/ProgressiveQuantizer.h"

namespace orvex {

class CProgressiveMesh;

// Options of the progressive valence encoder (the fields of the
// "Valence-centered Progressive Meshes" dialog that act on the coding).
struct CProgressiveOptions {
  int m_RequestedVertices = 100;
  int m_QuantizationBits = 12;
  int m_MaxDegree = 6;        // largest valence a decimation layer removes
  bool m_bPureDegree = false; // decimation removes that valence only
  bool m_bForbidConcave = false;
  bool m_bForbidFlip = false;
  bool m_bUseMetric = false;
  double m_MetricRatio = 0.25;
  bool m_bVolumeMetric = true; // "Volume / surface", else "Distance"
  bool m_bForgetMetric = false;
  int m_ForgetBelow = 0;
  // keep every level's faces (for "levels.wrl" and checks)
  bool m_bKeepLevels = false;
  // called after every decimation and cleaning pair with the mesh as it
  // stands (to show it)
  std::function<void(const CProgressiveMesh&, const CQuantizer&)> m_OnLevel;
};

// One removed vertex: its border (b0 = the gate's left vertex ... the
// gate's right vertex), its quantized position and the residual of that
// position in the border's frame (normal, first and second tangential).
struct CRemoval {
  int m_Vertex = -1;
  int m_Border[6] = {-1, -1, -1, -1, -1, -1};
  int m_Size = 0;
  int32_t m_Position[3] = {0, 0, 0};
  int32_t m_Residual[3] = {0, 0, 0};
};

// One layer as the encoder made it: type (0 decimation, 1 cleaning), its
// codes (3 for a valence-3 removal in either type), removals in order.
struct CEncodedLayer {
  int m_Type = 0;
  std::vector<int> m_Codes;
  std::vector<CRemoval> m_Removals;
};

struct CProgressiveEncoding {
  int m_Ok = 0;
  std::string m_Error;
  CQuantizer m_Quantizer;
  int m_NbVertexBefore = 0; // vertices of the mesh as given
  int m_NbPinched = 0;      // vertices added where fans met at one point
  // quantized position of every vertex the encoder knew (x, y, z)
  std::vector<int32_t> m_Positions;
  // the vertex of the given mesh each encoder vertex stands for
  std::vector<int> m_Origin;
  // layers in the order made (finest first)
  std::vector<CEncodedLayer> m_Layers;
  // base mesh: encoder vertex of each base vertex, faces in base indices
  std::vector<int> m_BaseVertex;
  std::vector<int> m_BaseFaces;
  // with m_bKeepLevels: faces (encoder vertices) of the mesh before the
  // first layer and after each layer
  std::vector<std::vector<int>> m_Levels;
  // for each level, whether it ends a decimation and cleaning pair (the
  // levels a levels file shows; the first level too)
  std::vector<char> m_EndsPair;

  int NbRemoved() const;
  // encoder vertex of each vertex of the decoded mesh: the base, then the
  // vertices the layers put back, coarsest layer first
  std::vector<int> DecodedOrder() const;
};

// Removes vertices layer by layer (one decimation, one cleaning layer in
// turn) until at most the requested count is left or nothing more can be
// removed. positions: x, y, z per vertex; triangles: three indices each.
// Refuses (m_Ok 0, m_Error) a requested count not below the vertex count,
// an index outside the vertices, a coordinate that is not finite, or more
// layers than the file can hold. Reports progress and may be cancelled
// (geometry/Progress.h).
int EncodeProgressive(const std::vector<double>& positions, const std::vector<int>& triangles,
                      const CProgressiveOptions& options, CProgressiveEncoding& result);

// Most layers a file holds (10-bit count).
constexpr int kMaxProgressiveLayers = 1023;

} // namespace orvex
