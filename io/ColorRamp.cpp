#include "io/ColorRamp.h"

#include <cstring>

CColorRamp::CColorRamp() {
  std::memset(m_Color, 0, sizeof m_Color);
  std::memset(m_Key, 0, sizeof m_Key);
  std::memset(m_KeyList, 0, sizeof m_KeyList);
  SetGray();
}

void CColorRamp::SetKey(int i, unsigned char red, unsigned char green, unsigned char blue) {
  if (i < 0 || i >= m_Nb) return;
  m_Key[i] = 1;
  m_Color[i] = red;
  m_Color[SIZE + i] = green;
  m_Color[2 * SIZE + i] = blue;
}

void CColorRamp::ClearKey(int i) {
  if (i <= 0 || i >= m_Nb - 1) return;
  m_Key[i] = 0;
}

void CColorRamp::ResetKeys() {
  std::memset(m_Key, 0, sizeof m_Key);
  BuildKeyList();
}

void CColorRamp::BuildKeyList() {
  m_Key[0] = 1;
  m_Key[m_Nb - 1] = 1;
  m_NbKey = 0;
  for (int i = 0; i < m_Nb; i++)
    if (m_Key[i]) m_KeyList[m_NbKey++] = i;
}

void CColorRamp::Interpolate() {
  for (int channel = 0; channel < 3; channel++) {
    unsigned char* v = m_Color + channel * SIZE;
    for (int k = 0; k + 1 < m_NbKey; k++) {
      const int a = m_KeyList[k], e = m_KeyList[k + 1];
      // the line through (a, v[a]) and (e, v[e]), in single precision
      const float b = static_cast<float>(v[e] - v[a]) / static_cast<float>(e - a);
      const float c = static_cast<float>(v[a]) - b * static_cast<float>(a);
      for (int i = a; i < e; i++) {
        const float value = c + b * static_cast<float>(i);
        v[i] = static_cast<unsigned char>(value < 0.0f ? 0.0f : (value > 255.0f ? 255.0f : value));
      }
    }
  }
}

void CColorRamp::SetPreset(const Key* keys, int count) {
  m_Nb = SIZE;
  ResetKeys();
  for (int k = 0; k < count; k++) SetKey(keys[k].index, keys[k].red, keys[k].green, keys[k].blue);
  BuildKeyList();
  Interpolate();
}

void CColorRamp::SetGray() {
  static const Key keys[] = {{0, 0, 0, 0}, {255, 255, 255, 255}};
  SetPreset(keys, 2);
}

void CColorRamp::SetRainbow() {
  static const Key keys[] = {{0, 0, 0, 0},     {32, 0, 0, 255},    {64, 0, 255, 255},
                             {96, 0, 252, 0},  {128, 255, 254, 0}, {176, 255, 128, 0},
                             {208, 255, 0, 0}, {240, 128, 0, 0},   {255, 255, 255, 255}};
  SetPreset(keys, 9);
}

void CColorRamp::SetBlueWhite() {
  static const Key keys[] = {{0, 0, 0, 128},
                             {48, 0, 0, 254},
                             {176, 0, 255, 255},
                             {208, 128, 255, 255},
                             {255, 255, 255, 255}};
  SetPreset(keys, 5);
}

void CColorRamp::SetHeat() {
  static const Key keys[] = {
      {0, 0, 0, 0}, {48, 128, 0, 0}, {165, 255, 128, 0}, {255, 255, 255, 255}};
  SetPreset(keys, 4);
}

void CColorRamp::SetRedYellow() {
  static const Key keys[] = {{0, 255, 0, 0}, {255, 255, 255, 0}};
  SetPreset(keys, 2);
}
