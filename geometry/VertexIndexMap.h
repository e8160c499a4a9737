#pragma once

#include <cstddef>
#include <vector>

#include "geometry/Array3d.h"
#include "geometry/Vertex3d.h"

// Index of every vertex of an array, kept on the side: unlike
// CVertexIndexer (Mesh3dIndexer.h) it writes nothing into the vertices, so
// code that only reads a mesh (drawing, writers) can number its corners
// while other readers look at the same mesh. A vertex foreign to the array
// has no index; a vertex listed twice gets the index of its last slot.
class CVertexIndexMap {
public:
  explicit CVertexIndexMap(const CArray3d<CVertex3d>& vertices);

  // Index of v in the array; -1 for null or a vertex foreign to the array.
  int IndexOf(const CVertex3d* v) const;

private:
  // open addressing over a power-of-two table, at most half full
  struct Slot {
    const CVertex3d* m_Vertex = nullptr;
    int m_Index = -1;
  };
  std::vector<Slot> m_Slots;
  size_t m_Mask = 0;

  size_t SlotOf(const CVertex3d* v) const;
};
