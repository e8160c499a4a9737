// Vertex packing: every vertex merged into the nearest of a regular sample
// of the vertices. The nearest sample is found on a uniform grid of cells
// holding about two samples each, searched in rings of cells around the
// query until no closer cell can remain (the classic cell-list search).

#include "processing/VertexPacking.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "geometry/Mesh3d.h"
#include "processing/SurfaceCleanup.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Above this coordinate size squared distances may overflow: plain scan.
constexpr double kLargestGridCoordinate = 1e150;
// Samples per cell the grid aims at, and its largest number of cells per axis.
constexpr double kSamplesPerCell = 2.0;
constexpr int kMaxCellsPerAxis = 1 << 10;

double SquaredDistance(const double* a, const double* b) {
  double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
  return dx * dx + dy * dy + dz * dz;
}

bool Finite(const double* p) {
  return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// Keeps candidate r at squared distance d when it beats the best so far.
void Consider(double d, int r, double& best, int& bestIndex) {
  if (d < best || (d == best && r < bestIndex)) best = d, bestIndex = r;
}

// Uniform grid of the representatives with finite coordinates; among
// representatives at exactly the same place only the lowest index is kept
// (it wins every tie with the others).
class CRepresentativeGrid {
public:
  CRepresentativeGrid(const std::vector<double>& xyz, int f) : m_Xyz(xyz.data()) {
    int nv = static_cast<int>(xyz.size() / 3);
    // the distinct finite representatives and their box
    std::vector<int> kept;
    struct Hash {
      size_t operator()(const std::array<double, 3>& p) const {
        std::hash<double> h;
        return h(p[0]) * 31 * 31 + h(p[1]) * 31 + h(p[2]);
      }
    };
    std::unordered_map<std::array<double, 3>, int, Hash> seen;
    for (int r = 0; r < nv; r += f) {
      const double* p = m_Xyz + 3 * static_cast<size_t>(r);
      if (!Finite(p)) continue;
      if (!seen.emplace(std::array<double, 3>{p[0], p[1], p[2]}, r).second) continue;
      kept.push_back(r);
      for (int a = 0; a < 3; a++) {
        m_Lo[a] = std::min(m_Lo[a], p[a]);
        m_Hi[a] = std::max(m_Hi[a], p[a]);
        m_Slack = std::max(m_Slack, std::fabs(p[a]));
      }
    }
    if (kept.empty()) return;
    SizeCells(static_cast<double>(kept.size()));

    // samples by cell, in index order within a cell (counting sort)
    m_CellStart.assign(static_cast<size_t>(m_Dim[0]) * m_Dim[1] * m_Dim[2] + 1, 0);
    std::vector<int> cellOf(kept.size());
    for (size_t i = 0; i < kept.size(); i++) {
      int c[3];
      CellOf(m_Xyz + 3 * static_cast<size_t>(kept[i]), c);
      cellOf[i] = Linear(c);
      m_CellStart[cellOf[i] + 1]++;
    }
    for (size_t c = 1; c < m_CellStart.size(); c++) m_CellStart[c] += m_CellStart[c - 1];
    m_Samples.resize(kept.size());
    std::vector<int> fill(m_CellStart.begin(), m_CellStart.end() - 1);
    for (size_t i = 0; i < kept.size(); i++) m_Samples[fill[cellOf[i]]++] = kept[i];
    // rounding slack of cell bounds against coordinates of this size
    m_Slack = 16.0 * DBL_EPSILON * (m_Slack + m_Cell);
  }

  bool Empty() const { return m_Samples.empty(); }

  // The nearest representative to p, or -1 when none has a finite distance.
  int Nearest(const double* p) const {
    double best = kInfinity;
    int bestIndex = -1;
    int c[3];
    CellOf(p, c);
    double slack = m_Slack + 16.0 * DBL_EPSILON *
                                 std::max({std::fabs(p[0]), std::fabs(p[1]), std::fabs(p[2])});
    for (int ring = 0;; ring++) {
      VisitRing(c, ring, p, best, bestIndex);
      // every cell left lies beyond the box of the rings searched
      double reach = ReachBeyond(c, ring, p) - slack;
      if (reach == kInfinity) break;
      if (reach > 0.0 && reach * reach > best) break;
    }
    return bestIndex;
  }

private:
  void SizeCells(double samples) {
    // cells of one size, about kSamplesPerCell samples each over the axes
    // the samples spread along
    double volume = 1.0;
    int spread = 0;
    for (int a = 0; a < 3; a++)
      if (m_Hi[a] > m_Lo[a]) volume *= m_Hi[a] - m_Lo[a], spread++;
    m_Cell = spread ? std::pow(volume * kSamplesPerCell / samples, 1.0 / spread) : 1.0;
    for (int a = 0; a < 3; a++) {
      double cells = m_Hi[a] > m_Lo[a] ? std::ceil((m_Hi[a] - m_Lo[a]) / m_Cell) : 1.0;
      m_Dim[a] = static_cast<int>(std::clamp(cells, 1.0, static_cast<double>(kMaxCellsPerAxis)));
    }
    // a clamped axis takes wider cells
    for (int a = 0; a < 3; a++)
      if (m_Hi[a] > m_Lo[a]) m_Cell = std::max(m_Cell, (m_Hi[a] - m_Lo[a]) / m_Dim[a]);
  }

  void CellOf(const double* p, int c[3]) const {
    for (int a = 0; a < 3; a++) {
      double t = std::floor((p[a] - m_Lo[a]) / m_Cell);
      c[a] = static_cast<int>(std::clamp(t, 0.0, static_cast<double>(m_Dim[a] - 1)));
    }
  }

  int Linear(const int c[3]) const { return (c[2] * m_Dim[1] + c[1]) * m_Dim[0] + c[0]; }

  void VisitCell(const int c[3], const double* p, double& best, int& bestIndex) const {
    int cell = Linear(c);
    for (int k = m_CellStart[cell]; k < m_CellStart[cell + 1]; k++) {
      int r = m_Samples[k];
      Consider(SquaredDistance(p, m_Xyz + 3 * static_cast<size_t>(r)), r, best, bestIndex);
    }
  }

  // The cells at Chebyshev distance ring from c, inside the grid.
  void VisitRing(const int c[3], int ring, const double* p, double& best, int& bestIndex) const {
    int lo[3], hi[3];
    for (int a = 0; a < 3; a++) lo[a] = c[a] - ring, hi[a] = c[a] + ring;
    int q[3];
    for (q[2] = std::max(lo[2], 0); q[2] <= std::min(hi[2], m_Dim[2] - 1); q[2]++)
      for (q[1] = std::max(lo[1], 0); q[1] <= std::min(hi[1], m_Dim[1] - 1); q[1]++) {
        bool shell = q[2] == lo[2] || q[2] == hi[2] || q[1] == lo[1] || q[1] == hi[1];
        if (shell) {
          for (q[0] = std::max(lo[0], 0); q[0] <= std::min(hi[0], m_Dim[0] - 1); q[0]++)
            VisitCell(q, p, best, bestIndex);
        } else {
          // inside the shell only the two end cells of the row are new
          for (int x : {lo[0], hi[0]})
            if (x >= 0 && x < m_Dim[0]) q[0] = x, VisitCell(q, p, best, bestIndex);
        }
      }
  }

  // Distance from p to the nearest cell outside the rings searched so far;
  // infinite when they cover the grid.
  double ReachBeyond(const int c[3], int ring, const double* p) const {
    double reach = kInfinity;
    for (int a = 0; a < 3; a++) {
      if (c[a] - ring > 0) reach = std::min(reach, p[a] - (m_Lo[a] + (c[a] - ring) * m_Cell));
      if (c[a] + ring + 1 < m_Dim[a])
        reach = std::min(reach, m_Lo[a] + (c[a] + ring + 1) * m_Cell - p[a]);
    }
    return reach;
  }

  const double* m_Xyz;
  double m_Lo[3] = {kInfinity, kInfinity, kInfinity};
  double m_Hi[3] = {-kInfinity, -kInfinity, -kInfinity};
  double m_Cell = 1.0;
  double m_Slack = 0.0;
  int m_Dim[3] = {1, 1, 1};
  std::vector<int> m_CellStart, m_Samples;
};

bool TooLargeForGrid(const std::vector<double>& xyz) {
  for (double c : xyz)
    if (std::isfinite(c) && std::fabs(c) > kLargestGridCoordinate) return true;
  return false;
}

} // namespace

