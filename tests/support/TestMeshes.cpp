#include "tests/support/TestMeshes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <unordered_map>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/QuadMesh.h"

namespace testmeshes {

CMesh3d* MakeMesh(const std::vector<double>& xyz, const std::vector<int>& triangles, bool rebuild) {
  CMesh3d* mesh = new CMesh3d;
  int nv = static_cast<int>(xyz.size() / 3);
  int nf = static_cast<int>(triangles.size() / 3);
  mesh->m_ArrayVertex.Reserve(nv);
  mesh->m_ArrayFace.Reserve(nf);
  for (int i = 0; i < nv; i++)
    mesh->AddVertex(new CVertex3d(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]));
  for (int i = 0; i < nf; i++)
    mesh->AddFace(new CFace3d(mesh->GetVertex(triangles[3 * i]),
                              mesh->GetVertex(triangles[3 * i + 1]),
                              mesh->GetVertex(triangles[3 * i + 2])));
  if (rebuild) mesh->Rebuild();
  return mesh;
}

CVertex3d* AddVertex(CMesh3d& mesh, double x, double y, double z) {
  CVertex3d* v = new CVertex3d(x, y, z);
  mesh.AddVertex(v);
  return v;
}

CFace3d* AddFace(CMesh3d& mesh, CVertex3d* a, CVertex3d* b, CVertex3d* c) {
  CFace3d* f = new CFace3d(a, b, c);
  mesh.AddFace(f);
  return f;
}

namespace {

// Index of the midpoint of edge (a, b), created on the unit sphere once.
int Midpoint(int a, int b, std::vector<double>& xyz, std::unordered_map<uint64_t, int>& cache) {
  uint64_t key = a < b ? (uint64_t(a) << 32) | uint32_t(b) : (uint64_t(b) << 32) | uint32_t(a);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  double x = 0.5 * (xyz[3 * a] + xyz[3 * b]);
  double y = 0.5 * (xyz[3 * a + 1] + xyz[3 * b + 1]);
  double z = 0.5 * (xyz[3 * a + 2] + xyz[3 * b + 2]);
  double len = std::sqrt(x * x + y * y + z * z);
  int index = static_cast<int>(xyz.size() / 3);
  xyz.push_back(x / len);
  xyz.push_back(y / len);
  xyz.push_back(z / len);
  cache.emplace(key, index);
  return index;
}

// Triangles of a grid of nx x ny quads over vertices indexed by index(i, j);
// skip(i, j) leaves a quad out.
template <class Index, class Skip>
void GridTriangles(int nx, int ny, Index index, Skip skip, std::vector<int>& triangles) {
  for (int j = 0; j < ny; j++)
    for (int i = 0; i < nx; i++) {
      if (skip(i, j)) continue;
      int a = index(i, j), b = index(i + 1, j), c = index(i + 1, j + 1), d = index(i, j + 1);
      triangles.insert(triangles.end(), {a, b, c, a, c, d});
    }
}

} // namespace

CMesh3d* MakeIcoSphere(int level) {
  // the icosahedron
  const double t = (1.0 + std::sqrt(5.0)) / 2.0;
  const double s = 1.0 / std::sqrt(1.0 + t * t);
  std::vector<double> xyz = {-1, t,  0,  1, t, 0,  -1, -t, 0,  1, -t, 0, 0,  -1, t,  0,  1, t,
                             0,  -1, -t, 0, 1, -t, t,  0,  -1, t, 0,  1, -t, 0,  -1, -t, 0, 1};
  for (double& c : xyz) c *= s;
  std::vector<int> triangles = {0, 11, 5,  0, 5,  1, 0, 1, 7, 0, 7,  10, 0, 10, 11, 1, 5, 9, 5, 11,
                                4, 11, 10, 2, 10, 7, 6, 7, 1, 8, 3,  9,  4, 3,  4,  2, 3, 2, 6, 3,
                                6, 8,  3,  8, 9,  4, 9, 5, 2, 4, 11, 6,  2, 10, 8,  6, 7, 9, 8, 1};
  // split every triangle into four, level times
  for (int l = 0; l < level; l++) {
    std::unordered_map<uint64_t, int> cache;
    cache.reserve(triangles.size());
    std::vector<int> next;
    next.reserve(triangles.size() * 4);
    for (size_t f = 0; f < triangles.size(); f += 3) {
      int a = triangles[f], b = triangles[f + 1], c = triangles[f + 2];
      int ab = Midpoint(a, b, xyz, cache), bc = Midpoint(b, c, xyz, cache),
          ca = Midpoint(c, a, xyz, cache);
      next.insert(next.end(), {a, ab, ca, b, bc, ab, c, ca, bc, ab, bc, ca});
    }
    triangles.swap(next);
  }
  return MakeMesh(xyz, triangles);
}

