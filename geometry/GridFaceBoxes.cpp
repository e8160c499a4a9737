// Conservative 16-bit face boxes of a spatial grid and their distance bounds.

#include "geometry/GridFaceBoxes.h"

#include <algorithm>
#include <cmath>

namespace {

// Allowance, relative to the margin, for the error of the exact test's
// barycentric point: its error grows like R^2 (|ab| + |ac|) |ab| |ac| / S
// times a few dozen roundings (R the query's distance to the corners, S the
// squared double area); faces above this ratio are always tested.
constexpr double kConditionLimit = 1e12;
// Lattice steps over the faces' widened box (two more on each side).
constexpr double kSteps = 65530.0;

} // namespace

void CGridFaceBoxes::Init(const double lo[3], const double hi[3], const double cellSide[3]) {
  m_Enabled = false;
  double magnitude = 0.0, diagonal2 = 0.0, cell2 = 0.0;
  for (int axis = 0; axis < 3; axis++) {
    if (!std::isfinite(lo[axis]) || !std::isfinite(hi[axis]) || !(lo[axis] <= hi[axis])) return;
    magnitude = std::max({magnitude, std::fabs(lo[axis]), std::fabs(hi[axis])});
    diagonal2 += (hi[axis] - lo[axis]) * (hi[axis] - lo[axis]);
    cell2 += cellSide[axis] * cellSide[axis];
  }
  // special case: a single point, or magnitudes whose squares leave the
  // normal range, keep every face tested
  const double diagonal = std::sqrt(diagonal2);
  if (!(magnitude < 1e100) || !(diagonal > 1e-100 * std::max(1.0, magnitude)) || !(cell2 > 0.0))
    return;
  // margin above the rounding of coordinates (relative to their magnitude)
  // and of the barycentric point (relative to the faces' extent)
  m_Margin = 1e-9 * magnitude + 1e-6 * diagonal;
  m_Cell = std::sqrt(cell2);
  for (int axis = 0; axis < 3; axis++) {
    m_Lo[axis] = lo[axis];
    m_Hi[axis] = hi[axis];
    m_Step[axis] = (hi[axis] - lo[axis] + 2.0 * m_Margin) / kSteps;
    m_Inverse[axis] = 1.0 / m_Step[axis];
    m_Origin[axis] = lo[axis] - m_Margin - 2.0 * m_Step[axis];
  }
  m_Enabled = true;
}

void CGridFaceBoxes::Encode(const double* tri, CGridEntry& entry) const {
  // the unbounded box: always tested
  for (int axis = 0; axis < 3; axis++) {
    entry.lo[axis] = kFirstCode - 1;
    entry.hi[axis] = kLastCode + 1;
  }
  if (!m_Enabled) return;
  const double *a = tri, *b = tri + 3, *c = tri + 6;
  double lo[3], hi[3], ab[3], ac[3];
  for (int axis = 0; axis < 3; axis++) {
    lo[axis] = std::min(std::min(a[axis], b[axis]), c[axis]);
    hi[axis] = std::max(std::max(a[axis], b[axis]), c[axis]);
    ab[axis] = b[axis] - a[axis];
    ac[axis] = c[axis] - a[axis];
  }
  // conditioning of the exact test for queries up to R from the corners (a
  // query within a cell of the faces' box, faces of cells within one ring):
  // R^2 <= 2 (25 cell^2 + extent^2), (|ab| + |ac|) |ab| |ac| <= the root
  const double extent2 = (hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) +
                         (hi[2] - lo[2]) * (hi[2] - lo[2]);
  const double reach2 = 2.0 * (25.0 * m_Cell * m_Cell + extent2);
  const double ab2 = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
  const double ac2 = ac[0] * ac[0] + ac[1] * ac[1] + ac[2] * ac[2];
  const double dot = ab[0] * ac[0] + ab[1] * ac[1] + ab[2] * ac[2];
  const double area2 = ab2 * ac2 - dot * dot;
  // special case: slivers, faces without area and coordinates that are not
  // finite keep the unbounded box
  if (!(area2 > 1e-9 * ab2 * ac2)) return;
  if (!(reach2 * std::sqrt(2.0 * (ab2 + ac2) * ab2 * ac2) <= kConditionLimit * m_Margin * area2))
    return;
  // codes rounded outwards, one more step on each side (the widened box lies
  // at least two steps inside the lattice, so truncation rounds down)
  int code[6];
  for (int axis = 0; axis < 3; axis++) {
    const double low = (lo[axis] - m_Margin - m_Origin[axis]) * m_Inverse[axis];
    const double high = (hi[axis] + m_Margin - m_Origin[axis]) * m_Inverse[axis];
    if (!(low >= 0.0 && high < kLastCode)) return; // special case: outside the frame
    code[axis] = std::max(int(low) - 1, kFirstCode);
    code[3 + axis] = std::min(int(high) + 2, kLastCode);
  }
  for (int axis = 0; axis < 3; axis++) {
    entry.lo[axis] = static_cast<std::uint16_t>(code[axis]);
    entry.hi[axis] = static_cast<std::uint16_t>(code[3 + axis]);
  }
}

bool CGridFaceBoxes::Prepare(const double p[3], Query& query) const {
  if (!m_Enabled) return false;
  double outside2 = 0.0;
  for (int axis = 0; axis < 3; axis++) {
    if (!std::isfinite(p[axis])) return false;
    const double gap = std::max({m_Lo[axis] - p[axis], p[axis] - m_Hi[axis], 0.0});
    outside2 += gap * gap;
  }
  // special case: a query farther than a cell from the faces is past the
  // reach the faces' conditioning was checked for
  if (!(outside2 <= m_Cell * m_Cell)) return false;
  for (int axis = 0; axis < 3; axis++) {
    query.u[axis] = static_cast<float>(std::clamp((p[axis] - m_Origin[axis]) * m_Inverse[axis],
                                                  double(kFirstCode), double(kLastCode)));
    query.step[axis] = static_cast<float>(m_Step[axis]);
  }
  query.u[3] = 0.0f;
  query.step[3] = 0.0f;
  return true;
}
