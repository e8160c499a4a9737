#include "geometry/Camera3d.h"

void CCamera3d::Rotate1(double angle) {
  m_Direction = m_Direction.Rotate(angle, m_Up);
  m_Direction.Normalize();
}

void CCamera3d::Rotate2(double angle) {
  CVector3d right = GetRight();
  right.Normalize();
  m_Direction = m_Direction.Rotate(angle, right);
  m_Up = m_Up.Rotate(angle, right);
  m_Direction.Normalize();
  m_Up.Normalize();
}

void CCamera3d::Translate(double dx, double dy, double dz) {
  m_Position += GetRight() * dx + m_Up * dy - m_Direction * dz;
}
