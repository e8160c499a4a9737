#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "geometry/Color.h"
#include "geometry/DrawOptions.h"
#include "geometry/FlatSceneMesh3d.h"
#include "geometry/Vector3d.h"

class CMesh3d;
class CQuadMesh;

// A vertex of a polygon mesh.
struct CPolygonVertex {
  double x = 0.0, y = 0.0, z = 0.0;
  int m_Index = -1;  // slot the conversions use (index of the vertex made from this one)
  int m_Valence = 0; // polygon edges at the vertex, set by BuildAdjacency
  int m_Counter = 0; // working counter of the regular triangulation
};

// Mesh of faces with any number (three or more) of corners, kept in flat
// arrays: face f has the corners m_Corners[m_FaceStart[f] .. m_FaceStart[f + 1])
// in order, a colour and a unit normal (Newell's method, so that faces that
// are not quite planar still get a sound normal).
class CPolygonMesh : public CFlatSceneMesh3d {
public:
  CPolygonMesh() : CFlatSceneMesh3d("PolygonMesh") {}

  std::vector<CPolygonVertex> m_Vertices;
  std::vector<int> m_FaceStart{0};
  std::vector<int> m_Corners;
  std::vector<CColor> m_FaceColor;
  std::vector<CVector3d> m_FaceNormal;

  // CObject3d
  int GetType() override { return TYPE_POLYGON_MESH; }
  int glBuildList() const override;
  int glDraw() const override;
  CPolygonMesh* Clone() const override { return new CPolygonMesh(*this); }
  // CSceneMesh3d
  void DrawContent() const override;
  // The faces, in their colours when colors is set.
  void DrawFaces(bool colors) const;

  int NbVertex() const { return static_cast<int>(m_Vertices.size()); }
  int NbFace() const { return static_cast<int>(m_FaceStart.size()) - 1; }
  int NbCorner() const { return static_cast<int>(m_Corners.size()); }
  int FaceSize(int f) const { return m_FaceStart[f + 1] - m_FaceStart[f]; }
  const int* FaceCorners(int f) const { return m_Corners.data() + m_FaceStart[f]; }
  int* FaceCorners(int f) { return m_Corners.data() + m_FaceStart[f]; }

  // Empties the mesh (vertices and faces).
  void Clear();
  int AddVertex(double x, double y, double z);
  // Appends a face of n corners; -1 (nothing added) when n < 3 or a corner
  // is not a vertex index.
  int AddFace(const int* corners, int n, CColor color = CColor());
  void Reserve(int vertices, int faces, int corners);

  // Vertex valences (distinct polygon edges at each vertex).
  int BuildAdjacency();
  // Newell normal of every face.
  void CalculateNormals();
  // Adjacency, normals, display list out of date.
  void Rebuild();
};

// Bytes a polygon mesh holds (its arrays' capacities).
size_t PolygonMeshBytes(const CPolygonMesh& mesh);

// A polygon mesh from flat arrays, as a file reader produces them: x, y, z
// per vertex, the corner count of each face, and the corners of all faces
// one after the other. Faces with fewer than three corners or a corner
// outside the vertices are skipped and counted in *skipped. The mesh is
// rebuilt (valences, normals). Null when the arrays disagree (the corner
// counts add up to more corners than given).
CPolygonMesh* MakePolygonMesh(const std::vector<float>& xyz, const std::vector<int>& sizes,
                              const std::vector<int>& corners, int* skipped = nullptr);
// The same into an existing mesh (emptied first); 0, the mesh untouched,
// when the arrays disagree.
int FillPolygonMesh(CPolygonMesh& mesh, const std::vector<float>& xyz,
                    const std::vector<int>& sizes, const std::vector<int>& corners,
                    int* skipped = nullptr);
