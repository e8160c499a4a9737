#pragma once

// OpenGL material of an object, applied to both faces.
class CMaterial {
public:
  float m_Ambient[4] = {0.0f, 0.33f, 0.5f, 1.0f};
  float m_Diffuse[4] = {0.5f, 0.5f, 0.8f, 1.0f};
  float m_Specular[4] = {0.1f, 0.1f, 0.1f, 1.0f};
  float m_Shininess = 84.0f;
  float m_Emission[4] = {0.0f, 0.0f, 0.0f, 1.0f};

  void Copy(const CMaterial& m) { *this = m; }
  void SetAmbient(float r, float g, float b, float a = 1.0f) { Set4(m_Ambient, r, g, b, a); }
  void SetDiffuse(float r, float g, float b, float a = 1.0f) { Set4(m_Diffuse, r, g, b, a); }
  void SetSpecular(float r, float g, float b, float a = 1.0f) { Set4(m_Specular, r, g, b, a); }
  void SetEmission(float r, float g, float b, float a = 1.0f) { Set4(m_Emission, r, g, b, a); }
  void SetShininess(float s) { m_Shininess = s; }
  // False for a black diffuse colour (what saved scenes carry).
  bool HasDiffuse() const {
    return m_Diffuse[0] > 0.0f || m_Diffuse[1] > 0.0f || m_Diffuse[2] > 0.0f;
  }

  // glMaterialfv on GL_FRONT_AND_BACK for ambient, diffuse, specular,
  // shininess and emission, in that order.
  void glApply() const;

private:
  static void Set4(float* v, float r, float g, float b, float a) {
    v[0] = r;
    v[1] = g;
    v[2] = b;
    v[3] = a;
  }
};
