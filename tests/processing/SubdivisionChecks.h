#pragma once

// Checks shared by the subdivision tests.

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>

#include "geometry/Mesh3d.h"

namespace subdivisionchecks {

using MeshPtr = std::unique_ptr<CMesh3d>;

// Number of faces on each undirected edge, by vertex indices.
inline std::map<std::pair<int, int>, int> EdgeFaceCounts(const CMesh3d& mesh) {
  std::unordered_map<const CVertex3d*, int> index;
  for (int i = 0; i < mesh.NbVertex(); i++) index[mesh.GetVertex(i)] = i;
  std::map<std::pair<int, int>, int> count;
  for (int i = 0; i < mesh.NbFace(); i++)
    for (int k = 0; k < 3; k++) {
      int a = index.at(mesh.GetFace(i)->v(k)), b = index.at(mesh.GetFace(i)->v((k + 1) % 3));
      count[{std::min(a, b), std::max(a, b)}]++;
    }
  return count;
}

// Largest number of faces on one edge.
inline int MaxFacesOnEdge(const CMesh3d& mesh) {
  int most = 0;
  for (const auto& entry : EdgeFaceCounts(mesh)) most = std::max(most, entry.second);
  return most;
}

// Every face flag 0: the state outside a step.
inline bool ScratchCleared(const CMesh3d& mesh) {
  for (int i = 0; i < mesh.NbFace(); i++)
    if (mesh.GetFace(i)->m_Flag != 0) return false;
  return true;
}

} // namespace subdivisionchecks
