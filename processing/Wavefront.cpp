// Wavefront rings from a seed face: a breadth-first visit of the faces, ring
// by ring, through per-ring vertex lists (each vertex and face is visited
// once, no rescan of the mesh).

#include "processing/Wavefront.h"

#include "geometry/Mesh3d.h"
#include "processing/FaceColoring.h"

// Visits every face of v not yet visited: the face takes ring + 1 as tag and
// its corners not yet reached take layer ring + 1 and join next.
static void VisitFaces(CVertex3d* v, int ring, std::vector<CVertex3d*>& next) {
  for (CFace3d* f : v->m_ArrayFaceNeighbor) {
    if (!f || f->m_Flag != 0) continue;
    f->m_Flag = 1;
    f->SetTag(ring + 1);
    for (int k = 0; k < 3; k++) {
      CVertex3d* c = f->m_pVertex[k];
      if (!c || c == v || c->m_Flag != 0) continue;
      c->SetTagA(ring + 1);
      c->m_Flag = 1;
      next.push_back(c);
    }
  }
}

int BuildWavefront(CMesh3d* mesh, int seedFace) {
  if (!mesh || seedFace < 0 || seedFace >= mesh->NbFace()) return 0;
  CFace3d* seed = mesh->GetFace(seedFace);
  if (!seed || seed->HasNullVertex()) return 0;

  // reset: nothing visited, no layer, no ring
  for (CVertex3d* v : mesh->m_ArrayVertex) {
    if (!v) continue;
    v->m_Flag = 0;
    v->SetTagA(kNoLayer);
  }
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f) continue;
    f->m_Flag = 0;
    f->SetTag(kNoLayer);
    f->SetAux(f->m_Normal);
  }

  // ring 0: the seed face's corners, marked reached so that they keep it
  seed->m_Flag = 1;
  seed->SetTag(0);
  std::vector<CVertex3d*> ring, next;
  for (int k = 0; k < 3; k++) {
    CVertex3d* c = seed->m_pVertex[k];
    if (c->m_Flag != 0) continue;
    c->SetTagA(0);
    c->m_Flag = 1;
    ring.push_back(c);
  }

  // ring i brings in ring i + 1 until a ring visits no new vertex
  int rings = 1;
  for (int i = 0; !ring.empty(); i++) {
    next.clear();
    for (CVertex3d* v : ring) VisitFaces(v, i, next);
    if (!next.empty()) rings = i + 2;
    ring.swap(next);
  }
  return rings;
}

CRingLists RingLists(const CMesh3d* mesh) {
  CRingLists rings;
  for (CVertex3d* v : mesh->m_ArrayVertex) {
    if (!v || v->NbFace() == 0) continue;
    int layer = v->GetTagA();
    if (layer < 0) continue;
    if (static_cast<size_t>(layer) >= rings.size()) rings.resize(static_cast<size_t>(layer) + 1);
    rings[static_cast<size_t>(layer)].push_back(v);
  }
  return rings;
}

void ColorFacesByRing(CMesh3d* mesh) {
  for (CFace3d* f : mesh->m_ArrayFace)
    if (f && f->GetTag() >= 0) f->m_Color = kFlagPalette[f->GetTag() % 10];
  mesh->SetModified();
}
