#pragma once

#include <vector>

#include "compression/ProgressiveMesh.h"

namespace orvex {

struct CRetriangulation;

// Layer types of the progressive valence coder.
enum { kDecimationLayer = 0, kCleaningLayer = 1 };

// Codes of a layer.
enum {
  kCodeEndOfLayer = 0,
  kCodeBoundary = 1, // followed by the side code 5 or 6
  kCodeNullPatch = 2,
  // 3 to 6: the front vertex was removed; the code is its valence
  kSideNext = 6,     // boundary removal: the face across the edge after r
  kSidePrevious = 5, // ... the face across the edge before r
};

// An oriented edge of the conquered region's border: its front face lies
// beyond, the face holding the directed edge right -> left. The corner
// facing the edge in the conquered face behind it (-1 for the first
// gates) leads to the front face through its opposite: conquered faces are
// never deleted, and the opposite follows any face made across the edge.
struct CGate {
  int m_Left, m_Right;
  int m_Corner;
};

// The gate queue and the conquest bookkeeping of one layer, shared by the
// encoder (which removes vertices) and the decoder (which puts them back):
// both walk the same gates in the same order and make the same state,
// tag and gate changes, so the decoder meets each code where the encoder
// wrote it.
class CLayerConquest {
public:
  explicit CLayerConquest(CProgressiveMesh& mesh) : m_Mesh(mesh) {}

  // Clears states, tags and conquered flags and queues the first gate in
  // both orientations, its vertices conquered and tagged 2 (left), 1
  // (right). A seed of -1 leaves the queue empty.
  void Start(int type, int seedLeft, int seedRight);
  int Type() const { return m_Type; }
  bool Pop(CGate& gate);
  void Push(int left, int right, int corner) { m_Queue.push_back({left, right, corner}); }

  // The corner of the gate's left vertex in its front face when that face
  // exists and is not conquered, else -1. Its front vertex is
  // V(Next(corner)).
  int FrontCorner(const CGate& gate) const;
  // The front face is conquered without removing its front vertex.
  void NullPatch(const CGate& gate, int corner);
  // After a removal (or re-insertion) of valence v: the inner border
  // vertices take the pattern's tags, the border is conquered, the new
  // faces are conquered, and the border edges give the next gates (a
  // cleaning layer conquers the free faces beyond them at once).
  void Retriangulated(const int* border, int size, const CRetriangulation& pattern,
                      const std::vector<int>& newFaces);
  // After a boundary removal: the new faces conquered, p conquered and
  // tagged 2 when untagged, and the one new gate queued.
  void BoundaryRemoved(const CGate& gate, int p, int side, const std::vector<int>& newFaces);

  // First gate of a layer: vertex 0 and vertex 1 when they are linked,
  // else vertex 0 and the first neighbour its fan meets; -1, -1 when
  // vertex 0 has no face.
  static void Seed(const CProgressiveMesh& mesh, int& left, int& right);

private:
  // The corner of the new faces facing the directed edge a -> b, or -1.
  int Facing(const std::vector<int>& faces, int a, int b) const;

  CProgressiveMesh& m_Mesh;
  int m_Type = kDecimationLayer;
  std::vector<CGate> m_Queue;
  size_t m_Head = 0;
};

} // namespace orvex
