// Progressive valence-driven mesh coding: each layer conquers the mesh
// from one gate, removes the free vertices it meets whose patch can be
// retriangulated by a fixed pattern, and writes one code per gate; the
// decoder replays the conquest on the coarser mesh and puts the vertices
// back (valence-driven progressive connectivity coding, after Alliez and
// Desbrun's progressive valence coder).

#include "compression/ProgressiveEncoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "compression/ProgressiveConquest.h"
#include "compression/ProgressiveGeometry.h"
#include "compression/ProgressiveMesh.h"
#include "compression/ProgressivePatterns.h"
#include "geometry/Progress.h"

namespace orvex {

using M = CProgressiveMesh;

int CProgressiveEncoding::NbRemoved() const {
  int n = 0;
  for (const CEncodedLayer& layer : m_Layers) n += static_cast<int>(layer.m_Removals.size());
  return n;
}

std::vector<int> CProgressiveEncoding::DecodedOrder() const {
  std::vector<int> order = m_BaseVertex;
  for (auto layer = m_Layers.rbegin(); layer != m_Layers.rend(); ++layer)
    for (const CRemoval& removal : layer->m_Removals) order.push_back(removal.m_Vertex);
  return order;
}

namespace {

// One layer of the encoder over the mesh.
class CLayerEncoder {
public:
  CLayerEncoder(M& mesh, const CProgressiveOptions& options, const CQuantizer& quantizer,
                bool useMetric)
      : m_Mesh(mesh), m_Options(options), m_Largest(quantizer.Largest()), m_UseMetric(useMetric),
        m_Conquest(mesh) {}

  void StopMetric() { m_UseMetric = false; }

  CEncodedLayer Run(int type, int seedLeft, int seedRight) {
    m_Layer = CEncodedLayer();
    m_Layer.m_Type = type;
    m_MaxValence = type == kDecimationLayer ? m_Options.m_MaxDegree : 3;
    m_Conquest.Start(type, seedLeft, seedRight);
    CGate gate;
    long long steps = 0;
    while (m_Conquest.Pop(gate)) {
      ReportLoopProgress(++steps, 3LL * m_Mesh.NbFace() + 1);
      const int corner = m_Conquest.FrontCorner(gate);
      if (corner < 0) continue;
      const int front = m_Mesh.V(M::Next(corner));
      if (m_Mesh.StateOf(front) != M::kFree)
        NullPatch(gate, corner);
      else if (m_Mesh.OnBoundary(front))
        BoundaryRule(gate, corner, front);
      else if (!RemoveInterior(gate, corner, front))
        NullPatch(gate, corner);
    }
    return std::move(m_Layer);
  }

private:
  void NullPatch(const CGate& gate, int corner) {
    m_Conquest.NullPatch(gate, corner);
    m_Layer.m_Codes.push_back(kCodeNullPatch);
  }

  // The residual of r's position in the border's frame; false when the
  // decoder could not rebuild it.
  bool Residual(const int* border, int size, int r, const CPatchFrame& frame, CRemoval& removal) {
    const int32_t* p = m_Mesh.Position(r);
    if (!FindResidual(frame, p, m_Largest, removal.m_Residual)) return false;
    removal.m_Vertex = r;
    removal.m_Size = size;
    std::copy(border, border + size, removal.m_Border);
    std::copy(p, p + 3, removal.m_Position);
    return true;
  }

  // A free front vertex on the boundary: only a valence-3 vertex of a
  // decimation layer goes, with its two faces, leaving the face (L, p, R).
  void BoundaryRule(const CGate& gate, int corner, int r) {
    if (m_Layer.m_Type != kDecimationLayer || m_Mesh.Valence(r) != 3)
      return NullPatch(gate, corner);
    // the face g beyond the edge after r in the front face (r, R, L),
    // else beyond the edge before r
    int side = kSideNext, across = m_Mesh.O(corner);
    if (across < 0) {
      side = kSidePrevious;
      across = m_Mesh.O(M::Prev(corner));
    }
    if (across < 0) return NullPatch(gate, corner);
    const int p = m_Mesh.V(across);
    const int other = side == kSideNext ? gate.m_Left : gate.m_Right;
    if (p == gate.m_Left || p == gate.m_Right || m_Mesh.Linked(p, other))
      return NullPatch(gate, corner);
    const int border[3] = {gate.m_Left, p, gate.m_Right};
    CRemoval removal;
    if (!Residual(border, 3, r, PatchFrame(m_Mesh, border, 3), removal))
      return NullPatch(gate, corner);
    // remove r: its two faces become (L, p, R)
    m_Doomed.assign({corner, across});
    m_Mesh.Replace(m_Doomed, border, 1, m_NewFaces);
    m_Mesh.DropVertex(r);
    m_Mesh.SetState(r, M::kRemoved);
    m_Conquest.BoundaryRemoved(gate, p, side, m_NewFaces);
    m_Layer.m_Codes.push_back(kCodeBoundary);
    m_Layer.m_Codes.push_back(side);
    m_Layer.m_Removals.push_back(removal);
  }

