#include "compression/ProgressiveDecoder.h"

#include <cstdio>

#include "compression/ProgressiveConquest.h"
#include "compression/ProgressiveGeometry.h"
#include "compression/ProgressiveMesh.h"
#include "compression/ProgressivePatterns.h"
#include "compression/VpmFile.h"
#include "geometry/Progress.h"

namespace orvex {

using M = CProgressiveMesh;

namespace {

// Directed edge a -> b of a pattern face (border indices).
bool HasEdge(const int* face, int a, int b) {
  for (int k = 0; k < 3; ++k)
    if (face[k] == a && face[(k + 1) % 3] == b) return true;
  return false;
}

class CLayerDecoder {
public:
  CLayerDecoder(M& mesh, std::vector<CInsertion>& inserted)
      : m_Mesh(mesh), m_Inserted(inserted), m_Conquest(mesh) {}

  int Run(int type, const std::vector<int>& codes, std::string& error) {
    int left, right;
    CLayerConquest::Seed(m_Mesh, left, right);
    m_Conquest.Start(type, left, right);
    size_t next = 0;
    CGate gate;
    while (m_Conquest.Pop(gate)) {
      ReportLoopProgress(static_cast<long long>(next), static_cast<long long>(codes.size()));
      const int corner = m_Conquest.FrontCorner(gate);
      if (corner < 0) continue;
      if (next == codes.size()) return Refuse(error, "end before the conquest", next);
      const int code = codes[next++];
      if (code == kCodeBoundary) {
        if (next == codes.size()) return Refuse(error, "end inside a boundary removal", next);
        const int side = codes[next++];
        if (!InsertOnBoundary(gate, corner, side)) m_Conquest.NullPatch(gate, corner);
      } else if (code < 3 || !InsertPatch(gate, corner, code)) {
        m_Conquest.NullPatch(gate, corner);
      }
    }
    if (next != codes.size()) return Refuse(error, "go on after the conquest", next);
    return 1;
  }

private:
  int Refuse(std::string& error, const char* what, size_t at) {
    char text[128];
    std::snprintf(text, sizeof text, "The layer's codes %s (code %zu)", what, at);
    error = text;
    return 0;
  }

  void Record(int r, const int* border, int size) {
    CInsertion insertion;
    insertion.m_Vertex = r;
    insertion.m_Size = size;
    for (int i = 0; i < size; ++i) insertion.m_Border[i] = border[i];
    m_Inserted.push_back(insertion);
  }

  // Code 1: the front face (L, p, R) splits back into the two faces of a
  // boundary vertex of valence 3, on the side the code names.
  bool InsertOnBoundary(const CGate& gate, int corner, int side) {
    const int L = gate.m_Left, R = gate.m_Right, p = m_Mesh.V(M::Next(corner));
    // the open edge of the restored vertex: L -> p (after) or p -> R (before)
    const int open = side == kSideNext ? M::Prev(corner) : corner;
    if (m_Mesh.O(open) >= 0) return false;
    const int32_t origin[3] = {0, 0, 0};
    const int r = m_Mesh.AddVertex(origin);
    const int next[6] = {L, r, R, r, p, R}, previous[6] = {L, r, R, L, p, r};
    m_Doomed.assign({corner});
    m_Mesh.Replace(m_Doomed, side == kSideNext ? next : previous, 2, m_NewFaces);
    m_Mesh.SetState(r, M::kRemoved);
    m_Conquest.BoundaryRemoved(gate, p, side, m_NewFaces);
    const int border[3] = {L, p, R};
    Record(r, border, 3);
    return true;
  }

