#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compression/ArithmeticCoder.h"

#include "compression/IsoModelSet.h"
#include "compression/IsoVolume.h"

// Number of sign contexts (15 bits) and the two occupancy contexts after them.
constexpr int kIsoSignContexts = 32768;
constexpr int kIsoLeafContexts = 2;

// What the breadth-first octree walk asks of its coder: the encoder writes
// the symbols it knows, the decoder reads them. Each returns the symbol, or
// -1 when coding failed (the walk then stops).
class CIsoSymbols {
public:
  virtual ~CIsoSymbols() = default;
  // Sign of lattice point `index` in sign context `context`.
  virtual int Sign(int context, int64_t index) = 0;
  // Occupancy bit of the uniform child with minimum corner (x, y, z) and
  // size `size`, in leaf context `context` (the previous occupancy bit).
  virtual int Occupancy(int context, int64_t x, int64_t y, int64_t z, int64_t size) = 0;
  // Every cell of `level` is coded; 0 stops the walk.
  virtual int LevelDone(int level) = 0;
};

// Walks the octree of depth `depth` over `signs` breadth first, coding each
// cell's 27 lattice points not yet in `known` (in their sign context) and an
// occupancy bit for every uniform child above the last level. A child coded
// empty has its six faces marked known and all its points given its sign.
// `signs` holds the true signs (encoder) or fills up (decoder); only known
// signs feed the contexts. Every cell below the root holds a cell with a
// sign change at unit step, so no level of a sound walk has more cells than
// the surface has vertices: the walk stops as soon as a level would exceed
// `cellLimit`. Returns 1, or 0 when a symbol could not be coded or the
// limit was passed.
int IsoTraverse(int depth, CBitGrid& signs, CBitGrid& known, CIsoSymbols& symbols,
                int64_t cellLimit = INT64_MAX);

// The sign models and the two occupancy models, made on first use.
int IsoInitConnectivityModels(CIsoModelSet& models, std::string& error);
// The binary model of a connectivity context (sign contexts first).
inline AcModel* IsoConnectivityModel(CIsoModelSet& models, int context) {
  return models.Get(context, 2);
}