  // The patch tests of the border; true when the pattern's faces may
  // replace r's fan without breaking the mesh.
  bool BorderAccepted(const int* border, int v, const CRetriangulation& pattern) {
    // simple border: distinct vertices, none left with fewer than three
    // neighbours, no diagonal of the pattern already an edge
    int diagonals[6] = {0, 0, 0, 0, 0, 0};
    for (int f = 0; f < pattern.nbFace; ++f)
      for (int k = 0; k < 3; ++k) {
        int a = pattern.face[f][k], b = pattern.face[f][(k + 1) % 3];
        bool side = b == a + 1 || a == b + 1 || (a == 0 && b == v - 1) || (b == 0 && a == v - 1);
        if (side) continue;
        if (m_Mesh.Linked(border[a], border[b])) return false;
        // a diagonal lies in two of the pattern's faces: counted twice
        ++diagonals[a];
        ++diagonals[b];
      }
    for (int i = 0; i < v; ++i) {
      for (int j = i + 1; j < v; ++j)
        if (border[i] == border[j]) return false;
      // a border vertex keeps at least three neighbours (it loses r and
      // gains the pattern's diagonals)
      if (m_Mesh.Valence(border[i]) - 1 + diagonals[i] / 2 < 3) return false;
    }
    return !m_Options.m_bForbidConcave || BorderIsConvex(m_Mesh, border, v);
  }

  // The optional tests of the shape: error measure and orientation.
  bool ShapeAccepted(const int* border, int v, int r, const CRetriangulation& pattern,
                     const CPatchFrame& frame) {
    const int32_t* p = m_Mesh.Position(r);
    if (m_UseMetric) {
      double error = m_Options.m_bVolumeMetric
                         ? PatchVolume(m_Mesh, frame, border, p, pattern.face, pattern.nbFace)
                         : PatchDistance(frame, p);
      if (error > m_Options.m_MetricRatio) return false;
    }
    if (m_Options.m_bForbidFlip &&
        !KeepsOrientation(m_Mesh, border, v, p, pattern.face, pattern.nbFace))
      return false;
    return true;
  }

  bool RemoveInterior(const CGate& gate, int corner, int r) {
    const int v = m_Mesh.Valence(r);
    if (v < 3 || v > m_MaxValence) return false;
    if (m_Options.m_bPureDegree && m_Layer.m_Type == kDecimationLayer && v != m_MaxValence)
      return false;
    // the fan of r from the front face (r, R, L): ring R, L, b1, ...
    if (!m_Mesh.InteriorRing(M::Next(corner), m_Ring, m_FanCorners) ||
        static_cast<int>(m_Ring.size()) != v)
      return false;
    int border[6];
    for (int i = 0; i < v; ++i) border[i] = m_Ring[(i + 1) % v];
    const CRetriangulation* pattern =
        RetriangulationFor(v, m_Mesh.TagOf(gate.m_Left), m_Mesh.TagOf(gate.m_Right));
    if (!pattern) return false;
    if (!BorderAccepted(border, v, *pattern)) return false;
    const CPatchFrame frame = PatchFrame(m_Mesh, border, v);
    if (!ShapeAccepted(border, v, r, *pattern, frame)) return false;
    CRemoval removal;
    if (!Residual(border, v, r, frame, removal)) return false;
    // remove r and fill its hole with the pattern's faces
    int triangles[12];
    for (int f = 0; f < pattern->nbFace; ++f)
      for (int k = 0; k < 3; ++k) triangles[3 * f + k] = border[pattern->face[f][k]];
    m_Mesh.Replace(m_FanCorners, triangles, pattern->nbFace, m_NewFaces);
    m_Mesh.DropVertex(r);
    m_Mesh.SetState(r, M::kRemoved);
    m_Conquest.Retriangulated(border, v, *pattern, m_NewFaces);
    m_Layer.m_Codes.push_back(v);
    m_Layer.m_Removals.push_back(removal);
    return true;
  }

