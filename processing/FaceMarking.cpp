#include "processing/FaceMarking.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/Mesh3d.h"
#include "processing/Silhouette.h"

namespace {

bool Usable(const CFace3d* f) {
  return f && !f->HasNullVertex();
}

CVector3d Centroid(const CFace3d* f) {
  CVector3d sum(0.0, 0.0, 0.0);
  for (int k = 0; k < 3; k++) sum += CVector3d(f->v(k)->x, f->v(k)->y, f->v(k)->z);
  return sum * (1.0 / 3.0);
}

} // namespace

int MarkBackFaces(CMesh3d* mesh, const CVector3d& camera, int key) {
  if (!mesh) return 0;
  int count = 0;
  for (CFace3d* f : mesh->m_ArrayFace)
    if (Usable(f) && !FacesCamera(f, camera)) {
      f->m_Flag = key;
      count++;
    }
  return count;
}

int MarkSilhouetteFaces(CMesh3d* mesh, const CVector3d& camera, int frontKey, int backKey) {
  if (!mesh) return 0;
  // the silhouette flagging on cleared flags tells which faces it reaches
  std::vector<int> kept;
  kept.reserve(size_t(mesh->NbFace()));
  for (CFace3d* f : mesh->m_ArrayFace) {
    kept.push_back(f ? f->m_Flag : 0);
    if (f) f->m_Flag = 0;
  }
  FlagSilhouette(mesh, camera);
  int count = 0, i = 0;
  for (CFace3d* f : mesh->m_ArrayFace) {
    const int old = kept[size_t(i++)];
    if (!f) continue;
    if (f->m_Flag == 1 && Usable(f)) {
      f->m_Flag = FacesCamera(f, camera) ? frontKey : backKey;
      count++;
    } else {
      f->m_Flag = old;
    }
  }
  return count;
}

int MarkDepthRamp(CMesh3d* mesh, const CVector3d& camera) {
  if (!mesh) return 0;
  // distances first, then their range mapped onto the ramp
  std::vector<double> distance(size_t(mesh->NbFace()), 0.0);
  double nearest = 1.7e308, farthest = -1.7e308;
  for (int i = 0; i < mesh->NbFace(); i++) {
    const CFace3d* f = mesh->GetFace(i);
    if (!Usable(f)) continue;
    const CVector3d d = Centroid(f) - camera;
    distance[size_t(i)] = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    nearest = std::min(nearest, distance[size_t(i)]);
    farthest = std::max(farthest, distance[size_t(i)]);
  }
  const double range = farthest - nearest;
  int count = 0;
  for (int i = 0; i < mesh->NbFace(); i++) {
    CFace3d* f = mesh->GetFace(i);
    if (!Usable(f)) continue;
    const double t = range > 0.0 ? (distance[size_t(i)] - nearest) / range : 0.0;
    f->m_Flag = std::clamp(int(t * 255.0 + 0.5), 0, 255);
    count++;
  }
  return count;
}
