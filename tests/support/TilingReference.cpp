#include "tests/support/TilingReference.h"

#include <unordered_map>

#include "geometry/Mesh3d.h"

namespace {

struct CReferenceGrowth {
  std::unordered_map<const CVertex3d*, int> vertexIndex;
  std::unordered_map<const CFace3d*, int> faceIndex;
  std::vector<CReferenceTile> tiles;

  // The untouched corner of g when it has exactly one, else null.
  static CVertex3d* SingleUntouched(const CFace3d* g) {
    return g->NbCornerWithFlag(0) == 1 ? g->CornerWithFlag(0) : nullptr;
  }

  void GrowVertexTile(CVertex3d* v) {
    tiles.push_back({false, vertexIndex[v]});
    v->m_Flag = 1;
    for (int i = 0; i < v->NbNeighbor(); i++) v->GetNeighbor(i)->m_Flag = 2;
    for (int i = 0; i < v->NbFace(); i++) v->GetFace(i)->m_Flag = 1;
    for (;;) {
      CVertex3d* best = nullptr;
      for (int i = 0; i < v->NbFace(); i++) {
        CFace3d* g = v->GetFace(i)->NeighborWithout(v);
        if (!g || g->m_Flag == 1) continue;
        CVertex3d* c = SingleUntouched(g);
        if (c && (!best || c->NbFace() > best->NbFace())) best = c;
      }
      if (!best) break;
      GrowVertexTile(best);
    }
    for (;;) {
      CFace3d* next = nullptr;
      for (int i = 0; i < v->NbFace() && !next; i++) {
        CFace3d* g = v->GetFace(i)->NeighborWithout(v);
        if (g && g->m_Flag != 1 && g->NbCornerWithFlag(2) == 3) next = g;
      }
      if (!next) break;
      GrowFaceTile(next);
    }
  }

  void GrowFaceTile(CFace3d* f) {
    tiles.push_back({true, faceIndex[f]});
    f->m_Flag = 1;
    f->SetCornerFlags(2);
    for (int i = 0; i < 3; i++) {
      CFace3d* q = f->f(i);
      if (!q || q->m_Flag == 1) continue;
      if (CVertex3d* c = SingleUntouched(q))
        GrowVertexTile(c);
      else
        GrowFaceTile(q);
    }
  }
};

} // namespace

std::vector<CReferenceTile> ReferenceTileGrowth(CMesh3d* mesh, int seed) {
  CReferenceGrowth growth;
  mesh->SetFlagOnFaces(0);
  mesh->SetFlagOnVertices(0);
  for (int i = 0; i < mesh->NbVertex(); i++) growth.vertexIndex[mesh->GetVertex(i)] = i;
  for (int i = 0; i < mesh->NbFace(); i++) growth.faceIndex[mesh->GetFace(i)] = i;
  if (seed >= 0 && seed < mesh->NbVertex()) growth.GrowVertexTile(mesh->GetVertex(seed));
  return growth.tiles;
}
