// The face-split table shared by the Loop step, the 1-to-4 split and
// adaptive refinement, and the creation of new vertices.

#include "geometry/Mesh3d.h"
#include "processing/SubdivisionPasses.h"

namespace {

// One row of the split table: the faces appended, in order, and what the
// face itself becomes, as places 0-2 (the corners P0, P1, P2) and 3-5 (the
// edge vertices S0, S1, S2).
struct CSplitRow {
  int nbNew;
  int appended[3][3];
  int self[3];
};

enum { P0 = 0, P1 = 1, P2 = 2, S0 = 3, S1 = 4, S2 = 5 };

// Indexed by the split edges as bits (bit i set when S_i is filled). The
// diagonal used when two edges are split is fixed by which edges they are.
const CSplitRow kSplitTable[8] = {
    /* none      */ {0, {}, {P0, P1, P2}},
    /* S0        */ {1, {{S0, P1, P2}}, {P0, S0, P2}},
    /* S1        */ {1, {{P0, S1, P2}}, {P0, P1, S1}},
    /* S0 and S1 */ {2, {{S0, P1, S1}, {P0, S0, S1}}, {P0, S1, P2}},
    /* S2        */ {1, {{S2, P1, P2}}, {P0, P1, S2}},
    /* S0 and S2 */ {2, {{P0, S0, S2}, {S2, S0, P2}}, {S0, P1, P2}},
    /* S1 and S2 */ {2, {{P1, S1, S2}, {S1, P2, S2}}, {P0, P1, S2}},
    /* all three */ {3, {{S0, P1, S1}, {S0, S1, S2}, {S2, S1, P2}}, {P0, S0, S2}},
};

} // namespace

int FaceHasThreeCorners(const CFace3d* f) {
  return !f->HasNullVertex();
}

int ProcessedIndex(const CMesh3d* mesh, const CFace3d* g, int count) {
  if (!g) return -1;
  const int gi = g->m_Flag;
  return gi >= 0 && gi < count && gi < mesh->NbFace() && mesh->GetFace(gi) == g ? gi : -1;
}

int CommonEdge(const CFace3d* g, const CVertex3d* a, const CVertex3d* b) {
  for (int j = 0; j < 3; j++) {
    const CVertex3d* p = g->m_pVertex[j];
    const CVertex3d* q = g->m_pVertex[(j + 1) % 3];
    if ((p == a && q == b) || (p == b && q == a)) return j;
  }
  return -1;
}

CVertex3d* AppendVertex(CMesh3d* mesh, double x, double y, double z) {
  CVertex3d* v = new CVertex3d(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
  mesh->m_ArrayVertex.Add(v);
  return v;
}

CVertex3d* AppendMidpoint(CMesh3d* mesh, const CVertex3d* a, const CVertex3d* b) {
  return AppendVertex(mesh, (a->x + b->x) / 2.0, (a->y + b->y) / 2.0, (a->z + b->z) / 2.0);
}

void SplitFace(CMesh3d* mesh, CFace3d* f, CVertex3d* const s[3]) {
  CVertex3d* const v[6] = {f->m_pVertex[0], f->m_pVertex[1], f->m_pVertex[2], s[0], s[1], s[2]};
  int split = (v[S0] ? 1 : 0) | (v[S1] ? 2 : 0) | (v[S2] ? 4 : 0);
  const CSplitRow& row = kSplitTable[split];

  // appended faces, then the face itself
  for (int k = 0; k < row.nbNew; k++) {
    const int* c = row.appended[k];
    mesh->m_ArrayFace.Add(new CFace3d(v[c[0]], v[c[1]], v[c[2]]));
  }
  CVertex3d* a = v[row.self[0]];
  CVertex3d* b = v[row.self[1]];
  CVertex3d* c = v[row.self[2]];
  f->Set(a, b, c);

  // back to the state outside a refinement step
  f->m_Flag = 0;
}

void SplitFaces(CMesh3d* mesh, int nbFace, int filled, const CEdgeVertices& edges) {
  mesh->m_ArrayFace.Reserve(mesh->NbFace() + filled);
  for (int i = 0; i < nbFace; i++)
    if (CFace3d* f = mesh->GetFace(i)) SplitFace(mesh, f, edges.Row(i));
}
