#pragma once

// Vertices by position for the formats that give each triangle its own
// corners (STL): corners at exactly the same place share one vertex of the
// builder, so that the mesh gets its adjacency back. A hash table on the
// positions' bits, expected O(1) per corner.

#include <cstddef>
#include <cstdint>
#include <vector>

class CMeshBuilder;

class CPositionWelder {
public:
  // expectedVertices only sizes the table; it grows as needed.
  CPositionWelder(CMeshBuilder& builder, size_t expectedVertices);
  // The vertex at (x, y, z), added to the builder when new. -0 and +0 are
  // one place; the coordinates must be finite.
  int Vertex(float x, float y, float z);

private:
  // A vertex with its position's bits, so that a probe reads one place.
  struct Slot {
    uint32_t bits[3];
    int vertex; // -1 when empty
  };
  size_t SlotOf(const uint32_t bits[3]) const;
  void Grow();

  CMeshBuilder& m_Builder;
  std::vector<Slot> m_Slots; // at most half full
  size_t m_Mask = 0;
};
