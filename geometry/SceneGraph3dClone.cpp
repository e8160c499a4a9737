// Faithful copies and exchanges of whole scenes, and of vector sets.

#include <memory>
#include <utility>

#include "geometry/SceneGraph3d.h"
#include "geometry/TextureCopy.h"
#include "geometry/VectorSet3d.h"
#include "geometry/Vertex3d.h"

CSceneGraph3d* CSceneGraph3d::Clone() const {
  auto clone = std::make_unique<CSceneGraph3d>();
  for (CTextureImage* texture : m_ArrayTexture)
    clone->AddTexture(texture ? new CTextureCopy(*texture) : nullptr);
  for (CObject3d* object : m_ArrayObject) {
    CObject3d* copy = object ? object->Clone() : nullptr;
    // special case: a kind of object that cannot be copied
    if (object && !copy) return nullptr;
    clone->Add(copy);
  }
  return clone.release();
}

void CSceneGraph3d::Swap(CSceneGraph3d& other) noexcept {
  if (this == &other) return;
  m_ArrayObject.Swap(other.m_ArrayObject);
  m_ArrayTexture.Swap(other.m_ArrayTexture);
  std::swap(m_pIndexTextures, other.m_pIndexTextures);
  std::swap(m_NbIndexTexture, other.m_NbIndexTexture);
  std::swap(m_TextureGroup, other.m_TextureGroup);
  std::swap(m_ListDone, other.m_ListDone);
}

CSceneGraph3d::CSceneGraph3d(CSceneGraph3d&& other) noexcept {
  Swap(other);
}

CSceneGraph3d& CSceneGraph3d::operator=(CSceneGraph3d&& other) noexcept {
  if (this != &other) {
    // this scene's old contents end with the temporary
    CSceneGraph3d old(std::move(other));
    Swap(old);
  }
  return *this;
}

// A copy of a vertex or vector point (its position is all a set uses); null
// for any other object, which a set does not draw either.
static CObject3d* ClonePoint(CObject3d* point) {
  if (!point) return nullptr;
  switch (point->GetType()) {
  case TYPE_VERTEX3D:
    return new CVertex3d(static_cast<const CVertex3d*>(point));
  case TYPE_VECTOR3D:
    return new CPoint3d(*static_cast<const CPoint3d*>(point));
  default:
    return nullptr;
  }
}

CVectorSet3d* CVectorSet3d::Clone() const {
  auto clone = std::make_unique<CVectorSet3d>();
  clone->m_ArrayPoint.Reserve(m_ArrayPoint.GetSize());
  for (CObject3d* point : m_ArrayPoint) clone->m_ArrayPoint.Add(ClonePoint(point));
  clone->m_Transform = m_Transform;
  clone->m_Color = m_Color;
  clone->m_Name = m_Name;
  clone->m_LengthFactor = m_LengthFactor;
  clone->m_Parameter = m_Parameter;
  clone->m_Error = m_Error;
  return clone.release();
}
