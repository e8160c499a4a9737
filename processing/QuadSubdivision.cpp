// Catmull-Clark subdivision (E. Catmull, J. Clark, "Recursively generated
// B-spline surfaces on arbitrary topological meshes", 1978), Kobbelt's
// interpolating quad scheme (L. Kobbelt, "Interpolatory subdivision on open
// quadrilateral nets with arbitrary topology", 1996) and quad smoothing,
// on the flat arrays of CQuadMesh.

#include "processing/QuadSubdivision.h"

#include <vector>

#include "geometry/QuadMesh.h"

namespace {

struct Point {
  float x = 0.0f, y = 0.0f, z = 0.0f;
};

Point At(const CQuadMesh& m, int v) {
  const CQuadVertex& p = m.m_Vertices[v];
  return {p.x, p.y, p.z};
}

// Index of the edge of quad g joining a and b (either way), -1 if none.
int EdgeIndex(const CQuadFace& g, int a, int b) {
  for (int k = 0; k < 4; k++) {
    const int p = g.v[k], q = g.v[(k + 1) & 3];
    if ((p == a && q == b) || (p == b && q == a)) return k;
  }
  return -1;
}

// Numbers the new points of a 1-to-4 split: face point of quad f is
// V + f; each edge point gets the next index the first time its edge is
// met and is reused by the quad across. Calls newEdge(f, k) for each new
// edge point, in index order. Returns the number of edge points.
template <class NewEdge> int NumberSplitPoints(CQuadMesh& m, NewEdge newEdge) {
  const int nv = m.NbVertex();
  const int nf = m.NbFace();
  for (int f = 0; f < nf; f++) {
    CQuadFace& face = m.m_Faces[f];
    face.facePoint = nv + f;
    for (int& e : face.edge) e = -1;
  }
  int next = nv + nf;
  for (int f = 0; f < nf; f++) {
    CQuadFace& face = m.m_Faces[f];
    for (int k = 0; k < 4; k++) {
      const int g = face.neighbor[k];
      if (g >= 0) {
        const int j = EdgeIndex(m.m_Faces[g], face.v[k], face.v[(k + 1) & 3]);
        if (j >= 0 && m.m_Faces[g].edge[j] >= 0) {
          face.edge[k] = m.m_Faces[g].edge[j];
          continue;
        }
      }
      face.edge[k] = next++;
      newEdge(f, k);
    }
  }
  return next - nv - nf;
}

bool DistinctCorners(const CQuadFace& q) {
  return q.v[0] != q.v[1] && q.v[0] != q.v[2] && q.v[0] != q.v[3] && q.v[1] != q.v[2] &&
         q.v[1] != q.v[3] && q.v[2] != q.v[3];
}

// The child of parent quad g (across the parent edge corner-other) that
// holds corner; -1 without a parent across.
int ChildAcross(const CQuadMesh& m, int g, int corner, int other) {
  if (g < 0) return -1;
  const CQuadFace& parent = m.m_Faces[g];
  for (int j = 0; j < 4; j++)
    if (parent.v[j] == corner && (parent.v[(j + 1) & 3] == other || parent.v[(j + 3) & 3] == other))
      return 4 * g + j;
  return -1;
}

// Replaces every quad by its four children and the vertices by positions
// (old vertices first, then the new points), then rebuilds.
void SplitQuads(CQuadMesh& m, const std::vector<Point>& positions) {
  const int nv = m.NbVertex();
  m.m_Vertices.resize(positions.size());
  for (size_t i = 0; i < positions.size(); i++) {
    CQuadVertex& v = m.m_Vertices[i];
    v.x = positions[i].x;
    v.y = positions[i].y;
    v.z = positions[i].z;
    if (static_cast<int>(i) >= nv) v.m_Color = CColor();
  }
  // the children and the quads across their edges, known from the
  // parents: inside a parent the children follow one another; across a
  // parent edge lies the child of the parent across that holds the same
  // corner
  bool sound = true;
  std::vector<CQuadFace> children(m.m_Faces.size() * 4);
  for (size_t f = 0; f < m.m_Faces.size(); f++) {
    const CQuadFace& face = m.m_Faces[f];
    sound = sound && DistinctCorners(face);
    for (int k = 0; k < 4; k++) {
      CQuadFace& child = children[4 * f + k];
      child.v[0] = face.v[k];
      child.v[1] = face.edge[k];
      child.v[2] = face.facePoint;
      child.v[3] = face.edge[(k + 3) & 3];
      const int corner = face.v[k];
      child.neighbor[0] = ChildAcross(m, face.neighbor[k], corner, face.v[(k + 1) & 3]);
      child.neighbor[1] = static_cast<int>(4 * f) + ((k + 1) & 3);
      child.neighbor[2] = static_cast<int>(4 * f) + ((k + 3) & 3);
      child.neighbor[3] = ChildAcross(m, face.neighbor[(k + 3) & 3], corner, face.v[(k + 3) & 3]);
    }
  }
  m.m_Faces.swap(children);
  // quads with a repeated corner: the general search instead
  if (sound)
    m.BuildVertexRows();
  else
    m.BuildAdjacency();
  m.CalculateNormals();
  m.SetModified();
}

// Face points: the mean of the four corners.
void CornerMeans(const CQuadMesh& m, std::vector<Point>& out) {
  for (const CQuadFace& face : m.m_Faces) {
    Point p;
    for (int k = 0; k < 4; k++) {
      const CQuadVertex& v = m.m_Vertices[face.v[k]];
      p.x += v.x;
      p.y += v.y;
      p.z += v.z;
    }
    out.push_back({p.x / 4.0f, p.y / 4.0f, p.z / 4.0f});
  }
}

void AddScaled(Point& p, const Point& q, float s) {
  p.x += s * q.x;
  p.y += s * q.y;
  p.z += s * q.z;
}

// What both schemes start from: the adjacency, and the old positions with
// room for one face point and two edge points per face.
std::vector<Point> StartStep(CQuadMesh& m) {
  if (!m.HasAdjacency()) m.BuildAdjacency();
  std::vector<Point> positions;
  positions.reserve(static_cast<size_t>(m.NbVertex()) + 3 * m.m_Faces.size());
  for (int i = 0; i < m.NbVertex(); i++) positions.push_back(At(m, i));
  return positions;
}

} // namespace

