#pragma once

namespace orvex {

// How the hole left by a removed vertex of valence v (3 to 6) is filled,
// chosen by the retriangulation tags of the gate's left and right
// vertices. The border is b0 (the gate's left vertex) ... b(v-1) (its
// right vertex); faces are border indices in their vertex order, and the
// inner border vertices b1 ... b(v-2) take the listed tags when untagged.
// The decoder fills the same pattern back with the removed vertex's fan.
struct CRetriangulation {
  int valence;
  int nbFace;     // valence - 2
  int face[4][3]; // border indices
  int tag[4];     // tags of b1 ... b(valence - 2)
};

// The pattern for valence v (3..6) and the tags of L and R; null for
// another valence.
const CRetriangulation* RetriangulationFor(int valence, int tagLeft, int tagRight);

} // namespace orvex
