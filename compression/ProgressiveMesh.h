#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex {

// Triangle mesh of the progressive valence coder: quantized integer
// positions and a corner table (three corners per face, the opposite
// corner across each edge, -1 on a boundary), edited in place as the
// encoder removes vertices and the decoder puts them back. Face slots of
// deleted faces are reused. Per vertex it keeps the conquest state and
// retriangulation tag of the current layer, per face the conquered flag.
class CProgressiveMesh {
public:
  enum State : char { kFree = 0, kConquered = 1, kRemoved = 2 };

  static int Next(int c) { return c % 3 == 2 ? c - 2 : c + 1; }
  static int Prev(int c) { return c % 3 == 0 ? c + 2 : c - 1; }

  // Builds the corner table from positions (x, y, z per vertex) and
  // triangles (three indices each, all checked by the caller). An edge
  // met by other than two faces of opposite orientation is left open.
  void Build(std::vector<int32_t> positions, const std::vector<int>& triangles);
  // Gives every extra fan of a vertex met at a single point (a pinched
  // vertex) a vertex of its own at the same position, so that each vertex
  // has one fan. origin maps every vertex to the one it was made from.
  // Returns the number of vertices added.
  int SplitPinchedVertices(std::vector<int>& origin);
  // Appends a vertex without faces; returns its index. `boundary` says
  // whether the faces it will get leave it on an open edge.
  int AddVertex(const int32_t p[3], bool boundary = false);

  int NbVertex() const { return static_cast<int>(m_Vertex.size()); }
  int NbSlot() const { return static_cast<int>(m_Corners.size() / 3); }
  int NbFace() const { return m_NbFace; }
  bool Alive(int f) const { return m_Corners[3 * f].m_V >= 0; }
  int V(int c) const { return m_Corners[c].m_V; }
  int O(int c) const { return m_Corners[c].m_O; }
  const int32_t* Position(int v) const { return &m_Position[3 * v]; }
  int32_t* MutablePosition(int v) { return &m_Position[3 * v]; }
  bool HasFaces(int v) const { return m_Vertex[v].m_Corner >= 0; }
  bool VertexAlive(int v) const { return m_Vertex[v].m_Alive != 0; }

  // The corner of a's face holding the directed edge b -> a (the face
  // (b, a, x)), or -1.
  int CornerAfter(int a, int b) const;
  // True when an edge joins a and b.
  bool Linked(int a, int b) const;
  // Vertices around v in fan order when v is inside a closed disc of
  // faces: ring[i] is the second corner of the i-th face from `start`
  // (a corner at v). False when the fan is open or not a single disc.
  bool InteriorRing(int start, std::vector<int>& ring, std::vector<int>& corners) const;
  // The second corner of the face v's corner record points at, or -1.
  int FirstNeighbour(int v) const {
    return m_Vertex[v].m_Corner < 0 ? -1 : m_Corners[Next(m_Vertex[v].m_Corner)].m_V;
  }
  // True when v lies on an open edge. Removals and re-insertions never
  // change it, so it is found once when the mesh is built.
  bool OnBoundary(int v) const { return m_Vertex[v].m_Boundary != 0; }
  // Number of neighbours of a vertex with one fan: its faces, plus one
  // when the fan is open.
  int Valence(int v) const { return m_Vertex[v].m_Faces + m_Vertex[v].m_Boundary; }

  // Deletes the faces of the given corners and adds the triangles (three
  // vertices each, oriented as the deleted region). Opposites are relinked
  // inside the new faces and to the faces around the region. Returns the
  // slots of the new faces, in order.
  void Replace(const std::vector<int>& doomedCorners, const int* triangles, int nbTriangles,
               std::vector<int>& newFaces);
  // Marks v as gone (it has no face left).
  void DropVertex(int v) { m_Vertex[v].m_Alive = 0; }

  // Layer scratch state.
  void ClearLayerState();
  char StateOf(int v) const { return m_Vertex[v].m_State; }
  void SetState(int v, char s) { m_Vertex[v].m_State = s; }
  char TagOf(int v) const { return m_Vertex[v].m_Tag; }
  void SetTagIfUnset(int v, char t) {
    if (m_Vertex[v].m_Tag == 0) m_Vertex[v].m_Tag = t;
  }
  void SetTag(int v, char t) { m_Vertex[v].m_Tag = t; }
  bool Conquered(int f) const { return m_Conquered[f] != 0; }
  void Conquer(int f) { m_Conquered[f] = 1; }

  // Alive faces as vertex triples, slot order.
  std::vector<int> Triangles() const;

private:
  int NewSlot();
  // Boundary flags and face counts from the corners.
  void CountCorners();

  std::vector<int32_t> m_Position;
  // One corner: its vertex (-1 in a free slot) and the opposite corner
  // (-1 on an open edge), side by side for the walks around vertices.
  struct CCorner {
    int m_V;
    int m_O;
  };
  // What the conquest reads of a vertex, in one place: a corner of its fan
  // (-1 without faces), its face count and its flags.
  struct CVertexRecord {
    int m_Corner = -1;
    int m_Faces = 0;
    char m_State = kFree;
    char m_Tag = 0;
    char m_Boundary = 0;
    char m_Alive = 1;
  };
  std::vector<CCorner> m_Corners;
  std::vector<CVertexRecord> m_Vertex;
  std::vector<char> m_Conquered;
  std::vector<int> m_FreeSlots;
  int m_NbFace = 0;
};

} // namespace orvex
