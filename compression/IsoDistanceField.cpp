#include "compression/IsoDistanceField.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <new>

namespace {

struct V3 {
  double x, y, z;
};
V3 operator-(V3 a, V3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 operator+(V3 a, V3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
V3 operator*(V3 a, double s) {
  return {a.x * s, a.y * s, a.z * s};
}
double Dot(V3 a, V3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 Cross(V3 a, V3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
V3 Unit(V3 a) {
  const double l = std::sqrt(Dot(a, a));
  return l > 0.0 ? a * (1.0 / l) : a;
}

// Feature of a triangle holding the closest point.
enum Feature { kVertexA, kVertexB, kVertexC, kEdgeAB, kEdgeBC, kEdgeCA, kFace };

// Closest point of triangle abc to p, after Ericson ("Real-Time Collision
// Detection", 5.1.5): Voronoi regions of the vertices, the edges, the face.
V3 ClosestOnTriangle(V3 p, V3 a, V3 b, V3 c, Feature& feature) {
  const V3 ab = b - a, ac = c - a, ap = p - a;
  const double d1 = Dot(ab, ap), d2 = Dot(ac, ap);
  if (d1 <= 0 && d2 <= 0) return feature = kVertexA, a;
  const V3 bp = p - b;
  const double d3 = Dot(ab, bp), d4 = Dot(ac, bp);
  if (d3 >= 0 && d4 <= d3) return feature = kVertexB, b;
  const double vc = d1 * d4 - d3 * d2;
  if (vc <= 0 && d1 >= 0 && d3 <= 0) return feature = kEdgeAB, a + ab * (d1 / (d1 - d3));
  const V3 cp = p - c;
  const double d5 = Dot(ab, cp), d6 = Dot(ac, cp);
  if (d6 >= 0 && d5 <= d6) return feature = kVertexC, c;
  const double vb = d5 * d2 - d1 * d6;
  if (vb <= 0 && d2 >= 0 && d6 <= 0) return feature = kEdgeCA, a + ac * (d2 / (d2 - d6));
  const double va = d3 * d6 - d5 * d4;
  if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
    return feature = kEdgeBC, b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
  const double denom = 1.0 / (va + vb + vc);
  return feature = kFace, a + ab * (vb * denom) + ac * (vc * denom);
}

// Angle-weighted pseudo-normals (Baerentzen and Aanaes): per face, per
// vertex (face normals weighted by the corner angle) and per edge (sum of
// its faces' normals).
struct PseudoNormals {
  std::vector<V3> face, vertex;
  std::map<std::pair<int, int>, V3> edge;
  V3 Edge(int a, int b) const {
    auto it = edge.find({std::min(a, b), std::max(a, b)});
    return it == edge.end() ? V3{0, 0, 0} : it->second;
  }
};

V3 Vertex(const CGridFileMesh& m, int i) {
  return {m.m_Xyz[3 * i], m.m_Xyz[3 * i + 1], m.m_Xyz[3 * i + 2]};
}

PseudoNormals MakePseudoNormals(const CGridFileMesh& m) {
  PseudoNormals n;
  const size_t faces = m.m_Triangles.size() / 3;
  n.face.resize(faces);
  n.vertex.assign(m.m_Xyz.size() / 3, V3{0, 0, 0});
  for (size_t f = 0; f < faces; ++f) {
    const int* t = &m.m_Triangles[3 * f];
    const V3 p[3] = {Vertex(m, t[0]), Vertex(m, t[1]), Vertex(m, t[2])};
    const V3 normal = Unit(Cross(p[1] - p[0], p[2] - p[0]));
    n.face[f] = normal;
    for (int k = 0; k < 3; ++k) {
      const V3 u = Unit(p[(k + 1) % 3] - p[k]), w = Unit(p[(k + 2) % 3] - p[k]);
      const double angle = std::acos(std::max(-1.0, std::min(1.0, Dot(u, w))));
      n.vertex[t[k]] = n.vertex[t[k]] + normal * angle;
      const int a = t[k], b = t[(k + 1) % 3];
      V3& e = n.edge[{std::min(a, b), std::max(a, b)}];
      e = e + normal;
    }
  }
  return n;
}

} // namespace

int IsoReadGridFile(std::istream& in, CGridFileMesh& out, std::string& error) {
  double box[6], zero[3], one, flag;
  for (double& b : box) in >> b;
  in >> zero[0] >> zero[1] >> zero[2] >> one >> flag;
  long long vertices = -1, faces = -1;
  in >> vertices >> faces;
  if (!in) {
    error = "The grid file does not begin with a box, \"0 0 0\", \"1.0\", \"1\" and two counts";
    return 0;
  }
  constexpr long long kMaxCount = 50000000;
  if (vertices < 3 || vertices > kMaxCount || faces < 1 || faces > kMaxCount) {
    error = "The grid file's counts (" + std::to_string(vertices) + " vertices, " +
            std::to_string(faces) + " faces) are out of range";
    return 0;
  }
  // the arrays grow with what the file holds: a short file announcing
  // millions of elements costs nothing before it runs out
  constexpr long long kFirstReserve = 1 << 16;
  CGridFileMesh mesh;
  try {
    mesh.m_Xyz.reserve(static_cast<size_t>(std::min(vertices, kFirstReserve)) * 3);
    for (long long i = 0; i < 3 * vertices; i++) {
      double c;
      if (!(in >> c) || !std::isfinite(c)) {
        error = "The grid file has fewer than " + std::to_string(vertices) + " finite vertices";
        return 0;
      }
      mesh.m_Xyz.push_back(c);
    }
    mesh.m_Triangles.reserve(static_cast<size_t>(std::min(faces, kFirstReserve)) * 3);
    for (long long i = 0; i < 3 * faces; i++) {
      int corner;
      if (!(in >> corner) || corner < 0 || corner >= vertices) {
        error = "The grid file has a face corner missing or outside the vertices";
        return 0;
      }
      mesh.m_Triangles.push_back(corner);
    }
  } catch (const std::bad_alloc&) {
    error = "Not enough memory for the grid file's mesh";
    return 0;
  }
  out = std::move(mesh);
  return 1;
}

int IsoDistanceVolume(const CGridFileMesh& mesh, int64_t n, double isovalue, CIsoVolume& volume,
                      std::string& error, std::string& warnings) {
  CIsoVolume fresh;
  if (!IsoAllocate(fresh, n, true, error)) return 0;
  if (n < 9) {
    error = "The grid needs at least 9 points a side for the two padding cells";
    return 0;
  }
  try {
    // Grid: the bounding cube padded by two cells on every side
    double lo[3], hi[3];
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::numeric_limits<double>::max();
      hi[k] = -lo[k];
    }
    for (size_t i = 0; i < mesh.m_Xyz.size(); ++i) {
      lo[i % 3] = std::min(lo[i % 3], mesh.m_Xyz[i]);
      hi[i % 3] = std::max(hi[i % 3], mesh.m_Xyz[i]);
    }
    double side = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
    if (!(side > 0.0)) side = 1.0;
    const double h = side / double(n - 1 - 4);
    for (int k = 0; k < 3; ++k) {
      fresh.m_Unit[k] = h;
      fresh.m_Origin[k] = 0.5 * (lo[k] + hi[k]) - 0.5 * h * double(n - 1);
    }
    fresh.m_Isovalue = isovalue;
    const float kUnset = std::numeric_limits<float>::infinity();
    std::fill(fresh.m_Potential.begin(), fresh.m_Potential.end(), kUnset);

    // Band: exact signed distances within two cells of each triangle
    const PseudoNormals normals = MakePseudoNormals(mesh);
    const double band = 2.0 * h;
    for (size_t f = 0; f < mesh.m_Triangles.size() / 3; ++f) {
      const int* t = &mesh.m_Triangles[3 * f];
      const V3 a = Vertex(mesh, t[0]), b = Vertex(mesh, t[1]), c = Vertex(mesh, t[2]);
      int64_t from[3], to[3];
      const double tlo[3] = {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}),
                             std::min({a.z, b.z, c.z})};
      const double thi[3] = {std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}),
                             std::max({a.z, b.z, c.z})};
      for (int k = 0; k < 3; ++k) {
        from[k] = std::max<int64_t>(0, int64_t(std::ceil((tlo[k] - band - fresh.m_Origin[k]) / h)));
        to[k] =
            std::min<int64_t>(n - 1, int64_t(std::floor((thi[k] + band - fresh.m_Origin[k]) / h)));
      }
      for (int64_t x = from[0]; x <= to[0]; ++x)
        for (int64_t y = from[1]; y <= to[1]; ++y)
          for (int64_t z = from[2]; z <= to[2]; ++z) {
            const V3 p{fresh.m_Origin[0] + x * h, fresh.m_Origin[1] + y * h,
                       fresh.m_Origin[2] + z * h};
            Feature feature;
            const V3 q = ClosestOnTriangle(p, a, b, c, feature);
            const double d = std::sqrt(Dot(p - q, p - q));
            float& slot = fresh.m_Potential[fresh.m_Signs.Index(x, y, z)];
            if (d > band || d >= std::fabs(slot)) continue;
            V3 pseudo = normals.face[f];
            switch (feature) {
            case kVertexA:
              pseudo = normals.vertex[t[0]];
              break;
            case kVertexB:
              pseudo = normals.vertex[t[1]];
              break;
            case kVertexC:
              pseudo = normals.vertex[t[2]];
              break;
            case kEdgeAB:
              pseudo = normals.Edge(t[0], t[1]);
              break;
            case kEdgeBC:
              pseudo = normals.Edge(t[1], t[2]);
              break;
            case kEdgeCA:
              pseudo = normals.Edge(t[2], t[0]);
              break;
            case kFace:
              break;
            }
            slot = static_cast<float>(Dot(p - q, pseudo) < 0.0 ? -d : d);
          }
    }

    // Outside the band: the side of the last band point met along z,
    // starting outside at the border
    long long badLines = 0;
    const float far = static_cast<float>(3.0 * h);
    for (int64_t x = 0; x < n; ++x)
      for (int64_t y = 0; y < n; ++y) {
        float lineSide = far;
        for (int64_t z = 0; z < n; ++z) {
          float& slot = fresh.m_Potential[fresh.m_Signs.Index(x, y, z)];
          if (std::isinf(slot))
            slot = lineSide;
          else
            lineSide = slot < 0 ? -far : far;
        }
        if (lineSide < 0) ++badLines;
      }
    if (badLines)
      warnings = "In cpt_valid_grid(): " + std::to_string(badLines) +
                 " grid lines end inside the surface (the mesh may not be closed)";
    fresh.SignsFromPotentials();
  } catch (const std::bad_alloc&) {
    error = "Not enough memory for the distance field";
    return 0;
  }
  volume = std::move(fresh);
  return 1;
}
