#pragma once

#include <algorithm>
#include <cstddef>
#include <new>
#include <vector>

#include "geometry/ElementPool.h"
#include "geometry/Mesh3d.h"

// Appends nv vertices and nf triangles to a mesh, their blocks taken from
// the element pools in batches of a few thousand (one request per batch
// rather than per element, and a batch's list stays in cache).
// makeVertex(i, block) constructs new vertex i in block and returns it;
// corners(k, c) writes the three corners of face k as indices among the new
// vertices, each already checked to be one; finishFace(k, face) sets the
// face's other fields.
template <class MakeVertex, class Corners, class FinishFace>
void AppendElements(CMesh3d* mesh, std::size_t nv, MakeVertex makeVertex, std::size_t nf,
                    Corners corners, FinishFace finishFace) {
  constexpr std::size_t kBatch = 4096;
  std::vector<void*> blocks(std::min(kBatch, std::max(nv, nf)));

  // vertices first, so that the faces can point at them
  const int first = mesh->NbVertex();
  mesh->m_ArrayVertex.Reserve(first + static_cast<int>(nv));
  for (std::size_t start = 0; start < nv; start += kBatch) {
    const std::size_t n = std::min(kBatch, nv - start);
    VertexPool().AllocateMany(n, blocks.data());
    for (std::size_t i = start; i < start + n; i++)
      mesh->AddVertex(makeVertex(i, blocks[i - start]));
  }

  // faces, their corners read from the new vertices' slots
  CVertex3d* const* vertex = mesh->m_ArrayVertex.GetData() + first;
  mesh->m_ArrayFace.Reserve(mesh->NbFace() + static_cast<int>(nf));
  for (std::size_t start = 0; start < nf; start += kBatch) {
    const std::size_t n = std::min(kBatch, nf - start);
    FacePool().AllocateMany(n, blocks.data());
    for (std::size_t k = start; k < start + n; k++) {
      int c[3];
      corners(k, c);
      auto* face = ::new (blocks[k - start]) CFace3d(vertex[c[0]], vertex[c[1]], vertex[c[2]]);
      finishFace(k, face);
      mesh->AddFace(face);
    }
  }
}