  M& m_Mesh;
  const CProgressiveOptions& m_Options;
  const int32_t m_Largest;
  bool m_UseMetric;
  CLayerConquest m_Conquest;
  CEncodedLayer m_Layer;
  int m_MaxValence = 6;
  std::vector<int> m_Ring, m_FanCorners, m_Doomed, m_NewFaces;
};

bool Refuse(CProgressiveEncoding& result, const std::string& message) {
  result.m_Ok = 0;
  result.m_Error = message;
  return false;
}

// Checks the input and builds the coder's mesh from it: quantized
// positions, degenerate faces left out, pinched vertices split.
bool Prepare(const std::vector<double>& positions, const std::vector<int>& triangles,
             const CProgressiveOptions& options, CProgressiveEncoding& result, M& mesh) {
  const int nbVertex = static_cast<int>(positions.size() / 3);
  result.m_NbVertexBefore = nbVertex;
  if (options.m_RequestedVertices >= nbVertex) return Refuse(result, "invalid #vertices");
  if (options.m_QuantizationBits < 4 || options.m_QuantizationBits > 12)
    return Refuse(result, "Quantization must be 4 to 12 bits");
  for (double x : positions)
    if (!std::isfinite(x)) return Refuse(result, "The mesh has a coordinate that is not a number");
  std::vector<int> kept;
  kept.reserve(triangles.size());
  for (size_t f = 0; f + 2 < triangles.size(); f += 3) {
    const int a = triangles[f], b = triangles[f + 1], c = triangles[f + 2];
    if (a < 0 || b < 0 || c < 0 || a >= nbVertex || b >= nbVertex || c >= nbVertex)
      return Refuse(result, "A face has a corner outside the mesh's vertices");
    if (a == b || b == c || a == c) continue;
    kept.insert(kept.end(), {a, b, c});
  }
  result.m_Positions = result.m_Quantizer.Fit(positions, options.m_QuantizationBits);
  mesh.Build(result.m_Positions, kept);
  result.m_NbPinched = mesh.SplitPinchedVertices(result.m_Origin);
  for (int v = nbVertex; v < mesh.NbVertex(); ++v) {
    const int32_t* p = mesh.Position(v);
    result.m_Positions.insert(result.m_Positions.end(), p, p + 3);
  }
  return true;
}

// Base mesh: the seed pair first (vertex 0 and vertex 1 of every level),
// then the other vertices left, in order.
void TakeBase(const M& mesh, int seedLeft, int seedRight, CProgressiveEncoding& result) {
  std::vector<int> index(mesh.NbVertex(), -1);
  auto add = [&](int v) {
    if (v < 0 || index[v] >= 0 || !mesh.VertexAlive(v)) return;
    index[v] = static_cast<int>(result.m_BaseVertex.size());
    result.m_BaseVertex.push_back(v);
  };
  add(seedLeft);
  add(seedRight);
  for (int v = 0; v < mesh.NbVertex(); ++v) add(v);
  result.m_BaseFaces = mesh.Triangles();
  for (int& corner : result.m_BaseFaces) corner = index[corner];
}

} // namespace

int EncodeProgressive(const std::vector<double>& positions, const std::vector<int>& triangles,
                      const CProgressiveOptions& options, CProgressiveEncoding& result) {
  result = CProgressiveEncoding();
  M mesh;
  if (!Prepare(positions, triangles, options, result, mesh)) return 0;
  if (options.m_bKeepLevels) {
    result.m_Levels.push_back(mesh.Triangles());
    result.m_EndsPair.push_back(1);
  }

  // The seed pair is kept by every layer (its vertices are conquered
  // first), so vertex 0 and its partner stay linked down to the base.
  int seedLeft = -1, seedRight = -1;
  CLayerConquest::Seed(mesh, seedLeft, seedRight);
  int alive = mesh.NbVertex();
  const int start = alive;
  bool useMetric = options.m_bUseMetric;
  CLayerEncoder encoder(mesh, options, result.m_Quantizer, useMetric);
  while (alive > options.m_RequestedVertices && seedLeft >= 0) {
    int removed = 0;
    // the layers' own reports only let a cancel through; the pair's share
    // of the vertices to remove is reported after it
    const double done =
        std::min(1.0, double(start - alive) / std::max(1, start - options.m_RequestedVertices));
    CProgressSpan span(done, done);
    for (int type : {kDecimationLayer, kCleaningLayer}) {
      CEncodedLayer layer = encoder.Run(type, seedLeft, seedRight);
      if (layer.m_Removals.empty()) continue; // a layer that removed nothing is not kept
      removed += static_cast<int>(layer.m_Removals.size());
      result.m_Layers.push_back(std::move(layer));
      if (options.m_bKeepLevels) {
        result.m_Levels.push_back(mesh.Triangles());
        result.m_EndsPair.push_back(0);
      }
    }
    if (removed == 0) break;
    if (options.m_bKeepLevels) result.m_EndsPair.back() = 1;
    alive -= removed;
    if (static_cast<int>(result.m_Layers.size()) > kMaxProgressiveLayers) {
      char text[96];
      std::snprintf(text, sizeof text, "More than %d layers: the file cannot hold them",
                    kMaxProgressiveLayers);
      return Refuse(result, text), 0;
    }
    if (options.m_OnLevel) options.m_OnLevel(mesh, result.m_Quantizer);
    if (options.m_bForgetMetric && alive < options.m_ForgetBelow && useMetric) {
      useMetric = false;
      encoder.StopMetric();
    }
  }
  TakeBase(mesh, seedLeft, seedRight, result);
  result.m_Ok = 1;
  return 1;
}

} // namespace orvex
