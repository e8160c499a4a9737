#pragma once

#include "geometry/Vector3d.h"

// Object transform: applied when drawing as translate, scale, rotate.
class CTransform {
public:
  CVector3d m_Scale{1.0, 1.0, 1.0};
  CVector3d m_RotationAxis{0.0, 0.0, 0.0};
  CVector3d m_Translation{0.0, 0.0, 0.0};
  float m_RotationAngle = 0.0f; // degrees

  void Copy(const CTransform& t) { *this = t; }
  void Clear() { *this = CTransform(); }
  CVector3d* GetScale() { return &m_Scale; }
  CVector3d* GetRotation() { return &m_RotationAxis; }
  CVector3d* GetTranslation() { return &m_Translation; }
  float GetValueRotation() const { return m_RotationAngle; }
  void SetScale(const CVector3d& v) { m_Scale = v; }
  void SetRotation(const CVector3d& v) { m_RotationAxis = v; }
  void SetTranslation(const CVector3d& v) { m_Translation = v; }
  void SetValueRotation(float degrees) { m_RotationAngle = degrees; }

  // glTranslatef, glScalef, glRotatef on the current matrix (the caller
  // pushes and pops it).
  void glApply() const;
};
