#include "app/MeshValuesStep.h"

#include <utility>

#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"

namespace orvex {

namespace {

const CMesh3d* MeshAt(const CSceneGraph3d& scene, int i) {
  CObject3d* object = scene.GetAt(i);
  return object && object->GetType() == TYPE_MESH3D ? static_cast<const CMesh3d*>(object) : nullptr;
}

// Calls visit(record, element) for each element of the array that is set.
template <class T, class R, class Visit>
void ForEach(const CArray3d<T>& elements, std::vector<R>& records, Visit visit) {
  size_t k = 0;
  for (T* element : elements)
    if (element && k < records.size()) visit(records[k++], *element);
}

// Gives an element's side-block value (read and written through its
// accessors) the recorded one and returns the element's previous value.
template <class E, class V>
V ExchangeValue(E& element, V (E::*get)() const, void (E::*set)(V), V value) {
  V previous = (element.*get)();
  (element.*set)(value);
  return previous;
}

// The mesh's texture coordinates and their indices, copied out.
void CopyTextureCoordinates(const CMesh3d& mesh, std::vector<float>& uv, std::vector<int>& index) {
  uv.clear();
  index.clear();
  if (mesh.m_pTextureCoordinate)
    uv.assign(mesh.m_pTextureCoordinate,
              mesh.m_pTextureCoordinate + 2 * mesh.m_NbTextureCoordinate);
  if (mesh.m_pTextureCoordinateIndex)
    index.assign(mesh.m_pTextureCoordinateIndex,
                 mesh.m_pTextureCoordinateIndex + 3 * mesh.m_NbTextureCoordinateIndex);
}

} // namespace

CMeshValuesStep::CMeshValuesStep(std::string label, const COrvexDoc& doc, unsigned parts)
    : CUndoStep(std::move(label), doc), m_Parts(parts) {
  const CSceneGraph3d& scene = doc.m_SceneGraph;
  m_NbObject = scene.NbObject();
  for (int i = 0; i < m_NbObject; i++)
    if (const CMesh3d* mesh = MeshAt(scene, i)) {
      m_Meshes.emplace_back();
      m_Meshes.back().index = i;
      Record(m_Meshes.back(), *mesh);
    }
  m_Bytes = Measure();
}

CMeshValuesStep::~CMeshValuesStep() = default;

void CMeshValuesStep::Record(CMeshRecord& r, const CMesh3d& mesh) const {
  r.nbVertex = mesh.NbVertex();
  r.nbFace = mesh.NbFace();
  if (m_Parts & kPositions) {
    r.vertexPositions.reserve(static_cast<size_t>(r.nbVertex));
    for (const CVertex3d* v : mesh.m_ArrayVertex)
      if (v) r.vertexPositions.push_back({v->x, v->y, v->z, v->SavedPosition(), v->m_Normal});
    r.facePositions.reserve(static_cast<size_t>(r.nbFace));
    for (const CFace3d* f : mesh.m_ArrayFace)
      if (f) r.facePositions.push_back({f->m_Normal, f->GetAux()});
    r.transform = mesh.m_Transform;
    r.positionsSwapped = mesh.m_PositionsSwapped;
  }
  if (m_Parts & kAttributes) {
    r.vertexAttributes.reserve(static_cast<size_t>(r.nbVertex));
    for (const CVertex3d* v : mesh.m_ArrayVertex)
      if (v)
        r.vertexAttributes.push_back(
            {v->m_Color, v->m_Flag, v->GetCounter(), v->GetTagA(), v->GetTagB(), v->GetTagD()});
    r.faceAttributes.reserve(static_cast<size_t>(r.nbFace));
    for (const CFace3d* f : mesh.m_ArrayFace)
      if (f) r.faceAttributes.push_back({f->m_Color, f->m_Flag, f->GetTag()});
    r.color = mesh.m_Color;
    r.normalBinding = mesh.m_NormalBinding;
    r.colorBinding = mesh.m_ColorBinding;
    r.useMeshColor = mesh.m_UseMeshColor;
    r.indexTexture = mesh.m_IndexTexture;
    r.show = mesh.m_Show;
    CopyTextureCoordinates(mesh, r.uv, r.uvIndex);
  }
  if (m_Parts & (kAttributes | kMaterials)) r.material = mesh.m_Material;
}

bool CMeshValuesStep::SameShape(const CMeshRecord& r, const CSceneGraph3d& scene) {
  const CMesh3d* mesh = MeshAt(scene, r.index);
  return mesh && mesh->NbVertex() == r.nbVertex && mesh->NbFace() == r.nbFace;
}

bool CMeshValuesStep::Matches(const CSceneGraph3d& scene) const {
  if (scene.NbObject() != m_NbObject) return false;
  for (const CMeshRecord& r : m_Meshes)
    if (!SameShape(r, scene)) return false;
  return true;
}

void CMeshValuesStep::ExchangeScene(CSceneGraph3d& scene) {
  for (CMeshRecord& r : m_Meshes) {
    if (!SameShape(r, scene)) continue;
    auto* mesh = static_cast<CMesh3d*>(scene.GetAt(r.index));
    if (m_Parts & kPositions) ExchangePositions(r, *mesh);
    if (m_Parts & kAttributes) ExchangeAttributes(r, *mesh);
    if (m_Parts & (kAttributes | kMaterials)) std::swap(r.material, mesh->m_Material);
  }
}

void CMeshValuesStep::ExchangePositions(CMeshRecord& r, CMesh3d& mesh) {
  ForEach(mesh.m_ArrayVertex, r.vertexPositions, [](CVertexPosition& p, CVertex3d& v) {
    std::swap(p.x, v.x);
    std::swap(p.y, v.y);
    std::swap(p.z, v.z);
    CVector3d saved = v.SavedPosition();
    v.SetSavedPosition(p.saved);
    p.saved = saved;
    std::swap(p.normal, v.m_Normal);
  });
  ForEach(mesh.m_ArrayFace, r.facePositions, [](CFacePosition& p, CFace3d& f) {
    std::swap(p.normal, f.m_Normal);
    CVector3d aux = f.GetAux();
    f.SetAux(p.aux);
    p.aux = aux;
  });
  std::swap(r.transform, mesh.m_Transform);
  std::swap(r.positionsSwapped, mesh.m_PositionsSwapped);
}

void CMeshValuesStep::ExchangeAttributes(CMeshRecord& r, CMesh3d& mesh) {
  ForEach(mesh.m_ArrayVertex, r.vertexAttributes, [](CVertexAttributes& a, CVertex3d& v) {
    std::swap(a.color, v.m_Color);
    std::swap(a.flag, v.m_Flag);
    a.counter = ExchangeValue(v, &CVertex3d::GetCounter, &CVertex3d::SetCounter, a.counter);
    a.tagA = ExchangeValue(v, &CVertex3d::GetTagA, &CVertex3d::SetTagA, a.tagA);
    a.tagB = ExchangeValue(v, &CVertex3d::GetTagB, &CVertex3d::SetTagB, a.tagB);
    a.tagD = ExchangeValue(v, &CVertex3d::GetTagD, &CVertex3d::SetTagD, a.tagD);
  });
  ForEach(mesh.m_ArrayFace, r.faceAttributes, [](CFaceAttributes& a, CFace3d& f) {
    std::swap(a.color, f.m_Color);
    std::swap(a.flag, f.m_Flag);
    a.tag = ExchangeValue(f, &CFace3d::GetTag, &CFace3d::SetTag, a.tag);
  });
  std::swap(r.color, mesh.m_Color);
  std::swap(r.normalBinding, mesh.m_NormalBinding);
  std::swap(r.colorBinding, mesh.m_ColorBinding);
  std::swap(r.useMeshColor, mesh.m_UseMeshColor);
  std::swap(r.indexTexture, mesh.m_IndexTexture);
  std::swap(r.show, mesh.m_Show);
  // texture coordinates: the mesh takes the recorded ones, the record the mesh's
  std::vector<float> uv;
  std::vector<int> uvIndex;
  CopyTextureCoordinates(mesh, uv, uvIndex);
  mesh.SetTextureCoordinates(r.uv.data(), static_cast<int>(r.uv.size() / 2), r.uvIndex.data(),
                             static_cast<int>(r.uvIndex.size() / 3));
  r.uv.swap(uv);
  r.uvIndex.swap(uvIndex);
}

std::size_t CMeshValuesStep::Estimate(const CSceneGraph3d& scene, unsigned parts) {
  std::size_t perVertex = 0, perFace = 0;
  if (parts & kPositions) {
    perVertex += sizeof(CVertexPosition);
    perFace += sizeof(CFacePosition);
  }
  if (parts & kAttributes) {
    perVertex += sizeof(CVertexAttributes);
    perFace += sizeof(CFaceAttributes);
  }
  std::size_t bytes = sizeof(CMeshValuesStep);
  for (int i = 0; i < scene.NbObject(); i++)
    if (const CMesh3d* mesh = MeshAt(scene, i)) {
      bytes += sizeof(CMeshRecord) + perVertex * static_cast<std::size_t>(mesh->NbVertex()) +
               perFace * static_cast<std::size_t>(mesh->NbFace());
      if (parts & kAttributes)
        bytes += sizeof(float) * 2 * static_cast<std::size_t>(mesh->m_NbTextureCoordinate) +
                 sizeof(int) * 3 * static_cast<std::size_t>(mesh->m_NbTextureCoordinateIndex);
    }
  return bytes;
}

std::size_t CMeshValuesStep::Measure() const {
  std::size_t bytes = sizeof(*this);
  for (const CMeshRecord& r : m_Meshes)
    bytes += sizeof(r) + r.vertexPositions.size() * sizeof(CVertexPosition) +
             r.facePositions.size() * sizeof(CFacePosition) +
             r.vertexAttributes.size() * sizeof(CVertexAttributes) +
             r.faceAttributes.size() * sizeof(CFaceAttributes) + r.uv.size() * sizeof(float) +
             r.uvIndex.size() * sizeof(int);
  return bytes;
}

} // namespace orvex
