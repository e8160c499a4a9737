#include "compression/ProgressivePatterns.h"

namespace orvex {

namespace {

// Border vertices tagged 2 receive the pattern's diagonals, those tagged
// 1 only lose the removed vertex; choosing the pattern by the gate's tags
// carries that alternation from patch to patch, so that the vertices left
// with valence 3 are the ones the cleaning layer removes. Each valence has
// its cases below, in the order they are tried.
const CRetriangulation kValence3[] = {
    {3, 1, {{0, 1, 2}}, {1}}, // L = 2 and R = 2
    {3, 1, {{0, 1, 2}}, {2}}, // otherwise
};
const CRetriangulation kValence4[] = {
    {4, 2, {{0, 2, 3}, {0, 1, 2}}, {1, 2}}, // L = 2 and R is 1 or 2
    {4, 2, {{0, 1, 3}, {1, 2, 3}}, {2, 1}}, // otherwise
};
const CRetriangulation kValence5[] = {
    {5, 3, {{0, 3, 4}, {0, 1, 3}, {1, 2, 3}}, {2, 1, 2}}, // L = 2 and R = 1
    {5, 3, {{0, 1, 2}, {0, 2, 4}, {2, 3, 4}}, {1, 2, 1}}, // L = 2 and R = 2
    {5, 3, {{0, 1, 4}, {1, 3, 4}, {1, 2, 3}}, {2, 1, 2}}, // otherwise
};
const CRetriangulation kValence6[] = {
    {6, 4, {{0, 4, 5}, {0, 2, 4}, {0, 1, 2}, {2, 3, 4}}, {1, 2, 1, 2}}, // L = 2, R is 1 or 2
    {6, 4, {{0, 1, 5}, {1, 3, 5}, {1, 2, 3}, {3, 4, 5}}, {2, 1, 2, 1}}, // otherwise
};

} // namespace

const CRetriangulation* RetriangulationFor(int valence, int tagLeft, int tagRight) {
  const bool rightTagged = tagRight == 1 || tagRight == 2;
  switch (valence) {
  case 3:
    return &kValence3[tagLeft == 2 && tagRight == 2 ? 0 : 1];
  case 4:
    return &kValence4[tagLeft == 2 && rightTagged ? 0 : 1];
  case 5:
    if (tagLeft == 2 && tagRight == 1) return &kValence5[0];
    if (tagLeft == 2 && tagRight == 2) return &kValence5[1];
    return &kValence5[2];
  case 6:
    return &kValence6[tagLeft == 2 && rightTagged ? 0 : 1];
  default:
    return nullptr;
  }
}

} // namespace orvex
