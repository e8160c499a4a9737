// Conversions between triangle, quad and polygon meshes, and the polygon
// weld.

#include "processing/PolygonConversions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/VertexIndexMap.h"

// Copies every polygon vertex into a new vertex of mesh (flag 0) and
// records its index in the polygon vertex.
static void CopyVertices(CPolygonMesh& polygons, CMesh3d& mesh) {
  mesh.m_ArrayVertex.Reserve(polygons.NbVertex());
  for (int i = 0; i < polygons.NbVertex(); i++) {
    CPolygonVertex& p = polygons.m_Vertices[i];
    p.m_Index = mesh.AddVertex(new CVertex3d(p.x, p.y, p.z));
  }
}

static void AddTriangle(CMesh3d& mesh, int a, int b, int c) {
  mesh.AddFace(new CFace3d(mesh.GetVertex(a), mesh.GetVertex(b), mesh.GetVertex(c)));
}

CMesh3d* ToTriangleStar(CPolygonMesh& polygons) {
  auto* mesh = new CMesh3d;
  CopyVertices(polygons, *mesh);
  for (int f = 0; f < polygons.NbFace(); f++) {
    const int* c = polygons.FaceCorners(f);
    const int n = polygons.FaceSize(f);
    // small polygons: one triangle
    if (n < 4) {
      AddTriangle(*mesh, c[0], c[1], c[2]);
      continue;
    }
    // larger ones: a fan around the mean of the corners
    double x = 0.0, y = 0.0, z = 0.0;
    for (int k = 0; k < n; k++) {
      x += polygons.m_Vertices[c[k]].x;
      y += polygons.m_Vertices[c[k]].y;
      z += polygons.m_Vertices[c[k]].z;
    }
    auto* centre = new CVertex3d(x / n, y / n, z / n);
    centre->m_Flag = 1;
    const int m = mesh->AddVertex(centre);
    for (int k = 0; k < n; k++) AddTriangle(*mesh, c[k], c[(k + 1) % n], m);
  }
  mesh->Rebuild();
  return mesh;
}

// The diagonal (i, j) of the polygon p (indices into p) whose counters come
// closest to 5, scanning i then j upwards so that the first of equals wins;
// j >= i + 2 and (0, n - 1) is no diagonal.
static void BestDiagonal(const std::vector<int>& p, const CPolygonMesh& polygons, int& bestI,
                         int& bestJ) {
  const int n = static_cast<int>(p.size());
  auto cost = [&](int k) {
    const int d = polygons.m_Vertices[p[k]].m_Counter - 5;
    return d * d;
  };
  // suffix minimum of the cost over j .. n - 1, the smallest j on ties
  std::vector<int> suffix(static_cast<size_t>(n));
  suffix[n - 1] = n - 1;
  for (int j = n - 2; j >= 0; j--) suffix[j] = cost(j) <= cost(suffix[j + 1]) ? j : suffix[j + 1];
  long best = -1;
  for (int i = 0; i + 2 < n; i++) {
    int j = suffix[i + 2];
    if (i == 0 && j == n - 1) {
      // the pair (0, n - 1) is an edge: the best of 2 .. n - 2 instead
      j = 2;
      for (int k = 3; k <= n - 2; k++)
        if (cost(k) < cost(j)) j = k;
      if (n - 2 < 2) continue;
    }
    const long c = cost(i) + cost(j);
    if (best < 0 || c < best) {
      best = c;
      bestI = i;
      bestJ = j;
    }
  }
}

CMesh3d* ToTriangleRegular(CPolygonMesh& polygons) {
  auto* mesh = new CMesh3d;
  CopyVertices(polygons, *mesh);
  polygons.BuildAdjacency();
  for (CPolygonVertex& v : polygons.m_Vertices) v.m_Counter = v.m_Valence;
  std::vector<std::vector<int>> pending;
  for (int f = 0; f < polygons.NbFace(); f++) {
    const int* c = polygons.FaceCorners(f);
    pending.assign(1, std::vector<int>(c, c + polygons.FaceSize(f)));
    // depth first, the sub-polygon i … j before j … i, as a recursion would
    while (!pending.empty()) {
      std::vector<int> p = std::move(pending.back());
      pending.pop_back();
      const int n = static_cast<int>(p.size());
      if (n == 3) {
        AddTriangle(*mesh, p[0], p[1], p[2]);
        continue;
      }
      int i = 0, j = 2;
      BestDiagonal(p, polygons, i, j);
      polygons.m_Vertices[p[i]].m_Counter++;
      polygons.m_Vertices[p[j]].m_Counter++;
      std::vector<int> second(p.begin() + j, p.end());
      second.insert(second.end(), p.begin(), p.begin() + i + 1);
      std::vector<int> first(p.begin() + i, p.begin() + j + 1);
      pending.push_back(std::move(second));
      pending.push_back(std::move(first));
    }
  }
  mesh->Rebuild();
  return mesh;
}