std::vector<int> NearestRepresentativesByScan(const std::vector<double>& xyz, int f) {
  int nv = static_cast<int>(xyz.size() / 3);
  std::vector<int> target(static_cast<size_t>(nv));
  for (int j = 0; j < nv; j++) {
    double best = kInfinity;
    int bestIndex = -1;
    for (int r = 0; r < nv; r += f)
      Consider(SquaredDistance(&xyz[3 * static_cast<size_t>(j)], &xyz[3 * static_cast<size_t>(r)]),
               r, best, bestIndex);
    target[j] = j % f == 0 || bestIndex < 0 ? j - j % f : bestIndex;
  }
  return target;
}

std::vector<int> NearestRepresentatives(const std::vector<double>& xyz, int f) {
  if (f < 2) return {};
  if (TooLargeForGrid(xyz)) return NearestRepresentativesByScan(xyz, f);
  int nv = static_cast<int>(xyz.size() / 3);
  std::vector<int> target(static_cast<size_t>(nv));
  CRepresentativeGrid grid(xyz, f);
  for (int j = 0; j < nv; j++) {
    int own = j - j % f;
    const double* p = &xyz[3 * static_cast<size_t>(j)];
    int nearest = j == own || grid.Empty() || !Finite(p) ? -1 : grid.Nearest(p);
    target[j] = nearest < 0 ? own : nearest;
  }
  return target;
}

