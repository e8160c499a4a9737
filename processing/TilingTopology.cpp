// The flat connectivity of a mesh that the tiling walks.

#include "processing/TilingTopology.h"

#include "geometry/Mesh3d.h"

CTilingTopology ReadTilingTopology(CMesh3d* mesh) {
  CTilingTopology topo;
  const int nv = mesh->NbVertex();
  const int nf = mesh->NbFace();
  // vertex and face flags number the elements while the arrays are read
  for (int v = 0; v < nv; v++) mesh->GetVertex(v)->m_Flag = v;
  auto vertexIndex = [mesh, nv](const CVertex3d* v) {
    const int k = v ? v->m_Flag : -1;
    return k >= 0 && k < nv && mesh->GetVertex(k) == v ? k : -1;
  };

  // corners
  topo.corner.resize(size_t(3) * nf);
  for (int f = 0; f < nf; f++) {
    CFace3d* face = mesh->GetFace(f);
    face->m_Flag = f;
    for (int i = 0; i < 3; i++) topo.corner[size_t(3 * f + i)] = vertexIndex(face->v(i));
  }

  // neighbours: a face is recognised when the slot its flag names holds it
  topo.neighbor.resize(size_t(3) * nf);
  for (int f = 0; f < nf; f++) {
    const CFace3d* face = mesh->GetFace(f);
    for (int i = 0; i < 3; i++) {
      const CFace3d* g = face->f(i);
      const int k = g ? g->m_Flag : -1;
      topo.neighbor[size_t(3 * f + i)] = (k >= 0 && k < nf && mesh->GetFace(k) == g) ? k : -1;
    }
  }

  // incident faces of every vertex, in its own face-list order
  topo.faceStart.assign(size_t(nv) + 1, 0);
  size_t total = 0;
  for (int v = 0; v < nv; v++) total += size_t(mesh->GetVertex(v)->NbFace());
  topo.faces.reserve(total);
  for (int v = 0; v < nv; v++) {
    const CVertex3d* vertex = mesh->GetVertex(v);
    for (int j = 0; j < vertex->NbFace(); j++) {
      const CFace3d* g = vertex->GetFace(j);
      const int k = g ? g->m_Flag : -1;
      if (k >= 0 && k < nf && mesh->GetFace(k) == g) topo.faces.push_back(k);
    }
    topo.faceStart[size_t(v) + 1] = static_cast<int>(topo.faces.size());
  }

  for (int f = 0; f < nf; f++) mesh->GetFace(f)->m_Flag = 0;
  for (int v = 0; v < nv; v++) mesh->GetVertex(v)->m_Flag = 0;
  return topo;
}
