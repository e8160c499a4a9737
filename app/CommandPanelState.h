#pragma once

#include <string>
#include <vector>

class CCamera3d;
class CSceneGraph3d;

namespace orvex {

// Colors of the panel are system color values 0x00BBGGRR.
using PanelColor = unsigned;
constexpr PanelColor PanelRgb(int r, int g, int b) {
  return static_cast<PanelColor>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
}
constexpr int PanelRed(PanelColor c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int PanelGreen(PanelColor c) {
  return static_cast<int>(c >> 8 & 0xFF);
}
constexpr int PanelBlue(PanelColor c) {
  return static_cast<int>(c >> 16 & 0xFF);
}
// "#RRGGBB" of a color, and back (false for any other text).
std::string PanelColorText(PanelColor color);
bool ParsePanelColor(const std::string& text, PanelColor& color);

// The sliders of the panel, in the order the slider handling re-reads them.
enum class PanelSlider {
  ScaleX,
  ScaleY,
  ScaleZ,
  Speed,
  LineWidth,
  NormalsScale,
  LineOffset,
  FillOffset,
  SharpOffset,
  Perspective,
  Shininess,
  Highlighting,
  Opening,
  Lod,
  Count
};
constexpr int kPanelSliderCount = static_cast<int>(PanelSlider::Count);

// Range and first position of a slider, with the factor that turns a
// position into the value it sets.
struct PanelSliderLayout {
  const char* group; // group box of the panel
  const char* label; // label next to the slider
  int min, max, initial;
  double factor;
};
const PanelSliderLayout& SliderLayout(PanelSlider slider);

// The five color ramp presets the "Ramp" swatch chooses from.
const std::vector<std::string>& PanelRampNames();

// What the command panel of a document window holds, without any toolkit:
// the values its controls show and the values it last sent, so that the
// slider handling can tell which changed. The Qt panel shows it; the batch
// runner keeps one per document.
class CCommandPanelState {
public:
  PanelColor m_BackgroundColor = 0;
  PanelColor m_SurfaceColor = 0xFFFFFF;
  PanelColor m_NormalsColor = 0;
  PanelColor m_LightAmbient = 0xB2B2B2;
  PanelColor m_LightDiffuse = 0xCCCCCC;
  PanelColor m_LightSpecular = 0xFFFFFF;
  PanelColor m_MaterialAmbient = 0;
  PanelColor m_MaterialDiffuse = 0xC8C8C8;
  PanelColor m_MaterialSpecular = 0xC8C8C8;
  PanelColor m_MaterialEmission = 0;
  // Color of new normal vector sets (the Normals swatch shows it).
  PanelColor m_VectorColor = 0x0000FF;
  int m_bGlobalColor = 0;
  // The camera this panel added to the scene graph; checked against the
  // scene before every use (see Camera).
  CCamera3d* m_pCamera = nullptr;
  PanelColor m_CameraColor = 0x00FFFF;
  int m_LodMode = 0;
  float m_NormalsScale = 0.1f;

  // check boxes
  int m_bLighting = 1;
  int m_bGouraud = 0;
  int m_bAntialiasing = 0;
  int m_bRotation = 0;
  int m_bLink = 0;
  int m_bNormalsShown = 0;
  int m_bWireframe = 0;
  int m_bSharpEdgesShown = 0;
  int m_bObject0 = 1;
  int m_bObject1 = 1;
  int m_bCameraMarking = 1;
  int m_bSilhouetteMarking = 1;
  int m_bCulling = 0;
  int m_bCameraMove = 0;
  int m_bTextures = 1;

  // last values sent, to detect changes
  float m_LineOffset = 0.01f;
  float m_SharpOffset = 0.01f;
  float m_FillOffset = 0.0f;

  // slider positions and the LOD slider's state
  int m_Slider[kPanelSliderCount];
  int m_LodMax = 0;
  int m_bLodEnabled = 0;
  std::string m_LodName;
  int m_LodFaces = 0;

  // fields
  double m_Threshold = 0.5;
  float m_SpinSteps[3] = {0.0f, 5.0f, 0.0f};
  int m_LightIndex = 0;
  float m_LightPosition[4] = {0.0f, 0.0f, 1.0f, 0.0f};
  float m_LightDirection[3] = {0.0f, 0.0f, -1.0f};
  int m_Ramp = 0;

  // the material list: sorted names, the first one selected (not applied)
  std::vector<std::string> m_Presets;
  int m_PresetSelection = 0;

  CCommandPanelState();

  int Position(PanelSlider slider) const { return m_Slider[static_cast<int>(slider)]; }
  // Moves a slider, kept inside its range (the LOD slider inside 0..m_LodMax).
  void SetPosition(PanelSlider slider, int position);
  // Position times the slider's factor.
  double Value(PanelSlider slider) const;
  // Whether a slider can be moved: Y and Z follow X while linked; the LOD
  // slider after "Init".
  bool IsEnabled(PanelSlider slider) const;
  // The edit next to an offset slider ("%g" of its value).
  std::string ValueText(PanelSlider slider) const;

  // The panel's camera when the scene still holds it; otherwise the panel
  // forgets it (a command such as Scene/Keep first object only, or an
  // undo, may have taken it away) and null comes back.
  CCamera3d* Camera(const CSceneGraph3d& scene);
};

} // namespace orvex