int PackVertices(CMesh3d* mesh, int f) {
  if (!mesh || f < 2) return 1;
  int nv = mesh->NbVertex();
  if (nv == 0) return 1;

  // the nearest representative of every vertex
  std::vector<double> xyz(3 * static_cast<size_t>(nv), 0.0);
  for (int i = 0; i < nv; i++)
    if (const CVertex3d* v = mesh->GetVertex(i))
      xyz[3 * i] = v->x, xyz[3 * i + 1] = v->y, xyz[3 * i + 2] = v->z;
  std::vector<int> target = NearestRepresentatives(xyz, f);

  // corners redirected to their representative, through the vertex flags
  std::vector<int> flags(static_cast<size_t>(nv));
  for (int i = 0; i < nv; i++)
    if (CVertex3d* v = mesh->GetVertex(i)) flags[i] = v->m_Flag, v->m_Flag = i;
  for (CFace3d* face : mesh->m_ArrayFace) {
    if (!face) continue;
    for (int k = 0; k < 3; k++) {
      CVertex3d* v = face->m_pVertex[k];
      if (!v || v->m_Flag < 0 || v->m_Flag >= nv || mesh->GetVertex(v->m_Flag) != v) continue;
      face->m_pVertex[k] = mesh->GetVertex(target[v->m_Flag]);
    }
  }
  for (int i = 0; i < nv; i++)
    if (CVertex3d* v = mesh->GetVertex(i)) v->m_Flag = flags[i];

  // only the representatives stay
  std::vector<char> doomed(static_cast<size_t>(nv), 0);
  for (int i = 0; i < nv; i++) doomed[i] = i % f != 0;
  mesh->DeleteVerticesMarked(doomed);
  mesh->SetModified();
  return 1;
}