void AddNormalNoise(CMesh3d* mesh, double amplitude, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> offset(-amplitude, amplitude);
  for (CVertex3d* v : mesh->m_ArrayVertex) v->Set(v->Position() + v->m_Normal * offset(random));
  mesh->Rebuild();
}

CMesh3d* MakeTorus(int nu, int nv, double majorRadius, double minorRadius) {
  std::vector<double> xyz;
  for (int j = 0; j < nv; j++)
    for (int i = 0; i < nu; i++) {
      double u = 2.0 * PI_3D * i / nu, v = 2.0 * PI_3D * j / nv;
      double r = majorRadius + minorRadius * std::cos(v);
      xyz.insert(xyz.end(), {r * std::cos(u), r * std::sin(u), minorRadius * std::sin(v)});
    }
  std::vector<int> triangles;
  GridTriangles(
      nu, nv, [&](int i, int j) { return (j % nv) * nu + (i % nu); },
      [](int, int) { return false; }, triangles);
  return MakeMesh(xyz, triangles);
}

// Quads (i, j), (i + 1, j), (i + 1, j + 1), (i, j + 1) of an nu x nv grid
// of cells whose vertices index(i, j) gives.
template <class Index> static std::vector<int> GridQuads(int nu, int nv, Index index) {
  std::vector<int> quads;
  quads.reserve(static_cast<size_t>(nu) * nv * 4);
  for (int j = 0; j < nv; j++)
    for (int i = 0; i < nu; i++)
      for (int corner : {index(i, j), index(i + 1, j), index(i + 1, j + 1), index(i, j + 1)})
        quads.push_back(corner);
  return quads;
}

CQuadMesh* MakeQuadTorus(int nu, int nv, double majorRadius, double minorRadius) {
  std::vector<float> xyz;
  for (int j = 0; j < nv; j++)
    for (int i = 0; i < nu; i++) {
      double u = 2.0 * PI_3D * i / nu, v = 2.0 * PI_3D * j / nv;
      double r = majorRadius + minorRadius * std::cos(v);
      xyz.insert(xyz.end(), {float(r * std::cos(u)), float(r * std::sin(u)),
                             float(minorRadius * std::sin(v))});
    }
  return MakeQuadMesh(xyz,
                      GridQuads(nu, nv, [&](int i, int j) { return (j % nv) * nu + (i % nu); }));
}

CQuadMesh* MakeQuadGrid(int nx, int ny) {
  std::vector<float> xyz;
  for (int j = 0; j <= ny; j++)
    for (int i = 0; i <= nx; i++) xyz.insert(xyz.end(), {float(i), float(j), 0.0f});
  return MakeQuadMesh(xyz, GridQuads(nx, ny, [&](int i, int j) { return j * (nx + 1) + i; }));
}

static CMesh3d* MakeGridSkipping(int nx, int ny, int holes) {
  std::vector<double> xyz;
  for (int j = 0; j <= ny; j++)
    for (int i = 0; i <= nx; i++) xyz.insert(xyz.end(), {double(i), double(j), 0.0});
  // holes sit on the diagonal, two quads apart, away from the border
  auto isHole = [&](int i, int j) {
    return i == j && i % 2 == 1 && i / 2 < holes && i < nx - 1 && j < ny - 1;
  };
  std::vector<int> triangles;
  GridTriangles(
      nx, ny, [&](int i, int j) { return j * (nx + 1) + i; }, isHole, triangles);
  return MakeMesh(xyz, triangles);
}

CMesh3d* MakeGrid(int nx, int ny) {
  return MakeGridSkipping(nx, ny, 0);
}

