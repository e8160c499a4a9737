#include "tests/support/SceneFingerprint.h"

#include <algorithm>
#include <unordered_map>

#include "geometry/Camera3d.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VectorSet3d.h"

namespace testmeshes {
namespace {

void AddVector(CDigest& digest, const CVector3d& v) {
  digest.Add(v.x);
  digest.Add(v.y);
  digest.Add(v.z);
}

void AddColor(CDigest& digest, const CColor& c) {
  const unsigned char rgba[4] = {c.r, c.g, c.b, c.a};
  digest.AddBytes(rgba, sizeof(rgba));
}

void AddMesh(CDigest* d, const CMesh3d& mesh) {
  std::unordered_map<const CVertex3d*, int> vertexIndex;
  std::unordered_map<const CFace3d*, int> faceIndex;
  for (int i = 0; i < mesh.NbVertex(); i++) vertexIndex[mesh.GetVertex(i)] = i;
  for (int i = 0; i < mesh.NbFace(); i++) faceIndex[mesh.GetFace(i)] = i;
  auto indexOf = [](const auto& map, const auto* element) {
    auto it = map.find(element);
    return it == map.end() ? -1 : it->second;
  };

  d[kAspectTopology].Add(mesh.NbVertex());
  d[kAspectTopology].Add(mesh.NbFace());
  const CTransform& t = mesh.m_Transform;
  AddVector(d[kAspectPositions], t.m_Scale);
  AddVector(d[kAspectPositions], t.m_RotationAxis);
  AddVector(d[kAspectPositions], t.m_Translation);
  d[kAspectPositions].Add(t.m_RotationAngle);

  for (int i = 0; i < mesh.NbVertex(); i++) {
    const CVertex3d* v = mesh.GetVertex(i);
    d[kAspectPositions].Add(v->x);
    d[kAspectPositions].Add(v->y);
    d[kAspectPositions].Add(v->z);
    AddVector(d[kAspectNormals], v->m_Normal);
    d[kAspectNormals].Add(v->NbNeighbor());
    d[kAspectNormals].Add(v->NbFace());
    AddColor(d[kAspectAttributes], v->m_Color);
    const int tags[] = {v->m_Flag, v->GetCounter(), v->GetTagA(), v->GetTagB(), v->GetTagD()};
    d[kAspectAttributes].Add(tags);
    const CVector3d s = v->SavedPosition();
    const double saved[] = {s.x, s.y, s.z};
    d[kAspectAttributes].Add(saved);
  }
  for (int i = 0; i < mesh.NbFace(); i++) {
    const CFace3d* f = mesh.GetFace(i);
    for (int c = 0; c < 3; c++) {
      d[kAspectTopology].Add(indexOf(vertexIndex, f->v(c)));
      d[kAspectNormals].Add(indexOf(faceIndex, f->f(c)));
    }
    AddVector(d[kAspectNormals], f->m_Normal);
    AddColor(d[kAspectAttributes], f->m_Color);
    d[kAspectAttributes].Add(f->m_Flag);
    d[kAspectAttributes].Add(f->GetTag());
  }

  CDigest& a = d[kAspectAttributes];
  AddColor(a, mesh.m_Color);
  d[kAspectMaterials].Add(mesh.m_Material);
  a.Add(mesh.m_NormalBinding);
  a.Add(mesh.m_ColorBinding);
  a.Add(mesh.m_PositionsSwapped);
  a.Add(mesh.m_IndexTexture);
  a.Add(mesh.m_Show);
  a.Add(mesh.m_NbTextureCoordinate);
  a.Add(mesh.m_NbTextureCoordinateIndex);
  if (mesh.m_pTextureCoordinate)
    a.AddBytes(mesh.m_pTextureCoordinate, sizeof(float) * 2 * mesh.m_NbTextureCoordinate);
  if (mesh.m_pTextureCoordinateIndex)
    a.AddBytes(mesh.m_pTextureCoordinateIndex, sizeof(int) * 3 * mesh.m_NbTextureCoordinateIndex);
  d[kAspectDrawing].Add(mesh.m_DisplayListMode);
  d[kAspectDrawing].Add(mesh.m_UseMeshColor);
}

} // namespace

const char* AspectName(int aspect) {
  static const char* const kNames[kAspectCount] = {"positions", "normals",    "topology",
                                                   "objects",   "attributes", "overlay",
                                                   "drawing",   "materials"};
  return aspect >= 0 && aspect < kAspectCount ? kNames[aspect] : "?";
}

std::string AspectNames(unsigned differences) {
  std::string names;
  for (int aspect = 0; aspect < kAspectCount; aspect++)
    if (differences & (1u << aspect))
      names += (names.empty() ? "" : " ") + std::string(AspectName(aspect));
  return names.empty() ? "none" : names;
}

void CDigest::AddBytes(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; i++) {
    m_Hash ^= bytes[i];
    m_Hash *= 1099511628211ull;
  }
}

unsigned SceneFingerprint::Differences(const SceneFingerprint& other) const {
  unsigned bits = overlays == other.overlays ? 0u : 1u << kAspectOverlay;
  if (objects.size() != other.objects.size()) bits |= 1u << kAspectObjects;
  for (size_t i = 0; i < objects.size(); i++) {
    const Object& mine = objects[i];
    auto it = std::find_if(other.objects.begin(), other.objects.end(),
                           [&mine](const Object& o) { return o.identity == mine.identity; });
    if (it == other.objects.end() || i >= other.objects.size() ||
        other.objects[i].identity != mine.identity)
      bits |= 1u << kAspectObjects; // removed or moved
    if (it == other.objects.end()) continue;
    for (int aspect = 0; aspect < kAspectCount; aspect++)
      if (mine.hash[aspect] != it->hash[aspect]) bits |= 1u << aspect;
  }
  return bits;
}

SceneFingerprint FingerprintScene(const CSceneGraph3d& scene) {
  SceneFingerprint fingerprint;
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    const int type = object->GetType();
    if (type == TYPE_VISUAL_CHOOSER) {
      fingerprint.overlays++;
      continue;
    }
    CDigest digests[kAspectCount];
    digests[kAspectObjects].Add(type);
    if (type == TYPE_MESH3D) {
      const auto* mesh = static_cast<const CMesh3d*>(object);
      digests[kAspectObjects].AddBytes(mesh->m_Name.data(), mesh->m_Name.size());
      AddMesh(digests, *mesh);
    } else if (type == TYPE_VECTORSET3D) {
      const auto* set = static_cast<const CVectorSet3d*>(object);
      for (int p = 0; p < set->NbPoint(); p++) {
        CVector3d position;
        digests[kAspectPositions].Add(set->GetPoint(p, position));
        AddVector(digests[kAspectPositions], position);
      }
    } else if (type == TYPE_CAMERA) {
      const auto* camera = static_cast<const CCamera3d*>(object);
      AddVector(digests[kAspectObjects], camera->m_Position);
      AddVector(digests[kAspectObjects], camera->m_Direction);
      AddVector(digests[kAspectObjects], camera->m_Up);
      digests[kAspectObjects].Add(camera->m_Opening);
    }
    SceneFingerprint::Object entry;
    entry.identity = object;
    for (int aspect = 0; aspect < kAspectCount; aspect++)
      entry.hash[aspect] = digests[aspect].Value();
    fingerprint.objects.push_back(entry);
  }
  return fingerprint;
}

} // namespace testmeshes
