#pragma once

// 256-entry color table through which measures become colors. Key entries
// hold chosen colors; Interpolate fills the entries between consecutive keys
// linearly.
class CColorRamp {
public:
  static constexpr int SIZE = 256;

  unsigned char m_Color[3 * SIZE]; // red[256], green[256], blue[256]
  unsigned char m_Key[SIZE];       // 1 marks a key entry
  int m_KeyList[SIZE];             // key indices in increasing order
  int m_Nb = SIZE;
  int m_NbKey = 0;

  // The gray ramp.
  CColorRamp();

  unsigned char Red(int i) const { return m_Color[Index(i)]; }
  unsigned char Green(int i) const { return m_Color[SIZE + Index(i)]; }
  unsigned char Blue(int i) const { return m_Color[2 * SIZE + Index(i)]; }
  unsigned char* GetRed() { return m_Color; }
  unsigned char* GetGreen() { return m_Color + SIZE; }
  unsigned char* GetBlue() { return m_Color + 2 * SIZE; }
  int GetNbKey() const { return m_NbKey; }
  int GetKey(int k) const { return k >= 0 && k < m_NbKey ? m_KeyList[k] : -1; }

  // Marks entry i as a key with the given color (ignored outside 0..255).
  void SetKey(int i, unsigned char red, unsigned char green, unsigned char blue);
  // Unmarks entry i; the first and last entries stay keys.
  void ClearKey(int i);

  void ResetKeys();
  void BuildKeyList();
  void Interpolate();

  // presets
  void SetGray();
  void SetRainbow();
  void SetBlueWhite();
  void SetHeat();
  void SetRedYellow();

private:
  static int Index(int i) { return i < 0 ? 0 : (i >= SIZE ? SIZE - 1 : i); }
  // One key of a preset: index and color.
  struct Key {
    int index;
    unsigned char red, green, blue;
  };
  void SetPreset(const Key* keys, int count);
};