void SplitIntoQuadsAndTriangles(CPolygonMesh& polygons) {
  std::vector<int> starts{0};
  std::vector<int> corners;
  std::vector<CColor> colors;
  corners.reserve(polygons.m_Corners.size() + polygons.m_Corners.size() / 2);
  auto emit = [&](const int* c, int n, const CColor& color) {
    corners.insert(corners.end(), c, c + n);
    starts.push_back(static_cast<int>(corners.size()));
    colors.push_back(color);
  };
  std::vector<int> rest;
  for (int f = 0; f < polygons.NbFace(); f++) {
    const int* c = polygons.FaceCorners(f);
    rest.assign(c, c + polygons.FaceSize(f));
    const CColor color = polygons.m_FaceColor[f];
    // peel the quad (P0, P1, P2, P3) off; (P3, …, Pn-1, P0) goes on
    while (rest.size() > 4) {
      emit(rest.data(), 4, color);
      const int p0 = rest[0];
      rest.erase(rest.begin(), rest.begin() + 3);
      rest.push_back(p0);
    }
    emit(rest.data(), static_cast<int>(rest.size()), color);
  }
  polygons.m_FaceStart = std::move(starts);
  polygons.m_Corners = std::move(corners);
  polygons.m_FaceColor = std::move(colors);
  polygons.Rebuild();
}

void FromTriangleMesh(CPolygonMesh& polygons, const CMesh3d& triangles) {
  CVertexIndexMap index(triangles.m_ArrayVertex);
  polygons.Clear();
  polygons.Reserve(triangles.NbVertex(), triangles.NbFace(), 3 * triangles.NbFace());
  for (int i = 0; i < triangles.NbVertex(); i++) {
    const CVertex3d* v = triangles.GetVertex(i);
    polygons.AddVertex(v->x, v->y, v->z);
  }
  for (int f = 0; f < triangles.NbFace(); f++) {
    const CFace3d* face = triangles.GetFace(f);
    if (!face) continue;
    const int c[3] = {index.IndexOf(face->v(0)), index.IndexOf(face->v(1)),
                      index.IndexOf(face->v(2))};
    polygons.AddFace(c, 3, face->m_Color);
  }
  polygons.Rebuild();
}

void FromQuadMesh(CPolygonMesh& polygons, const CQuadMesh& quads) {
  polygons.Clear();
  polygons.Reserve(quads.NbVertex(), quads.NbFace(), 4 * quads.NbFace());
  for (const CQuadVertex& v : quads.m_Vertices) polygons.AddVertex(v.x, v.y, v.z);
  for (const CQuadFace& face : quads.m_Faces) polygons.AddFace(face.v, 4);
  polygons.Rebuild();
}

// The 64-bit finaliser of MurmurHash3: every input bit reaches every
// output bit (coordinates with zero low bits still spread).
static uint64_t Mix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdull;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ull;
  h ^= h >> 33;
  return h;
}

// Hash of a position; -0 and +0 hash alike, as they compare equal.
static uint64_t PositionHash(const CPolygonVertex& v) {
  uint64_t h = 0;
  for (double c : {v.x, v.y, v.z}) {
    if (c == 0.0) c = 0.0;
    uint64_t bits;
    std::memcpy(&bits, &c, sizeof bits);
    h = Mix(h ^ bits);
  }
  return h;
}

int Weld(CPolygonMesh& polygons) {
  const int nv = polygons.NbVertex();
  const auto& v = polygons.m_Vertices;
  // the latest vertex of every position, in an open-addressing table of
  // vertex indices (expected linear time); a vertex with a NaN coordinate
  // equals nothing and stays itself
  size_t size = 16;
  while (size < 2 * static_cast<size_t>(nv)) size *= 2;
  std::vector<int> table(size, -1);
  std::vector<int> target(static_cast<size_t>(nv));
  auto same = [&v](int a, int b) {
    return v[a].x == v[b].x && v[a].y == v[b].y && v[a].z == v[b].z;
  };
  for (int i = 0; i < nv; i++) {
    target[i] = i;
    if (std::isnan(v[i].x) || std::isnan(v[i].y) || std::isnan(v[i].z)) continue;
    size_t slot = PositionHash(v[i]) & (size - 1);
    while (table[slot] >= 0 && !same(table[slot], i)) slot = (slot + 1) & (size - 1);
    table[slot] = i;
  }
  // every vertex goes to the latest of its position
  for (int i = 0; i < nv; i++) {
    if (std::isnan(v[i].x) || std::isnan(v[i].y) || std::isnan(v[i].z)) continue;
    size_t slot = PositionHash(v[i]) & (size - 1);
    while (!same(table[slot], i)) slot = (slot + 1) & (size - 1);
    target[i] = table[slot];
  }
  // keep the targets, in order, and renumber the corners
  std::vector<int> newIndex(static_cast<size_t>(nv), -1);
  std::vector<CPolygonVertex> kept;
  kept.reserve(static_cast<size_t>(nv));
  for (int i = 0; i < nv; i++)
    if (target[i] == i) {
      newIndex[i] = static_cast<int>(kept.size());
      kept.push_back(v[i]);
    }
  for (int& c : polygons.m_Corners) c = newIndex[target[c]];
  const int removed = nv - static_cast<int>(kept.size());
  polygons.m_Vertices = std::move(kept);
  polygons.Rebuild();
  return removed;
}
