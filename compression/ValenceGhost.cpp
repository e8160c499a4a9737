#include "compression/ValenceGhost.h"

#include "geometry/Mesh3d.h"

namespace orvex {

int CValenceGhost::Close(CMesh3d& mesh) {
  m_Ghost = nullptr;
  m_Faces.clear();
  m_OpenEdges.clear();
  m_Boundary.clear();

  // open edges: face edges with two distinct corners and no neighbour face
  const int nf = mesh.NbFace();
  for (int f = 0; f < nf; ++f) {
    CFace3d* face = mesh.GetFace(f);
    for (int i = 0; i < 3; ++i) {
      CVertex3d* a = face->v(i);
      CVertex3d* b = face->v((i + 1) % 3);
      if (!face->f(i) && a && b && a != b) m_OpenEdges.emplace_back(face, i);
    }
  }
  if (m_OpenEdges.empty()) return 0;

  // boundary vertices (each once) by index, with the ghost faces that
  // start and end at each of them
  const int nv = mesh.NbVertex();
  for (int i = 0; i < nv; ++i) mesh.GetVertex(i)->m_Flag = i;
  std::vector<char> onBoundary(nv, 0);
  std::vector<CFace3d*> startsAt(nv, nullptr), endsAt(nv, nullptr);
  auto indexOf = [&](CVertex3d* v) {
    int i = v->m_Flag;
    return i >= 0 && i < nv && mesh.GetVertex(i) == v ? i : -1;
  };

  m_Ghost = new CVertex3d;
  double x = 0, y = 0, z = 0;
  m_Faces.reserve(m_OpenEdges.size());
  for (const auto& open : m_OpenEdges) {
    CFace3d* face = open.first;
    CVertex3d* a = face->v(open.second);
    CVertex3d* b = face->v((open.second + 1) % 3);
    // the ghost face runs the edge the other way round: (b, a, ghost)
    CFace3d* ghostFace = new CFace3d(b, a, m_Ghost);
    ghostFace->SetNeighbor(0, face);
    face->SetNeighbor(open.second, ghostFace);
    m_Faces.push_back(ghostFace);
    for (CVertex3d* v : {b, a}) {
      int i = indexOf(v);
      if (i >= 0 && !onBoundary[i]) {
        onBoundary[i] = 1;
        m_Boundary.push_back(v);
        x += v->x;
        y += v->y;
        z += v->z;
      }
    }
    int ib = indexOf(b), ia = indexOf(a);
    if (ib >= 0 && !startsAt[ib]) startsAt[ib] = ghostFace;
    if (ia >= 0 && !endsAt[ia]) endsAt[ia] = ghostFace;
  }
  double count = static_cast<double>(m_Boundary.size());
  if (count > 0) m_Ghost->Set(x / count, y / count, z / count);

  // links between ghost faces: (b, a, G) meets the face starting at a
  // across (a, G) and the face ending at b across (G, b)
  for (CFace3d* ghostFace : m_Faces) {
    int ib = indexOf(ghostFace->v(0)), ia = indexOf(ghostFace->v(1));
    if (ia >= 0) ghostFace->SetNeighbor(1, startsAt[ia]);
    if (ib >= 0) ghostFace->SetNeighbor(2, endsAt[ib]);
  }

  // neighbour and face lists
  for (CVertex3d* v : m_Boundary) {
    v->AddNeighbor(m_Ghost);
    m_Ghost->AddNeighbor(v);
  }
  for (CFace3d* ghostFace : m_Faces)
    for (int k = 0; k < 3; ++k) ghostFace->v(k)->AddFace(ghostFace);

  mesh.AddVertex(m_Ghost);
  mesh.m_ArrayFace.Reserve(nf + static_cast<int>(m_Faces.size()));
  for (CFace3d* ghostFace : m_Faces) mesh.AddFace(ghostFace);
  return 1;
}

void CValenceGhost::Remove(CMesh3d& mesh) {
  if (!m_Ghost) return;
  // the ghost and its faces were appended last
  int nf = mesh.NbFace() - static_cast<int>(m_Faces.size());
  mesh.m_ArrayFace.Truncate(nf);
  if (mesh.NbVertex() > 0 && mesh.GetVertex(mesh.NbVertex() - 1) == m_Ghost)
    mesh.m_ArrayVertex.Truncate(mesh.NbVertex() - 1);
  for (const auto& open : m_OpenEdges) open.first->SetNeighbor(open.second, nullptr);
  for (CFace3d* ghostFace : m_Faces)
    for (int k = 0; k < 2; ++k) ghostFace->v(k)->RemoveFace(ghostFace);
  for (CVertex3d* v : m_Boundary) v->RemoveNeighbor(m_Ghost);
  for (CFace3d* ghostFace : m_Faces) delete ghostFace;
  delete m_Ghost;
  m_Ghost = nullptr;
  m_Faces.clear();
  m_OpenEdges.clear();
  m_Boundary.clear();
}

void CValenceGhost::Keep() {
  m_Ghost = nullptr;
  m_Faces.clear();
  m_OpenEdges.clear();
  m_Boundary.clear();
}

} // namespace orvex
