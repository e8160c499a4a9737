// Camera position of a view and silhouette marks on a mesh.

#include "processing/Silhouette.h"

#include <cmath>

#include "geometry/Mesh3d.h"

// Degrees to radians as the camera computation converts the view angles.
constexpr double kCameraDegree = 0.017453292;

namespace {

// Rotates (a, b) by -angle degrees in their plane: the inverse of a
// counter-clockwise rotation.
void Unrotate(double& a, double& b, float degrees) {
  const double t = -degrees * kCameraDegree;
  const double c = std::cos(t), s = std::sin(t);
  const double a2 = a * c - b * s, b2 = a * s + b * c;
  a = a2;
  b = b2;
}

double Product(const CFace3d* f, const CVector3d& toCorner) {
  return f->m_Normal.x * toCorner.x + f->m_Normal.y * toCorner.y + f->m_Normal.z * toCorner.z;
}

CVector3d FromCamera(const CFace3d* f, const CVector3d& camera) {
  const CVertex3d* p = f->m_pVertex[0];
  return CVector3d(p->x - camera.x, p->y - camera.y, p->z - camera.z);
}

} // namespace

CVector3d CameraPosition(const std::array<float, 3>& rotation,
                         const std::array<float, 3>& translation,
                         const std::array<float, 3>& scale) {
  double x = -translation[0], y = -translation[1], z = -translation[2];
  Unrotate(y, z, rotation[0]); // about X
  Unrotate(z, x, rotation[1]); // about Y
  Unrotate(x, y, rotation[2]); // about Z
  double p[3] = {x, y, z};
  for (int k = 0; k < 3; k++)
    if (scale[k] != 0.0f) p[k] /= scale[k];
  return CVector3d(p[0], p[1], p[2]);
}

bool FacesCamera(const CFace3d* f, const CVector3d& camera) {
  return f && f->m_pVertex[0] && Product(f, FromCamera(f, camera)) < 0.0;
}

int FlagSilhouette(CMesh3d* mesh, const CVector3d& camera) {
  if (!mesh) return 0;
  int edges = 0;
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f || f->HasNullVertex()) continue;
    const CVector3d toCorner = FromCamera(f, camera);
    const double mine = Product(f, toCorner);
    for (int i = 0; i < 3; i++) {
      const CFace3d* g = f->m_pFace[i];
      if (!g) continue;
      const double theirs = Product(g, toCorner);
      if (!((mine > 0.0 && theirs < 0.0) || (mine <= 0.0 && theirs > 0.0))) continue;
      edges++;
      for (int end = 0; end < 2; end++)
        for (CFace3d* around : f->m_pVertex[(i + end) % 3]->m_ArrayFaceNeighbor)
          if (around) around->m_Flag = 1;
    }
  }
  return edges;
}

int FlagFrontFaces(CMesh3d* mesh, const CVector3d& camera, int value) {
  if (!mesh) return 0;
  int count = 0;
  for (CFace3d* f : mesh->m_ArrayFace)
    if (f && !f->HasNullVertex() && FacesCamera(f, camera)) {
      f->m_Flag = value;
      count++;
    }
  return count;
}
