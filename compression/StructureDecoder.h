#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CMesh3d;

namespace orvex {

// Connectivity decoded from a structure file: vertices numbered in
// conquest order (isolated vertices last), faces in conquest order.
struct CStructureDecoded {
  int m_NbVertex = 0;
  std::vector<int> m_Triangles;
  bool m_bFullPivots = true; // the focus rule the file was decoded with
};

// Replays the conquest the codes describe. The file does not say which
// focus rule made it: the rule with full vertices as pivots (the default)
// is tried first and the other one when the codes do not fit it. A file
// that fits neither is refused with the reason found under the default.
int DecodeStructure(const uint8_t* data, size_t size, CStructureDecoded& decoded,
                    std::string& error);
// The same with a given focus rule.
int DecodeStructure(const uint8_t* data, size_t size, bool fullPivots, CStructureDecoded& decoded,
                    std::string& error);

// A new mesh with the decoded faces; the file has no geometry, so the
// vertices are laid on a spiral over the unit sphere in their order.
CMesh3d* NewDecodedMesh(const CStructureDecoded& decoded);

} // namespace orvex
