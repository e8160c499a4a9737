#pragma once

// Passes shared by the subdivision operations of LoopSubdivision.h: the
// guard that keeps the edges of faces that cannot be split whole, the
// uniform edge pass, the face-split table and the creation of new vertices.

#include <cstddef>
#include <unordered_set>
#include <vector>

class CMesh3d;
class CFace3d;
class CVertex3d;

// Face flag of a face that takes no part in a uniform split (an untouched
// face has flag 0, a processed one its index: see ProcessedIndex).
constexpr int kFaceLeftWhole = -1;

// Edge vertices S0, S1, S2 of the faces of a refinement step (S_i on the
// edge (v(i), v(i+1)), null when the edge stays whole), kept beside the mesh
// for the length of the step: row fi belongs to the face at index fi when
// the step began.
class CEdgeVertices {
public:
  explicit CEdgeVertices(int nbFace)
      : m_Vertex(3 * static_cast<std::size_t>(nbFace > 0 ? nbFace : 0), nullptr) {}
  CVertex3d** Row(int fi) { return &m_Vertex[3 * static_cast<std::size_t>(fi)]; }
  CVertex3d* const* Row(int fi) const { return &m_Vertex[3 * static_cast<std::size_t>(fi)]; }

private:
  std::vector<CVertex3d*> m_Vertex;
};

// The edge passes visit faces in index order and give each face they
// process its index as flag, so that a later face finds the edge vertices
// of a neighbour processed before it. The index of g when its flag names a
// slot below `count` that holds g; -1 otherwise, whatever flag g holds (an
// unprocessed face's flag never passes the check).
int ProcessedIndex(const CMesh3d* mesh, const CFace3d* g, int count);

// Faces that a uniform split leaves whole, known through their corners.
class CWholeFaces {
public:
  // Gives flag kFaceLeftWhole to every face failing takesPart and 0 to the
  // others.
  void Mark(CMesh3d* mesh, int (*takesPart)(const CFace3d*));
  // True when a face left whole holds the edge (a, b): such an edge stays
  // whole on every side.
  bool HoldsEdge(const CVertex3d* a, const CVertex3d* b) const;

private:
  std::unordered_set<const CVertex3d*> m_Corners;
};

// Edge rules of the uniform edge pass.
enum class EdgeRule {
  LoopMasks, // Loop's interior mask, midpoints and boundary flags on boundary edges
  Midpoints  // midpoints everywhere, vertex flags untouched
};

// Edge pass of the Loop step, the 1-to-4 split and the fractal split: fills
// the edge vertices of every face that takes part, creating each shared edge
// vertex once, and flags those faces with their index. Returns the number of
// edge vertices filled.
int UniformEdgePass(CMesh3d* mesh, EdgeRule rule, const CWholeFaces& whole, CEdgeVertices& edges);

// Takes-part test of the splits other than the Loop step: no null corner.
int FaceHasThreeCorners(const CFace3d* f);

// Index j of g's edge (v(j), v(j+1)) joining a and b in either direction, or
// -1 when g has no such edge.
int CommonEdge(const CFace3d* g, const CVertex3d* a, const CVertex3d* b);

// Appends a vertex at (x, y, z) rounded to single precision.
CVertex3d* AppendVertex(CMesh3d* mesh, double x, double y, double z);
CVertex3d* AppendMidpoint(CMesh3d* mesh, const CVertex3d* a, const CVertex3d* b);

// Splits face f by the shared table according to its edge vertices s
// (S0, S1, S2), appending the new faces, then clears its flag.
void SplitFace(CMesh3d* mesh, CFace3d* f, CVertex3d* const s[3]);

// Face pass: SplitFace on the first nbFace faces with their rows of edges;
// `filled` (the number of edge vertices, which is the number of faces
// appended) sizes the array once.
void SplitFaces(CMesh3d* mesh, int nbFace, int filled, const CEdgeVertices& edges);
