#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CMesh3d;
class CVertex3d;

namespace orvex {

// Face-vertex incidence of the mesh under conquest, by array index, with the
// per-face conquered flag and the per-vertex counters that the conquest
// reads: the free degree (edges with a face not yet conquered), the number
// of faces not yet conquered and, when only one is left, which one it is.
class CValenceTopology {
public:
  // Indexes the mesh's vertices and faces (vertex flags receive the vertex
  // indices). Fails with a message on a face with a missing corner or a
  // corner outside the mesh's vertex array.
  int Build(CMesh3d& mesh, std::string& error);

  int NbVertex() const { return static_cast<int>(m_Vertex.size()); }
  int NbFace() const { return static_cast<int>(m_Corner.size() / 3); }
  int Corner(int f, int k) const { return m_Corner[3 * f + k]; }
  const int* FacesBegin(int v) const { return m_Faces.data() + m_FaceStart[v]; }
  const int* FacesEnd(int v) const { return m_Faces.data() + m_FaceStart[v + 1]; }
  // Length of the vertex's neighbour list in the mesh.
  int Valence(int v) const { return m_Valence[v]; }
  CVertex3d* Vertex(int v) const { return m_Vertex[v]; }
  double Distance(int a, int b) const;

  bool Conquered(int f) const { return m_Conquered[f] != 0; }
  const std::vector<char>& ConqueredFlags() const { return m_Conquered; }
  int FreeDegree(int v) const { return m_FreeDegree[v]; }
  int RemainingFaces(int v) const { return m_Remaining[v]; }
  // The one face of v not yet conquered (meaningful when RemainingFaces is 1).
  int LastRemainingFace(int v) const { return static_cast<int>(m_RemainingXor[v]); }

  // Marks f conquered and updates the counters of its corners; 0 when it
  // already was conquered.
  int Conquer(int f);

  bool HasCorner(int f, int v) const {
    return m_Corner[3 * f] == v || m_Corner[3 * f + 1] == v || m_Corner[3 * f + 2] == v;
  }
  // A face not yet conquered having corners a and b, or -1.
  int FindFreeFace(int a, int b) const;
  // A conquered face other than `except` having corners a and b, or -1.
  int FindConqueredFace(int a, int b, int except) const;
  // A face with corners a, b and c, one not yet conquered first; -1.
  int FindFace(int a, int b, int c) const;
  // The corner of f that is neither a nor b (-1 for a degenerate face).
  int Third(int f, int a, int b) const;

private:
  bool EdgeIsFree(int a, int b) const { return FindFreeFace(a, b) >= 0; }

  std::vector<CVertex3d*> m_Vertex;
  std::vector<int> m_Corner;
  std::vector<int> m_FaceStart;
  std::vector<int> m_Faces;
  // beside every incident face, its two other corners (for edge queries
  // that stay in the vertex's own block)
  struct COthers {
    int m_A, m_B;
  };
  std::vector<COthers> m_Others;
  std::vector<int> m_Valence;
  std::vector<char> m_Conquered;
  std::vector<int> m_FreeDegree;
  std::vector<int> m_Remaining;
  std::vector<uint32_t> m_RemainingXor;
};

} // namespace orvex
