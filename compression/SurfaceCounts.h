#pragma once

class CPolygonMesh;

// Vertices, faces, distinct edges, connected components (isolated vertices
// count as components) and the genus C - (V - E + F) / 2 (integer division)
// of a polygon mesh.
struct CSurfaceCounts {
  long long m_V = 0, m_F = 0, m_E = 0, m_C = 0, m_G = 0;
};
CSurfaceCounts CountSurface(const CPolygonMesh& mesh);