void SubdivisionCatmullClark(CQuadMesh& m) {
  if (m.NbFace() == 0) return;
  const int nv = m.NbVertex();
  std::vector<Point> positions = StartStep(m);

  // face points
  CornerMeans(m, positions);

  // edge points: with a quad across, the mean of the ends and both face
  // points; on a boundary, the midpoint
  NumberSplitPoints(m, [&](int f, int k) {
    const CQuadFace& face = m.m_Faces[f];
    const Point a = At(m, face.v[k]), b = At(m, face.v[(k + 1) & 3]);
    const int g = face.neighbor[k];
    Point p;
    if (g >= 0) {
      const Point& fp = positions[nv + f];
      const Point& gp = positions[nv + g];
      p = {(a.x + b.x + fp.x + gp.x) / 4.0f, (a.y + b.y + fp.y + gp.y) / 4.0f,
           (a.z + b.z + fp.z + gp.z) / 4.0f};
    } else {
      p = {(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f, (a.z + b.z) / 2.0f};
    }
    positions.push_back(p);
  });

  // vertex points, interior vertices only (as many quads as neighbours):
  // ((n - 2) / n) v + (1 / n^2) (sum of face points + sum of neighbours)
  if (m.HasAdjacency())
    for (int i = 0; i < nv; i++) {
      const int n = m.NbFaceOf(i);
      if (n == 0 || n != m.NbNeighborOf(i)) continue;
      Point sum;
      for (int j = m.m_VertexFaceStart[i]; j < m.m_VertexFaceStart[i + 1]; j++)
        AddScaled(sum, positions[nv + m.m_VertexFaces[j]], 1.0f);
      for (int j = m.m_NeighborStart[i]; j < m.m_NeighborStart[i + 1]; j++)
        AddScaled(sum, At(m, m.m_Neighbors[j]), 1.0f);
      const float nf = static_cast<float>(n);
      Point p;
      AddScaled(p, At(m, i), (nf - 2.0f) / nf);
      AddScaled(p, sum, 1.0f / (nf * nf));
      positions[i] = p;
    }

  // four quads for one
  SplitQuads(m, positions);
}

namespace {

// The corner of quad g next to a that is not b (g holds the edge a-b).
int Adjacent(const CQuadFace& g, int a, int b) {
  for (int k = 0; k < 4; k++)
    if (g.v[k] == a) return g.v[(k + 1) & 3] == b ? g.v[(k + 3) & 3] : g.v[(k + 1) & 3];
  return -1;
}

// The quad across the edge a-b of quad f, -1 if none.
int Across(const CQuadMesh& m, int f, int a, int b) {
  if (f < 0) return -1;
  const int k = EdgeIndex(m.m_Faces[f], a, b);
  return k < 0 ? -1 : m.m_Faces[f].neighbor[k];
}

// An interior vertex of valence 4: the grid is regular around it.
bool Regular(const CQuadMesh& m, int v) {
  return m.NbFaceOf(v) == 4 && m.NbNeighborOf(v) == 4;
}

// Kobbelt face point of quad f: 81/256 of the corners, -9/256 of the eight
// points beside them, 1/256 of the four diagonal ones; false when the
// 4 x 4 grid around the quad is not complete.
bool KobbeltFacePoint(const CQuadMesh& m, int f, Point& out) {
  const CQuadFace& face = m.m_Faces[f];
  for (int k = 0; k < 4; k++)
    if (!Regular(m, face.v[k])) return false;
  Point p;
  for (int k = 0; k < 4; k++) {
    const int c = face.v[k], d = face.v[(k + 1) & 3];
    const int g = face.neighbor[k];
    if (g < 0) return false;
    const int beside = Adjacent(m.m_Faces[g], c, d);
    const int h = Across(m, g, c, beside);
    if (beside < 0 || h < 0) return false;
    const int diagonal = Adjacent(m.m_Faces[h], beside, c);
    if (diagonal < 0) return false;
    AddScaled(p, At(m, c), 81.0f / 256.0f);
    AddScaled(p, At(m, beside), -9.0f / 256.0f);
    const int besideD = Adjacent(m.m_Faces[g], d, c);
    if (besideD < 0) return false;
    AddScaled(p, At(m, besideD), -9.0f / 256.0f);
    AddScaled(p, At(m, diagonal), 1.0f / 256.0f);
  }
  out = p;
  return true;
}

// The grid point beyond a on the line from b through a, seen from quad f
// (which holds the edge a-b); -1 if none.
int Beyond(const CQuadMesh& m, int f, int a, int b) {
  const int x = Adjacent(m.m_Faces[f], a, b);
  const int g = Across(m, f, a, x);
  return g < 0 ? -1 : Adjacent(m.m_Faces[g], a, x);
}

} // namespace

void SubdivisionKobbelt(CQuadMesh& m) {
  if (m.NbFace() == 0) return;
  const int nv = m.NbVertex();
  std::vector<Point> positions = StartStep(m);

  // face points: the tensor-product stencil, else the mean of the corners
  // (a mesh too small for adjacency has no regular vertex)
  CornerMeans(m, positions);
  if (m.HasAdjacency())
    for (int f = 0; f < m.NbFace(); f++) KobbeltFacePoint(m, f, positions[nv + f]);

  // edge points: the four-point rule along the edge's grid line when both
  // ends are regular, else the midpoint
  NumberSplitPoints(m, [&](int f, int k) {
    const CQuadFace& face = m.m_Faces[f];
    const int a = face.v[k], b = face.v[(k + 1) & 3];
    const Point pa = At(m, a), pb = At(m, b);
    Point p = {(pa.x + pb.x) / 2.0f, (pa.y + pb.y) / 2.0f, (pa.z + pb.z) / 2.0f};
    if (m.HasAdjacency() && Regular(m, a) && Regular(m, b)) {
      const int e = Beyond(m, f, a, b), g = Beyond(m, f, b, a);
      if (e >= 0 && g >= 0) {
        p = Point();
        AddScaled(p, pa, 9.0f / 16.0f);
        AddScaled(p, pb, 9.0f / 16.0f);
        AddScaled(p, At(m, e), -1.0f / 16.0f);
        AddScaled(p, At(m, g), -1.0f / 16.0f);
      }
    }
    positions.push_back(p);
  });

  // four quads for one; the old vertices stay
  SplitQuads(m, positions);
}

int SmoothQuads(CQuadMesh& m) {
  if (!m.HasAdjacency()) m.BuildAdjacency();
  if (!m.HasAdjacency()) return 0;
  const int nv = m.NbVertex();
  // new positions from the old ones only
  std::vector<Point> positions(static_cast<size_t>(nv));
  for (int i = 0; i < nv; i++) {
    Point p = At(m, i);
    for (int j = m.m_NeighborStart[i]; j < m.m_NeighborStart[i + 1]; j++)
      AddScaled(p, At(m, m.m_Neighbors[j]), 1.0f);
    const float count = static_cast<float>(m.NbNeighborOf(i) + 1);
    positions[i] = {p.x / count, p.y / count, p.z / count};
  }
  for (int i = 0; i < nv; i++) {
    m.m_Vertices[i].x = positions[i].x;
    m.m_Vertices[i].y = positions[i].y;
    m.m_Vertices[i].z = positions[i].z;
  }
  m.CalculateNormals();
  m.SetModified();
  return nv;
}
