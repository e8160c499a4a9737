#include "io/MeshIndices.h"

#include "geometry/Mesh3d.h"

void NumberVertices(CMesh3d* mesh) {
  const int n = mesh->NbVertex();
  for (int i = 0; i < n; i++)
    if (CVertex3d* v = mesh->GetVertex(i)) v->m_Flag = i;
}

int CornerIndex(const CMesh3d* mesh, const CVertex3d* corner) {
  if (!corner) return -1;
  const int i = corner->m_Flag;
  if (i < 0 || i >= mesh->NbVertex() || mesh->GetVertex(i) != corner) return -1;
  return i;
}
