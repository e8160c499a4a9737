#include "app/CommandPanelState.h"

#include <algorithm>
#include <cstdio>

#include "app/MaterialPresets.h"
#include "geometry/Camera3d.h"
#include "geometry/SceneGraph3d.h"

namespace orvex {

namespace {

// Ranges, first positions and factors, in the order of PanelSlider.
const PanelSliderLayout kSliders[kPanelSliderCount] = {
    {"Scaling", "X", 1, 200, 100, 0.01},
    {"Scaling", "Y", 1, 200, 100, 0.01},
    {"Scaling", "Z", 1, 200, 100, 0.01},
    {"Animation", "Speed", 1, 20, 10, 1.0},
    {"Options", "Line width", 1, 40, 4, 0.25},
    {"Normals", "Scale", 1, 300, 10, 0.01},
    {"Polygon offset", "Line", -200, 200, -100, 0.01},
    {"Polygon offset", "Fill", -200, 200, -100, 0.05},
    {"Sharp edges", "Polygon offset", -200, 200, -100, 0.01},
    {"Options", "Perspective", 1, 99, 45, 1.0},
    {"Materials", "Shininess", 0, 128, 100, 1.0},
    {"Highlighting", "Size", 1, 100, 20, 0.01},
    {"Camera", "Opening", 5, 100, 15, 0.1},
    {"LOD", "Level", 0, 0, 0, 1.0},
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

} // namespace

std::string PanelColorText(PanelColor color) {
  char text[8];
  std::snprintf(text, sizeof(text), "#%02X%02X%02X", PanelRed(color), PanelGreen(color),
                PanelBlue(color));
  return text;
}

bool ParsePanelColor(const std::string& text, PanelColor& color) {
  if (text.size() != 7 || text[0] != '#') return false;
  int rgb[3];
  for (int k = 0; k < 3; k++) {
    const int high = HexDigit(text[1 + 2 * k]);
    const int low = HexDigit(text[2 + 2 * k]);
    if (high < 0 || low < 0) return false;
    rgb[k] = high * 16 + low;
  }
  color = PanelRgb(rgb[0], rgb[1], rgb[2]);
  return true;
}

const PanelSliderLayout& SliderLayout(PanelSlider slider) {
  return kSliders[static_cast<int>(slider)];
}

const std::vector<std::string>& PanelRampNames() {
  static const std::vector<std::string> kNames = {"Gray", "Rainbow", "Blue white", "Heat",
                                                  "Red yellow"};
  return kNames;
}

CCommandPanelState::CCommandPanelState() : m_Presets(SortedMaterialPresetNames()) {
  for (int i = 0; i < kPanelSliderCount; i++) m_Slider[i] = kSliders[i].initial;
}

void CCommandPanelState::SetPosition(PanelSlider slider, int position) {
  const PanelSliderLayout& layout = SliderLayout(slider);
  const int max = slider == PanelSlider::Lod ? m_LodMax : layout.max;
  m_Slider[static_cast<int>(slider)] = std::clamp(position, layout.min, std::max(layout.min, max));
}

double CCommandPanelState::Value(PanelSlider slider) const {
  return Position(slider) * SliderLayout(slider).factor;
}

bool CCommandPanelState::IsEnabled(PanelSlider slider) const {
  if (slider == PanelSlider::ScaleY || slider == PanelSlider::ScaleZ) return !m_bLink;
  if (slider == PanelSlider::Lod) return m_bLodEnabled != 0;
  return true;
}

std::string CCommandPanelState::ValueText(PanelSlider slider) const {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", static_cast<float>(Value(slider)));
  return text;
}

CCamera3d* CCommandPanelState::Camera(const CSceneGraph3d& scene) {
  if (m_pCamera && scene.Find(m_pCamera) < 0) m_pCamera = nullptr;
  return m_pCamera;
}

} // namespace orvex
