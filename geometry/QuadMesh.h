#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "geometry/Color.h"
#include "geometry/FlatSceneMesh3d.h"

// A vertex of a quad mesh: single-precision position and normal, colour.
struct CQuadVertex {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  float nx = 0.0f, ny = 0.0f, nz = 0.0f;
  CColor m_Color;
};

// A quad: corners 0 … 3 (edge i joins corner i and corner (i + 1) mod 4),
// the edge-point and face-point slots the subdivisions fill, the quad
// across each edge (-1 on a boundary) and the unit normal.
struct CQuadFace {
  int v[4] = {-1, -1, -1, -1};
  int edge[4] = {-1, -1, -1, -1};
  int facePoint = -1;
  int neighbor[4] = {-1, -1, -1, -1};
  float normal[3] = {0.0f, 0.0f, 0.0f};
};

// Mesh of quads in flat arrays. Adjacency (BuildAdjacency) gives every
// vertex its incident quads and its neighbour vertices (compressed rows),
// and every quad the first other quad across each of its edges.
class CQuadMesh : public CFlatSceneMesh3d {
public:
  CQuadMesh() : CFlatSceneMesh3d("QuadMesh") {}

  std::vector<CQuadVertex> m_Vertices;
  std::vector<CQuadFace> m_Faces;
  // incident quads of vertex i: m_VertexFaces[m_VertexFaceStart[i] ..
  // m_VertexFaceStart[i + 1]), in quad order; neighbours alike
  std::vector<int> m_VertexFaceStart;
  std::vector<int> m_VertexFaces;
  std::vector<int> m_NeighborStart;
  std::vector<int> m_Neighbors;

  // CObject3d
  int GetType() override { return TYPE_QUAD_MESH; }
  int glBuildList() const override;
  int glDraw() const override;
  CQuadMesh* Clone() const override { return new CQuadMesh(*this); }
  // CSceneMesh3d
  void DrawContent() const override;
  // The faces, in their colours when colors is set.
  void DrawFaces(bool colors) const;

  int NbVertex() const { return static_cast<int>(m_Vertices.size()); }
  int NbFace() const { return static_cast<int>(m_Faces.size()); }
  void Clear();
  int AddVertex(float x, float y, float z);
  // Appends the quad (a, b, c, d); -1 (nothing added) when a corner is not
  // a vertex index.
  int AddFace(int a, int b, int c, int d);

  // Incident quads, neighbour vertices and the quads across the edges;
  // does nothing (returns 0) with 3 vertices or fewer, or no quad.
  int BuildAdjacency();
  // The two halves of it: the rows of the vertices (incident quads and
  // neighbours; 0 when there are 3 vertices or fewer, or no quad), and the
  // quads across the edges (from the rows).
  int BuildVertexRows();
  void BuildFaceNeighbors();
  bool HasAdjacency() const {
    return m_VertexFaceStart.size() == m_Vertices.size() + 1 &&
           m_NeighborStart.size() == m_Vertices.size() + 1;
  }
  int NbFaceOf(int v) const { return m_VertexFaceStart[v + 1] - m_VertexFaceStart[v]; }
  int NbNeighborOf(int v) const { return m_NeighborStart[v + 1] - m_NeighborStart[v]; }
  // Newell normals of the quads; vertex normals as the normalised sum of
  // the normals of the quads around each vertex.
  void CalculateNormals();
  // Adjacency, normals, display list out of date.
  void Rebuild();
};

// Bytes a quad mesh holds (its arrays' capacities).
size_t QuadMeshBytes(const CQuadMesh& mesh);

// A quad mesh from flat arrays (x, y, z per vertex; four corners per
// quad); quads with a corner outside the vertices are skipped and counted
// in *skipped. The mesh is rebuilt.
CQuadMesh* MakeQuadMesh(const std::vector<float>& xyz, const std::vector<int>& corners,
                        int* skipped = nullptr);
void FillQuadMesh(CQuadMesh& mesh, const std::vector<float>& xyz, const std::vector<int>& corners,
                  int* skipped = nullptr);
