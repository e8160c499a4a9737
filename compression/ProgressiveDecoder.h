#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orvex {

class CProgressiveMesh;
struct CQuantizer;
struct CVpmFile;

// A vertex put back by a layer, with its border (as the encoder's removal
// record has it).
struct CInsertion {
  int m_Vertex = -1;
  int m_Border[6] = {-1, -1, -1, -1, -1, -1};
  int m_Size = 0;
};

// Replays one layer's conquest on the mesh and puts back the vertices its
// codes name (their positions are left to the caller). 0 with error when
// the codes do not fit the mesh (too few, too many). Codes: a valence-3
// removal is 3 in both layer types.
int DecodeLayer(CProgressiveMesh& mesh, int type, const std::vector<int>& codes,
                std::vector<CInsertion>& inserted, std::string& error);

struct CDecodeOptions {
  // layers to decode, coarsest first; 0: all
  int m_MaxLayers = 0;
  // after the base and after each layer, with the number of layers done
  // and the type of the last one (-1 for the base)
  std::function<void(const CProgressiveMesh&, const CQuantizer&, int, int)> m_OnLayer;
};

// Builds the base mesh of the file, then decodes its layers from the
// coarsest, each with its positions. 0 with error on codes that do not fit
// the mesh. Reports progress and may be cancelled (geometry/Progress.h).
int DecodeProgressive(const CVpmFile& file, const CDecodeOptions& options, CProgressiveMesh& mesh,
                      std::string& error);

} // namespace orvex
