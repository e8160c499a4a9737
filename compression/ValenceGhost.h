#pragma once

#include <utility>
#include <vector>

class CMesh3d;
class CVertex3d;
class CFace3d;

namespace orvex {

// The ghost vertex: one extra vertex shared by every boundary of a mesh, at
// the mean position of the boundary vertices, with one extra face (the
// boundary edge's two vertices and the ghost) per face edge without a
// neighbour face, so that the conquest sees a closed surface. Everything it
// adds is recorded so that Remove gives back the mesh exactly: the vertex
// and face arrays, the neighbour and face lists and the face links.
class CValenceGhost {
public:
  CValenceGhost() = default;
  CValenceGhost(const CValenceGhost&) = delete;
  CValenceGhost& operator=(const CValenceGhost&) = delete;
  ~CValenceGhost() = default;

  // Closes every boundary of the mesh; returns 1 when a ghost was added, 0
  // for a closed mesh (nothing changes).
  int Close(CMesh3d& mesh);
  // Takes the ghost vertex and its faces out again and deletes them.
  void Remove(CMesh3d& mesh);
  // Leaves the ghost in the mesh for good (it is then the mesh's).
  void Keep();

  CVertex3d* Vertex() const { return m_Ghost; }
  int NbFace() const { return static_cast<int>(m_Faces.size()); }

private:
  CVertex3d* m_Ghost = nullptr;
  std::vector<CFace3d*> m_Faces;
  std::vector<std::pair<CFace3d*, int>> m_OpenEdges;
  std::vector<CVertex3d*> m_Boundary;
};

} // namespace orvex
