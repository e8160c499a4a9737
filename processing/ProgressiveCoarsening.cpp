// Truncation of meshes whose faces are stored from coarse to fine (as the
// progressive decoders store them): keep the first faces, or append a
// series of coarser copies.

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "processing/SceneMeshes.h"
#include "processing/SimplificationCommands.h"
#include "processing/SubdivisionMemory.h"

std::vector<int> CoarseLevelSizes(int levels, int faces) {
  std::vector<int> sizes;
  // integer arithmetic: floor((L - i) * F / L) without rounding trouble
  for (int i = 1; i < levels; i++)
    sizes.push_back(static_cast<int>(static_cast<long long>(levels - i) * faces / levels));
  return sizes;
}

CSubdivisionOutcome CommandKeepFaces(CSceneGraph3d* scene, int faces) {
  CMesh3d* mesh = FirstMesh(scene);
  // special case: a negative count is refused, a count above the size keeps all
  if (!mesh || faces < 0 || faces >= mesh->NbFace()) return {};
  mesh->SetFaceCount(faces);
  return Changed();
}

CSubdivisionOutcome CommandCoarseProgressive(CSceneGraph3d* scene, int levels) {
  CMesh3d* mesh = FirstMesh(scene);
  if (!mesh || levels < 2) return {};
  std::vector<int> sizes = CoarseLevelSizes(levels, mesh->NbFace());

  // every copy holds the whole vertex array and its share of the faces
  double bytes = 0.0, largest = 0.0;
  for (int n : sizes) {
    CMeshCount count;
    count.faces = n;
    count.vertices = mesh->NbVertex();
    bytes += MeshBytes(count);
    if (n > largest) largest = n;
  }
  if (!MemoryAllows(bytes, largest, AvailableMemoryBytes())) return Refused();

  for (int n : sizes) {
    CMesh3d* copy = mesh->Clone();
    copy->SetFaceCount(n);
    scene->Add(copy);
  }
  return Changed();
}
