// Fractal 1-to-6 split: the midpoint 1-to-4 split whose middle triangle is
// raised into a low three-sided pyramid.

#include "geometry/Mesh3d.h"
#include "processing/LoopSubdivision.h"
#include "processing/SubdivisionPasses.h"

// One twelfth in single precision: the apex height per unit of perimeter.
constexpr double kApexHeightPerPerimeter = 0.083333336f;

// Appends the apex above the centre of f along its unit normal.
static CVertex3d* AppendApex(CMesh3d* mesh, const CFace3d* f) {
  const CVertex3d* p0 = f->m_pVertex[0];
  const CVertex3d* p1 = f->m_pVertex[1];
  const CVertex3d* p2 = f->m_pVertex[2];
  double d = f->Perimeter() * kApexHeightPerPerimeter;
  CVector3d n = f->m_Normal;
  n.Normalize();
  return AppendVertex(mesh, (p0->x + p1->x + p2->x) / 3.0 + d * n.x,
                      (p0->y + p1->y + p2->y) / 3.0 + d * n.y,
                      (p0->z + p1->z + p2->z) / 3.0 + d * n.z);
}

// Six faces from a face with all three edge vertices: the corner faces of
// the 1-to-4 split and the three sides of the pyramid.
static void SplitFaceFractal(CMesh3d* mesh, CFace3d* f, CVertex3d* const s[3]) {
  CVertex3d *p0 = f->m_pVertex[0], *p1 = f->m_pVertex[1], *p2 = f->m_pVertex[2];
  CVertex3d *s0 = s[0], *s1 = s[1], *s2 = s[2];
  CVertex3d* t = AppendApex(mesh, f);
  mesh->AddFace(new CFace3d(s0, p1, s1));
  mesh->AddFace(new CFace3d(s2, s1, p2));
  mesh->AddFace(new CFace3d(s0, s1, t));
  mesh->AddFace(new CFace3d(t, s1, s2));
  mesh->AddFace(new CFace3d(s2, s0, t));
  f->Set(p0, s0, s2);
  f->m_Flag = 0;
}

void SubdivisionFractal(CMesh3d* mesh) {
  if (!mesh) return;
  // the step rewrites faces: undo records of earlier steps would restore
  // corners into a mesh they no longer describe
  mesh->DropHistory();
  int nbFace = mesh->NbFace();

  // midpoints of every edge (faces with a null corner stay whole)
  CWholeFaces whole;
  whole.Mark(mesh, FaceHasThreeCorners);
  CEdgeVertices edges(nbFace);
  UniformEdgePass(mesh, EdgeRule::Midpoints, whole, edges);

  // apexes and faces; a face next to one left whole, with fewer edge
  // vertices, falls back to the shared split table
  mesh->m_ArrayVertex.Reserve(mesh->NbVertex() + nbFace);
  mesh->m_ArrayFace.Reserve(6 * nbFace);
  for (int i = 0; i < nbFace; i++) {
    CFace3d* f = mesh->GetFace(i);
    if (!f) continue;
    CVertex3d* const* s = edges.Row(i);
    if (s[0] && s[1] && s[2])
      SplitFaceFractal(mesh, f, s);
    else
      SplitFace(mesh, f, s);
  }
  mesh->Rebuild();
}
