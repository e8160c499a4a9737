// "Triangle -> quad": quads from the face flags of a triangle mesh.

#include "processing/TriangleToQuad.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/QuadMesh.h"
#include "geometry/SlotIndex.h"
#include "geometry/VertexIndexMap.h"

CQuadMesh* ToQuadMesh(const CMesh3d& mesh) {
  const int nv = mesh.NbVertex();
  const int nf = mesh.NbFace();
  bool flagged = false;
  for (int f = 0; f < nf; f++)
    if (mesh.GetFace(f) && mesh.GetFace(f)->m_Flag != 0) flagged = true;
  if (!flagged) return nullptr;

  CVertexIndexMap vertexIndex(mesh.m_ArrayVertex);
  CSlotIndex faceIndex;
  faceIndex.Reset(static_cast<size_t>(nf));
  for (int f = 0; f < nf; f++)
    if (mesh.GetFace(f)) faceIndex.Set(mesh.GetFace(f), f);
  // corners wrap modulo 3 (the slots after 2 are no corners)
  auto corner = [&](const CFace3d* face, int k) { return vertexIndex.IndexOf(face->v(k % 3)); };
  // a face whose corners are not all vertices of the mesh makes no quad
  auto usable = [&](const CFace3d* face) {
    return face && corner(face, 0) >= 0 && corner(face, 1) >= 0 && corner(face, 2) >= 0;
  };

  // pairs: a face of flag k >= 2 takes its first unpaired neighbour of flag k
  std::vector<int> partner(static_cast<size_t>(nf), -1);
  std::vector<int> partnerEdge(static_cast<size_t>(nf), -1);
  for (int f = 0; f < nf; f++) {
    const CFace3d* face = mesh.GetFace(f);
    if (!usable(face) || face->m_Flag < 2 || partner[f] >= 0) continue;
    for (int k = 0; k < 3; k++) {
      const CFace3d* other = face->f(k);
      const int g = other ? faceIndex.Get(other) : -1;
      if (g < 0 || g == f || partner[g] >= 0 || !usable(other) || other->m_Flag != face->m_Flag)
        continue;
      // the neighbour must really hold the common edge
      if (!other->HasVertex(face->v(k)) || !other->HasVertex(face->v((k + 1) % 3))) continue;
      partner[f] = g;
      partner[g] = f;
      partnerEdge[f] = k;
      break;
    }
  }

  auto* quads = new CQuadMesh;
  quads->m_Vertices.reserve(static_cast<size_t>(nv) + static_cast<size_t>(nf) * 2);
  for (int i = 0; i < nv; i++) {
    const CVertex3d* v = mesh.GetVertex(i);
    const int q = quads->AddVertex(static_cast<float>(v->x), static_cast<float>(v->y),
                                   static_cast<float>(v->z));
    quads->m_Vertices[q].m_Color = v->m_Color;
  }
  // centres of the faces split alone
  std::vector<int> centre(static_cast<size_t>(nf), -1);
  for (int f = 0; f < nf; f++) {
    const CFace3d* face = mesh.GetFace(f);
    if (!usable(face) || face->m_Flag == 0 || partner[f] >= 0) continue;
    float p[3] = {0.0f, 0.0f, 0.0f};
    for (int k = 0; k < 3; k++) {
      p[0] += static_cast<float>(face->v(k)->x);
      p[1] += static_cast<float>(face->v(k)->y);
      p[2] += static_cast<float>(face->v(k)->z);
    }
    centre[f] = quads->AddVertex(p[0] / 3.0f, p[1] / 3.0f, p[2] / 3.0f);
  }
  // midpoints of every edge of every face, one per edge
  std::unordered_map<uint64_t, int> midpoints;
  midpoints.reserve(static_cast<size_t>(nf) * 2);
  std::vector<int> mid(static_cast<size_t>(nf) * 3, -1);
  for (int f = 0; f < nf; f++) {
    const CFace3d* face = mesh.GetFace(f);
    if (!usable(face)) continue;
    for (int k = 0; k < 3; k++) {
      uint32_t a = static_cast<uint32_t>(corner(face, k));
      uint32_t b = static_cast<uint32_t>(corner(face, k + 1));
      if (a > b) std::swap(a, b);
      auto [it, added] = midpoints.emplace(static_cast<uint64_t>(a) << 32 | b, 0);
      if (added) {
        const CQuadVertex& p = quads->m_Vertices[a];
        const CQuadVertex& q = quads->m_Vertices[b];
        it->second = quads->AddVertex((p.x + q.x) / 2.0f, (p.y + q.y) / 2.0f, (p.z + q.z) / 2.0f);
      }
      mid[3 * f + k] = it->second;
    }
  }

  for (int f = 0; f < nf; f++) {
    const CFace3d* face = mesh.GetFace(f);
    if (!usable(face) || face->m_Flag == 0) continue;
    const int* s = &mid[3 * f];
    // a face alone: three quads around its centre
    if (centre[f] >= 0) {
      const int m = centre[f];
      quads->AddFace(corner(face, 0), s[0], m, s[2]);
      quads->AddFace(corner(face, 1), s[1], m, s[0]);
      quads->AddFace(corner(face, 2), s[2], m, s[1]);
      continue;
    }
    // a pair, made once by the face that chose its partner
    if (partnerEdge[f] < 0) continue;
    const int k = partnerEdge[f];
    const int g = partner[f];
    const CFace3d* other = mesh.GetFace(g);
    // the quadrilateral (a, b, d, c): this face is (a, b, c) with the
    // common edge b-c; d is the partner's corner off that edge
    const int b = corner(face, k), c = corner(face, k + 1), a = corner(face, k + 2);
    int d = -1, sbd = -1, sdc = -1;
    for (int j = 0; j < 3; j++) {
      const int p = corner(other, j);
      if (p != b && p != c) d = p;
    }
    for (int j = 0; j < 3; j++) {
      const int p = corner(other, j), q = corner(other, j + 1);
      if ((p == b && q == d) || (p == d && q == b)) sbd = mid[3 * g + j];
      if ((p == d && q == c) || (p == c && q == d)) sdc = mid[3 * g + j];
    }
    if (d < 0 || sbd < 0 || sdc < 0) continue;
    const int sab = s[(k + 2) % 3], sca = s[(k + 1) % 3], m = s[k];
    quads->AddFace(a, sab, m, sca);
    quads->AddFace(b, sbd, m, sab);
    quads->AddFace(d, sdc, m, sbd);
    quads->AddFace(c, sca, m, sdc);
  }
  quads->Rebuild();
  return quads;
}