CMesh3d* MakeGridWithHoles(int nx, int ny, int holes) {
  return MakeGridSkipping(nx, ny, holes);
}

CMesh3d* MakeDoubled(const CMesh3d* open) {
  const int nv = open->NbVertex();
  std::map<const CVertex3d*, int> index;
  std::vector<double> xyz;
  for (int i = 0; i < nv; i++) {
    const CVertex3d* v = open->GetVertex(i);
    index[v] = i;
    xyz.insert(xyz.end(), {v->x, v->y, v->z});
  }
  for (int i = 0; i < nv; i++)
    xyz.insert(xyz.end(), {xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2] - 1.0});
  std::vector<int> triangles;
  std::set<std::pair<int, int>> directed;
  for (int i = 0; i < open->NbFace(); i++) {
    int c[3];
    for (int k = 0; k < 3; k++) c[k] = index[open->GetFace(i)->v(k)];
    for (int k = 0; k < 3; k++) directed.insert({c[k], c[(k + 1) % 3]});
    triangles.insert(triangles.end(), {c[0], c[1], c[2], nv + c[0], nv + c[2], nv + c[1]});
  }
  // a band of two triangles joins every boundary edge a -> b to its copy
  for (const auto& edge : directed)
    if (!directed.count({edge.second, edge.first})) {
      int a = edge.first, b = edge.second;
      triangles.insert(triangles.end(), {b, a, nv + a, b, nv + a, nv + b});
    }
  return MakeMesh(xyz, triangles);
}

CMesh3d* MakeNonManifoldFan(int blades) {
  std::vector<double> xyz = {0, 0, 0, 1, 0, 0};
  std::vector<int> triangles;
  for (int k = 0; k < blades; k++) {
    double a = 2.0 * PI_3D * k / blades;
    xyz.insert(xyz.end(), {0.5, std::cos(a), std::sin(a)});
    triangles.insert(triangles.end(), {0, 1, 2 + k});
  }
  return MakeMesh(xyz, triangles);
}

CMesh3d* MakeSoup(const CMesh3d* mesh) {
  std::vector<double> xyz;
  std::vector<int> triangles;
  xyz.reserve(size_t(mesh->NbFace()) * 9);
  triangles.reserve(size_t(mesh->NbFace()) * 3);
  for (int i = 0; i < mesh->NbFace(); i++)
    for (int k = 0; k < 3; k++) {
      const CVertex3d* v = mesh->GetFace(i)->v(k);
      triangles.push_back(static_cast<int>(xyz.size() / 3));
      xyz.insert(xyz.end(), {v->x, v->y, v->z});
    }
  return MakeMesh(xyz, triangles, false);
}

CMesh3d* MakeAwkwardSoup(int faces, unsigned seed, double scale, double offset) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> xyz;
  std::vector<int> triangles;
  for (int f = 0; f < faces; f++) {
    const int kind = f % 7;
    const double center[3] = {unit(random), unit(random), unit(random)};
    const double size = kind == 4 ? 2e-7 : 0.05 * unit(random);
    double p[9];
    for (int k = 0; k < 9; k++) p[k] = center[k % 3] + size * (unit(random) - 0.5);
    for (int k = 0; k < 3; k++) {
      const double mid = 0.5 * (p[k] + p[3 + k]);
      if (kind == 1 || kind == 5) p[6 + k] = p[k];            // equal corners
      if (kind == 5) p[3 + k] = p[k];                         // a point
      if (kind == 2 || kind == 3) p[6 + k] = mid;             // collinear
      if (kind == 3) p[6 + k] += 1e-9 * (unit(random) - 0.5); // sliver
    }
    const int base = static_cast<int>(xyz.size() / 3);
    for (double c : p) xyz.push_back(c * scale + offset);
    for (int copy = 0; copy < (kind == 6 ? 2 : 1); copy++)
      triangles.insert(triangles.end(), {base, base + 1, base + 2});
  }
  return MakeMesh(xyz, triangles, false);
}

int CountBoundaryEdges(const CMesh3d* mesh) {
  int count = 0;
  for (int i = 0; i < mesh->NbFace(); i++)
    for (int k = 0; k < 3; k++)
      if (!mesh->GetFace(i)->f(k)) count++;
  return count;
}

} // namespace testmeshes
