#pragma once

// Meshes and mesh snapshots shared by the valence coder tests.

#include <cstdint>
#include <random>
#include <vector>

#include "geometry/Mesh3d.h"
#include "tests/support/TestMeshes.h"

namespace valencetest {

// Flips `count` random interior edges whose end vertices keep a valence of
// at least 3, turning a regular mesh into an irregular one of the same
// topology.
inline int FlipRandomEdges(CMesh3d& mesh, int count, uint32_t seed) {
  std::mt19937 random(seed);
  int flipped = 0;
  for (int attempt = 0; flipped < count && attempt < 20 * count; ++attempt) {
    CFace3d* face = mesh.GetFace(static_cast<int>(random() % mesh.NbFace()));
    int i = static_cast<int>(random() % 3);
    CFace3d* other = face->f(i);
    if (!other || face->v(i)->NbNeighbor() < 5 || face->v((i + 1) % 3)->NbNeighbor() < 5) continue;
    flipped += face->FlipEdge(other);
  }
  return flipped;
}

// The meshes of the coders' rate tables: a regular torus and randomly
// flipped spheres and tori (level > 0: an icosphere of that level, else an
// nu x nv torus; then `flips` random edge flips with seed 1).
struct ReferenceMesh {
  const char* name;
  int nu, nv, level, flips;
};
inline constexpr ReferenceMesh kReferenceMeshes[] = {
    {"torus 200x100", 200, 100, 0, 0},
    {"sphere 5, 4000 flips", 0, 0, 5, 4000},
    {"sphere 5, 12000 flips", 0, 0, 5, 12000},
    {"torus 120x60, 6000 flips", 120, 60, 0, 6000},
    {"torus 160x80, 30000 flips", 160, 80, 0, 30000}};

inline CMesh3d* MakeReferenceMesh(const ReferenceMesh& reference) {
  CMesh3d* mesh = reference.level ? testmeshes::MakeIcoSphere(reference.level)
                                  : testmeshes::MakeTorus(reference.nu, reference.nv);
  if (reference.flips) FlipRandomEdges(*mesh, reference.flips, 1);
  return mesh;
}

// Everything of a mesh that the encoder must leave as it found it.
struct MeshSnapshot {
  std::vector<const void*> vertices, faces;
  std::vector<double> positions;
  std::vector<const void*> corners, links;
  std::vector<std::vector<const void*>> neighbours, incident;

  explicit MeshSnapshot(const CMesh3d& mesh) {
    for (int i = 0; i < mesh.NbVertex(); ++i) {
      const CVertex3d* v = mesh.GetVertex(i);
      vertices.push_back(v);
      CVector3d s = v->SavedPosition();
      positions.insert(positions.end(), {v->x, v->y, v->z, s.x, s.y, s.z});
      neighbours.emplace_back(v->m_ArrayVertexNeighbor.begin(), v->m_ArrayVertexNeighbor.end());
      incident.emplace_back(v->m_ArrayFaceNeighbor.begin(), v->m_ArrayFaceNeighbor.end());
    }
    for (int i = 0; i < mesh.NbFace(); ++i) {
      const CFace3d* f = mesh.GetFace(i);
      faces.push_back(f);
      for (int k = 0; k < 3; ++k) {
        corners.push_back(f->v(k));
        links.push_back(f->f(k));
      }
    }
  }
  bool operator==(const MeshSnapshot& o) const {
    return vertices == o.vertices && faces == o.faces && positions == o.positions &&
           corners == o.corners && links == o.links && neighbours == o.neighbours &&
           incident == o.incident;
  }
};

} // namespace valencetest
