// The coarser mesh of a tiling: its tiles become the vertices and its
// polygons the faces.

#include "geometry/TilingMesh3d.h"
#include "processing/Tiling.h"

CMesh3d* GenerateMesh(const CTilingMesh3d* tiling) {
  auto* mesh = new CMesh3d;
  if (!tiling) return mesh;

  // one vertex per tile, at the tile's index
  mesh->m_ArrayVertex.Reserve(tiling->NbTile());
  for (const auto& tile : tiling->m_ArrayTile)
    mesh->AddVertex(new CVertex3d(tile->m_Position[0], tile->m_Position[1], tile->m_Position[2]));

  // one face per three-tile polygon; a larger polygon (left unsplit) gets
  // the triangles of its best fan rather than leaving a hole
  mesh->m_ArrayFace.Reserve(tiling->NbPolygon());
  for (const auto& polygon : tiling->m_ArrayPolygon) {
    const std::vector<CTile3d*>& t = polygon->m_ArrayTile;
    const int n = polygon->NbTile();
    if (n < 3) continue;
    const int j = n == 3 ? 0 : BestFan(t);
    for (int k = 0; k + 3 <= n; k++) {
      int c[3];
      FanTriangle(n, j, k, c);
      mesh->AddFace(new CFace3d(mesh->GetVertex(t[size_t(c[0])]->m_Index),
                                mesh->GetVertex(t[size_t(c[1])]->m_Index),
                                mesh->GetVertex(t[size_t(c[2])]->m_Index)));
    }
  }
  mesh->m_Transform.Copy(tiling->m_Transform);
  mesh->Rebuild();
  return mesh;
}
