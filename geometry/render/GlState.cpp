#include <GL/gl.h>

#include "geometry/Material.h"
#include "geometry/Transform.h"

void CTransform::glApply() const {
  glTranslatef(static_cast<float>(m_Translation.x), static_cast<float>(m_Translation.y),
               static_cast<float>(m_Translation.z));
  glScalef(static_cast<float>(m_Scale.x), static_cast<float>(m_Scale.y),
           static_cast<float>(m_Scale.z));
  glRotatef(m_RotationAngle, static_cast<float>(m_RotationAxis.x),
            static_cast<float>(m_RotationAxis.y), static_cast<float>(m_RotationAxis.z));
}

void CMaterial::glApply() const {
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m_Ambient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m_Diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m_Specular);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SHININESS, &m_Shininess);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m_Emission);
}
