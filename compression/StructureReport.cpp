#include "compression/StructureReport.h"

#include <cstdio>
#include <set>

#include "compression/StructureMesh.h"
#include "geometry/FormatText.h"

namespace orvex {

namespace {} // namespace

std::string StructureReport(const CStructureResult& result) {
  const double seconds = result.m_Seconds;
  char duration[96];
  if (seconds > 60.0)
    std::snprintf(duration, sizeof duration, "Duration   : %g %s\r\n", seconds / 60.0, "min(s)");
  else
    std::snprintf(duration, sizeof duration, "Duration   : %g %s\r\n", seconds, "sec(s)");
  // a run too short for the clock has no meaningful speed
  const double speed = seconds > 0.0 ? result.m_NbFaces / seconds : 0.0;
  return FormatText("Cost       : %g bit(s)/face\r\n", result.m_Cost) + duration +
         FormatText("Speed     : %g faces/s\r\n", speed) +
         FormatText("Nb faces   : %d faces\r\n", result.m_NbFaces) +
         FormatText("Nb degrees : %d\r\n", static_cast<int>(result.m_Streams.m_Degrees.size())) +
         FormatText("Nb offsets : %d\r\n", result.m_NbOffsets);
}

std::string StructureSeedTableHeader() {
  return "Seed\tBoundary\tNbVertexNeighbor\tNbOffset\tNbGhost\tCost\r\n";
}

std::string StructureSeedRow(const CStructureMesh& mesh, int seed, const CStructureResult& result) {
  // the seed face's boundary edges and the vertices around its corners
  int boundary = 0;
  std::set<int> corners, around;
  for (int k = 0; k < 3; ++k) {
    const int h = 3 * seed + k;
    corners.insert(mesh.Head(h));
    if (CStructureMesh::Face(mesh.Twin(h)) >= mesh.NbRealFace()) ++boundary;
  }
  for (int v : corners) {
    int h = mesh.Out(v);
    for (int i = 0; i < mesh.Degree(v); ++i, h = mesh.RotateOut(h))
      if (mesh.Head(h) != mesh.Dummy() && !corners.count(mesh.Head(h))) around.insert(mesh.Head(h));
  }
  char row[160];
  std::snprintf(row, sizeof row, "%d\t%d\t%d\t%d\t%d\t%g\r\n", seed, boundary,
                static_cast<int>(around.size()), result.m_NbOffsets, result.m_NbDummy,
                result.m_Cost);
  return row;
}

} // namespace orvex
