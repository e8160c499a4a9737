#pragma once

// Flat copy of a mesh's positions, one-rings and incidences, on which
// repeated smoothing steps and normal updates run without walking the
// element objects (Smoothing.cpp).

#include <unordered_map>
#include <vector>

class CMesh3d;
class CVertex3d;
class CFace3d;

class CSmoothingFrame {
public:
  // Takes the mesh's vertices, their neighbour lists and incident-face
  // lists and the face corners as they are now. Vertices or faces the lists
  // name but the arrays do not hold take part as fixed "ghosts": their
  // position (normal) is read once and never changes. With freshAdjacency
  // the caller vouches that BuildAdjacency has just run: the lists are then
  // derived from the face corners in the order it gives them (faces in
  // array order at every vertex; at every vertex, the other corners of its
  // faces in that order), without visiting the lists.
  CSmoothingFrame(const CMesh3d* mesh, int moveBoundaries, bool freshAdjacency = false);

  // Called after BuildAdjacency rebuilt the mesh the frame was taken from
  // (same elements and corners): takes the new one-rings and incident
  // faces from the corners. False when the frame cannot (a corner outside
  // the vertex array, or a mesh BuildAdjacency leaves alone).
  bool TakeRebuiltAdjacency();

  // One smoothing step of the vertices that move.
  void Step();
  // Face normals (CFace3d::CalculateNormal's rounding) and vertex normals
  // (normalised sum of the incident face normals, in list order), as the
  // mesh's CalculateNormalPerFace and CalculateNormalPerVertex give them.
  void ComputeNormals();
  // Writes the positions into the vertices, and the normals (when
  // computed) into the faces and vertices.
  void WritePositions() const;
  void WriteNormals() const;

private:
  // Index of an element: its slot in the array (found through the flag the
  // constructor gives it), else a ghost index.
  int IndexOfVertex(const CVertex3d* v);
  int IndexOfFace(const CFace3d* f);
  int GhostVertex(const CVertex3d* v);
  // Face i keeps the normal it has.
  void KeepFaceNormal(int i);
  int GhostFace(const CFace3d* f);
  // The incident faces and one-rings of every vertex, from the lists or
  // from the corners.
  void ListsFromMesh();
  // The weight of every vertex that moves (LoopAlpha of its one-ring size).
  void ComputeWeights();
  void ListsFromCorners();

  int m_NbVertex = 0; // vertices of the array; ghosts follow
  int m_NbFace = 0;   // faces of the array; ghosts follow
  std::vector<CVertex3d*> m_Vertices;
  std::vector<CFace3d*> m_Faces;
  std::unordered_map<const CVertex3d*, int> m_GhostVertex;
  std::unordered_map<const CFace3d*, int> m_GhostFace;

  std::vector<double> m_Xyz, m_Next;    // 3 per vertex
  std::vector<int> m_RingStart, m_Ring; // neighbour indices per vertex
  std::vector<double> m_Alpha;          // LoopAlpha of each vertex; < 0: fixed
  std::vector<int> m_Corner;            // 3 per face, -1 for a null corner
  std::vector<int> m_FanStart, m_Fan;   // incident face indices per vertex
  // Normals by coordinate (x, y and z arrays), so that normalising them
  // runs on whole vectors.
  struct CNormals {
    std::vector<double> x, y, z;
    void Resize(size_t n) { x.resize(n), y.resize(n), z.resize(n); }
    // Divides each of the first n vectors by its length when that is not
    // zero, as CVector3d::Normalize does.
    void Normalize(size_t n);
  };
  CNormals m_FaceNormal;              // per face, ghosts included
  CNormals m_VertexNormal;            // per vertex of the array
  std::vector<int> m_KeptNormalFaces; // faces with a null corner keep their normal
  std::vector<char> m_HasFaces;       // the vertex has an incident face
  bool m_NormalsComputed = false;
  bool m_CornersInArray = false;
  int m_MoveBoundaries = 1;
};