  // Code v: finds the faces of the pattern for (v, tags of L and R) from
  // the front face, checks that they are there, unconquered, and span v
  // distinct border vertices, and puts back the fan of a new vertex.
  bool InsertPatch(const CGate& gate, int corner, int v) {
    const CRetriangulation* pattern =
        RetriangulationFor(v, m_Mesh.TagOf(gate.m_Left), m_Mesh.TagOf(gate.m_Right));
    if (!pattern) return false;
    int border[6] = {-1, -1, -1, -1, -1, -1};
    int face[4] = {-1, -1, -1, -1};
    border[0] = gate.m_Left;
    border[v - 1] = gate.m_Right;
    // the front face is the pattern's face on the edge b(v-1) -> b0
    for (int f = 0; f < pattern->nbFace; ++f)
      if (HasEdge(pattern->face[f], v - 1, 0)) {
        face[f] = corner / 3;
        for (int k = 0; k < 3; ++k)
          if (pattern->face[f][k] != 0 && pattern->face[f][k] != v - 1)
            border[pattern->face[f][k]] = m_Mesh.V(M::Next(corner));
      }
    // the other faces, each across an edge of a face already found
    for (int pass = 0; pass < pattern->nbFace; ++pass)
      for (int f = 0; f < pattern->nbFace; ++f) {
        if (face[f] >= 0) continue;
        for (int k = 0; k < 3 && face[f] < 0; ++k) {
          const int i = pattern->face[f][k], j = pattern->face[f][(k + 1) % 3],
                    t = pattern->face[f][(k + 2) % 3];
          if (border[i] < 0 || border[j] < 0) continue;
          const int c = m_Mesh.CornerAfter(border[j], border[i]);
          if (c < 0) return false;
          const int x = m_Mesh.V(M::Next(c));
          if (border[t] >= 0 && border[t] != x) return false;
          border[t] = x;
          face[f] = c / 3;
        }
      }
    for (int i = 0; i < v; ++i) {
      if (border[i] < 0) return false;
      for (int j = i + 1; j < v; ++j)
        if (border[i] == border[j]) return false;
    }
    m_Doomed.clear();
    for (int f = 0; f < pattern->nbFace; ++f) {
      if (face[f] < 0 || m_Mesh.Conquered(face[f])) return false;
      for (int g = 0; g < f; ++g)
        if (face[g] == face[f]) return false;
      m_Doomed.push_back(3 * face[f]);
    }
    // the removed vertex's fan over the border
    const int32_t origin[3] = {0, 0, 0};
    const int r = m_Mesh.AddVertex(origin);
    int fan[18];
    for (int i = 0; i < v; ++i) {
      fan[3 * i] = r;
      fan[3 * i + 1] = border[i];
      fan[3 * i + 2] = border[(i + 1) % v];
    }
    m_Mesh.Replace(m_Doomed, fan, v, m_NewFaces);
    m_Mesh.SetState(r, M::kRemoved);
    m_Conquest.Retriangulated(border, v, *pattern, m_NewFaces);
    Record(r, border, v);
    return true;
  }

  M& m_Mesh;
  std::vector<CInsertion>& m_Inserted;
  CLayerConquest m_Conquest;
  std::vector<int> m_Doomed, m_NewFaces;
};

// Positions of the vertices a layer put back: raw, or predicted from
// their border's frame and the residual.
void PlaceInserted(M& mesh, const CVpmLayer& layer, const std::vector<CInsertion>& inserted) {
  const size_t count = std::min(inserted.size(), layer.m_Values.size() / 3);
  for (size_t i = 0; i < count; ++i) {
    const int32_t* values = &layer.m_Values[3 * i];
    int32_t* p = mesh.MutablePosition(inserted[i].m_Vertex);
    if (!layer.m_bPredicted) {
      p[0] = values[0], p[1] = values[1], p[2] = values[2];
      continue;
    }
    CPatchFrame frame = PatchFrame(mesh, inserted[i].m_Border, inserted[i].m_Size);
    PredictPosition(frame, values, p);
  }
}

} // namespace

int DecodeLayer(CProgressiveMesh& mesh, int type, const std::vector<int>& codes,
                std::vector<CInsertion>& inserted, std::string& error) {
  inserted.clear();
  CLayerDecoder decoder(mesh, inserted);
  return decoder.Run(type, codes, error);
}

int DecodeProgressive(const CVpmFile& file, const CDecodeOptions& options, CProgressiveMesh& mesh,
                      std::string& error) {
  mesh.Build(file.m_BasePositions, file.m_BaseFaces);
  if (options.m_OnLayer) options.m_OnLayer(mesh, file.m_Quantizer, 0, -1);
  const int nbLayer = static_cast<int>(file.m_Layers.size());
  const int last =
      options.m_MaxLayers > 0 && options.m_MaxLayers < nbLayer ? options.m_MaxLayers : nbLayer;
  std::vector<CInsertion> inserted;
  for (int l = 0; l < last; ++l) {
    CProgressSpan span(double(l) / last, double(l + 1) / last);
    const CVpmLayer& layer = file.m_Layers[l];
    if (!DecodeLayer(mesh, layer.m_Type, layer.m_Codes, inserted, error)) {
      char where[48];
      std::snprintf(where, sizeof where, "Layer %d: ", l);
      error = where + error;
      return 0;
    }
    PlaceInserted(mesh, layer, inserted);
    if (options.m_OnLayer) options.m_OnLayer(mesh, file.m_Quantizer, l + 1, layer.m_Type);
  }
  return 1;
}

} // namespace orvex
