#pragma once

#include <string>
#include <vector>

namespace orvex {

// Most faces a vertex may have: the turns around a vertex and the edge
// look-ups walk its faces, so this bounds every step of a conquest (and
// what a corrupt stream can make a decoder do).
constexpr int kGateMaxValence = 4096;

// Half-edge table of a mesh of triangles and quads, grown one face at a
// time. Half-edge h is corner h of the flat corner array: it leaves that
// corner towards the next corner of its face. Each new face is glued to the
// faces already holding its edges in the opposite direction, so the table
// serves both the coders (the whole mesh added up front) and the decoders
// (faces added as they are decoded). A directed edge may be used once:
// an edge on three faces, or two faces of opposite orientation, is refused.
class CGateMesh {
public:
  void Reserve(int vertices, int faces);
  // Sets the number of vertices (existing ones are kept).
  void SetVertexCount(int count);
  int AddVertex();
  // Appends a face of n corners (3 or 4). -1 with error set when a corner
  // is out of range or repeated, a corner already has kGateMaxValence
  // faces, or an edge is already used in the same direction; the table is
  // then unchanged.
  int AddFace(const int* corners, int n, std::string& error);

  int NbVertex() const { return static_cast<int>(m_FirstOut.size()); }
  int NbFace() const { return static_cast<int>(m_FaceStart.size()) - 1; }
  int NbHalfEdge() const { return static_cast<int>(m_From.size()); }
  int FaceStart(int f) const { return m_FaceStart[f]; }
  int FaceSize(int f) const { return m_FaceStart[f + 1] - m_FaceStart[f]; }
  int Face(int h) const { return m_Face[h]; }
  int From(int h) const { return m_From[h]; }
  int To(int h) const { return m_From[Next(h)]; }
  int Next(int h) const {
    const int f = m_Face[h];
    return h + 1 == m_FaceStart[f + 1] ? m_FaceStart[f] : h + 1;
  }
  int Prev(int h) const {
    const int f = m_Face[h];
    return h == m_FaceStart[f] ? m_FaceStart[f + 1] - 1 : h - 1;
  }
  // The half-edge of the neighbouring face across h, or -1.
  int Opposite(int h) const { return m_Opposite[h]; }
  // The half-edge from a to b, or -1.
  int Find(int a, int b) const;

private:
  std::vector<int> m_FaceStart{0};
  std::vector<int> m_From;
  std::vector<int> m_Face;
  std::vector<int> m_Opposite;
  // half-edges leaving each vertex, as singly linked lists
  std::vector<int> m_FirstOut;
  std::vector<int> m_NextOut;
  std::vector<int> m_Valence;
};

// The whole table of a mesh given as flat arrays (corner counts of 3 or 4).
int BuildGateMesh(int nbVertex, const std::vector<int>& sizes, const std::vector<int>& corners,
                  CGateMesh& mesh, std::string& error);

// Rotation around the vertex h leaves: crosses to the next face while the
// neighbour exists and `open` says it is not open, and returns the last
// half-edge leaving the vertex (its neighbour is missing or open). The
// rotation is bounded by the half-edge count, so a corrupt table cannot
// make it loop.
template <class Open> int TurnAroundTail(const CGateMesh& mesh, int h, Open open) {
  for (int guard = mesh.NbHalfEdge(); guard > 0; --guard) {
    const int o = mesh.Opposite(h);
    if (o < 0 || open(o)) return h;
    h = mesh.Next(o);
  }
  return -1;
}

// The mirror rotation around the vertex h enters; returns the last
// half-edge entering it.
template <class Open> int TurnAroundHead(const CGateMesh& mesh, int h, Open open) {
  for (int guard = mesh.NbHalfEdge(); guard > 0; --guard) {
    const int o = mesh.Opposite(h);
    if (o < 0 || open(o)) return h;
    h = mesh.Prev(o);
  }
  return -1;
}

} // namespace orvex
