#pragma once

#include <memory>
#include <vector>

#include "geometry/Mesh3d.h"

class CTile3d;

// A node of a tiling: a vertex tile covers every face around its centre
// vertex, a face tile covers one face left between vertex tiles.
class CTile3d {
public:
  CVertex3d* m_pVertex = nullptr; // centre of a vertex tile, null for a face tile
  float m_Position[3] = {0.0f, 0.0f, 0.0f};
  CFace3d* m_pFace = nullptr;            // face of a face tile, null for a vertex tile
  std::vector<CTile3d*> m_ArrayNeighbor; // no duplicates
  int m_Drawn = 0;
  int m_Index = 0; // place in the tiling's tile array

  bool IsFaceTile() const { return m_pFace != nullptr; }
  // Links this and t both ways (each list without duplicates; a tile is
  // never its own neighbour). Returns 1 when a link was added.
  int Link(CTile3d* t);
  int HasNeighbor(const CTile3d* t) const;
  void SetPosition(const CVector3d& p);
  CVector3d Position() const { return CVector3d(m_Position[0], m_Position[1], m_Position[2]); }
  // What scales the tile's sphere: the mean edge length of a face tile's
  // face, the mean distance from a vertex tile's centre to its neighbours.
  double SizeMeasure() const;
};

// A closed cycle of tiles, in the order of the walk that found it.
class CTilePolygon3d {
public:
  std::vector<CTile3d*> m_ArrayTile;
  int m_Closed = 1;
  int NbTile() const { return static_cast<int>(m_ArrayTile.size()); }
};

// A triangle mesh covered by tiles: it holds its own copy of the source
// mesh, the tiles grown on it and the polygons of tiles meeting around a
// vertex. Drawn as spheres at the tiles joined by lines to their neighbours.
class CTilingMesh3d : public CMesh3d {
public:
  std::vector<std::unique_ptr<CTile3d>> m_ArrayTile;
  std::vector<std::unique_ptr<CTilePolygon3d>> m_ArrayPolygon;
  // The tile covering each face of the copy, by face index (null until
  // covered); sized when a tiling is grown.
  std::vector<CTile3d*> m_FaceTile;

  CTilingMesh3d() = default;
  int GetType() override { return TYPE_TILING_MESH3D; }
  // Through the installed renderer (ObjectRenderer.h): the tiles only.
  int glBuildList() const override;
  int glDraw() const override;
  // The copy, its tiles and polygons (the links mapped into the clone).
  CTilingMesh3d* Clone() const override;

  int NbTile() const { return static_cast<int>(m_ArrayTile.size()); }
  int NbPolygon() const { return static_cast<int>(m_ArrayPolygon.size()); }
  CTile3d* GetTile(int i) const { return m_ArrayTile[static_cast<size_t>(i)].get(); }
  // Appends a new tile at the end of the tile array.
  CTile3d* AddTile(CVertex3d* centre, CFace3d* face);
  // Forgets every tile and polygon.
  void ClearTiles();
  // The tile of face index i, or null.
  CTile3d* TileOfFace(int i) const {
    return i >= 0 && static_cast<size_t>(i) < m_FaceTile.size() ? m_FaceTile[size_t(i)] : nullptr;
  }
};
