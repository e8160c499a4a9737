#pragma once

#include <cstddef>
#include <vector>

#include "geometry/Array3d.h"
#include "geometry/Vertex3d.h"

// Index of every vertex of an array, kept on the side: unlike
// CVertexIndexer (Mesh3dIndexer.h) it writes nothing into the vertices, so
// code that only reads a mesh (drawing, writers) can number its corners
// while other readers look at the same mesh. A vertex foreign to the array
// has no index; a vertex listed twice gets the index of its last slot. The
// array must outlive the map and stay as it is meanwhile.
class CVertexIndexMap {
public:
  explicit CVertexIndexMap(const CArray3d<CVertex3d>& vertices);

  // Index of v in the array; -1 for null or a vertex foreign to the array.
  int IndexOf(const CVertex3d* v) const { return v ? m_Slots[SlotOf(v)] : -1; }

private:
  // open addressing over a power-of-two table of array indices (-1 for an
  // empty slot), at most half full; four bytes a slot keep it in cache
  const CArray3d<CVertex3d>& m_Vertices;
  std::vector<int> m_Slots;
  size_t m_Mask = 0;

  // The slot holding v, or the empty slot where it would go.
  size_t SlotOf(const CVertex3d* v) const;
};
