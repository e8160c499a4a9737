// The panel's switches of the look: background, shading, polygon mode,
// culling, antialiasing, overlays, textures, spin, lights and materials.

#include <cmath>

#include "app/DisplaySwitches.h"
#include "app/DocumentHost.h"
#include "app/MaterialPresets.h"
#include "app/OrvexDoc.h"
#include "app/PanelActions.h"
#include "app/RenderViewState.h"
#include "app/SceneMaterials.h"
#include "geometry/Material.h"
#include "geometry/Mesh3d.h"

namespace orvex {
namespace {

constexpr int kSpinTimer = 1;
constexpr float kAntialiasedLineWidth = 1.5f;

// Components / 255, alpha 1.
void ToFloats(PanelColor color, float out[4]) {
  out[0] = PanelRed(color) / 255.0f;
  out[1] = PanelGreen(color) / 255.0f;
  out[2] = PanelBlue(color) / 255.0f;
  out[3] = 1.0f;
}

// A material color as the panel's swatch shows it: each component times
// 255, truncated.
PanelColor FromFloats(const float rgb[3]) {
  auto byte = [](float v) {
    return static_cast<int>(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f);
  };
  return PanelRgb(byte(rgb[0]), byte(rgb[1]), byte(rgb[2]));
}

} // namespace

int SetBackground(CPanelTarget& t, PanelColor color) {
  t.panel.m_BackgroundColor = color;
  if (!t.view) return 1;
  float rgba[4];
  ToFloats(color, rgba);
  for (int k = 0; k < 3; k++) t.view->m_ClearColor[k] = rgba[k];
  return 1;
}

int ToggleAntialiasing(CPanelTarget& t) {
  t.panel.m_bAntialiasing = !t.panel.m_bAntialiasing;
  t.doc.m_Display.m_bAntialiasing = t.panel.m_bAntialiasing;
  t.doc.m_LineWidth = t.panel.m_bAntialiasing ? kAntialiasedLineWidth : 1.0f;
  return 1;
}

int ToggleGouraud(CPanelTarget& t) {
  t.panel.m_bGouraud = !t.doc.m_Display.m_PanelGouraud;
  SetSmoothShading(t.doc, t.panel.m_bGouraud);
  return 1;
}

int ToggleLighting(CPanelTarget& t) {
  t.doc.m_bLighting = !t.doc.m_bLighting;
  t.panel.m_bLighting = t.doc.m_bLighting;
  return 1;
}

int SetPolygonMode(CPanelTarget& t, PanelPolygonMode mode) {
  COrvexDisplayState& display = t.doc.m_Display;
  display.m_PanelVertex = mode == PanelPolygonMode::Vertex;
  display.m_PanelWireframe = mode == PanelPolygonMode::Wireframe;
  display.m_PanelFace = mode == PanelPolygonMode::Face;
  switch (mode) {
  case PanelPolygonMode::Vertex:
    display.m_PolygonMode = COrvexDisplayState::Point;
    break;
  case PanelPolygonMode::Wireframe:
    display.m_PolygonMode = COrvexDisplayState::Line;
    break;
  case PanelPolygonMode::Face:
    display.m_PolygonMode = COrvexDisplayState::Fill;
    break;
  }
  return 1;
}

int ToggleCulling(CPanelTarget& t) {
  t.panel.m_bCulling = !t.panel.m_bCulling;
  t.doc.m_Display.m_bCulling = t.panel.m_bCulling;
  return 1;
}

int ToggleWireframeOverlay(CPanelTarget& t) {
  t.doc.m_bWireframeOverlay = !t.doc.m_bWireframeOverlay;
  t.panel.m_bWireframe = t.doc.m_bWireframeOverlay;
  return 1;
}

int ToggleGlobalColor(CPanelTarget& t) {
  t.doc.m_bGlobalColorOverlay = !t.doc.m_bGlobalColorOverlay;
  t.panel.m_bGlobalColor = t.doc.m_bGlobalColorOverlay;
  return 1;
}

int ToggleTextures(CPanelTarget& t) {
  t.panel.m_bTextures = !t.panel.m_bTextures;
  COrvexDisplayState& display = t.doc.m_Display;
  display.m_bTexture2DOff = !t.panel.m_bTextures;
  if (t.panel.m_bTextures) display.m_bTexture2D = 1;
  return 1;
}

int ToggleRotation(CPanelTarget& t, const float steps[3]) {
  CCommandPanelState& panel = t.panel;
  panel.m_bRotation = !panel.m_bRotation;
  for (int k = 0; k < 3; k++) panel.m_SpinSteps[k] = steps[k];
  if (t.view)
    for (int k = 0; k < 3; k++) t.view->m_SpinStep[k] = steps[k];
  if (!t.host) return 1;
  if (panel.m_bRotation)
    t.host->StartViewTimer(&t.doc, kSpinTimer, SpinPeriodMs(panel));
  else
    t.host->StopViewTimer(&t.doc, kSpinTimer);
  return 1;
}

int ToggleLink(CPanelTarget& t) {
  t.panel.m_bLink = !t.panel.m_bLink;
  // turning on: Y and Z take X, in the sliders and in the view
  if (t.panel.m_bLink) ReadSliders(t);
  return 1;
}

int SetRamp(CPanelTarget& t, int ramp) {
  if (ramp < 0 || ramp >= static_cast<int>(PanelRampNames().size())) return 0;
  t.panel.m_Ramp = ramp;
  return 1;
}

int SetLightColor(CPanelTarget& t, LightSwatch swatch, PanelColor color) {
  COrvexDisplayState::Light& light = t.doc.m_Display.m_Lights[0];
  switch (swatch) {
  case LightSwatch::Ambient:
    t.panel.m_LightAmbient = color;
    ToFloats(color, light.m_Ambient);
    break;
  case LightSwatch::Diffuse:
    t.panel.m_LightDiffuse = color;
    ToFloats(color, light.m_Diffuse);
    break;
  case LightSwatch::Specular:
    t.panel.m_LightSpecular = color;
    ToFloats(color, light.m_Specular);
    break;
  }
  return 1;
}

int UpdateLight(CPanelTarget& t, int index, const float position[4], const float direction[3]) {
  if (index < 0 || index >= COrvexDisplayState::kNbLight) return 0;
  CCommandPanelState& panel = t.panel;
  panel.m_LightIndex = index;
  COrvexDisplayState::Light& light = t.doc.m_Display.m_Lights[index];
  for (int k = 0; k < 4; k++) light.m_Position[k] = panel.m_LightPosition[k] = position[k];
  for (int k = 0; k < 3; k++) light.m_Direction[k] = panel.m_LightDirection[k] = direction[k];
  light.m_bPlaced = 1;
  light.m_bEnabled = 1;
  return 1;
}

int SetMaterialColor(CPanelTarget& t, MaterialSwatch swatch, PanelColor color) {
  float rgba[4];
  ToFloats(color, rgba);
  switch (swatch) {
  case MaterialSwatch::Ambient:
    t.panel.m_MaterialAmbient = color;
    break;
  case MaterialSwatch::Diffuse:
    t.panel.m_MaterialDiffuse = color;
    break;
  case MaterialSwatch::Specular:
    t.panel.m_MaterialSpecular = color;
    break;
  case MaterialSwatch::Emission:
    t.panel.m_MaterialEmission = color;
    break;
  }
  ForEachSceneMaterial(t.doc.m_SceneGraph, [swatch, &rgba](CMaterial& material) {
    switch (swatch) {
    case MaterialSwatch::Ambient:
      material.SetAmbient(rgba[0], rgba[1], rgba[2]);
      break;
    case MaterialSwatch::Diffuse:
      material.SetDiffuse(rgba[0], rgba[1], rgba[2]);
      break;
    case MaterialSwatch::Specular:
      material.SetSpecular(rgba[0], rgba[1], rgba[2]);
      break;
    case MaterialSwatch::Emission:
      material.SetEmission(rgba[0], rgba[1], rgba[2]);
      break;
    }
  });
  return 1;
}

int SelectPreset(CPanelTarget& t, const std::string& name) {
  const CMaterialPreset* preset = FindMaterialPreset(name);
  if (!preset) return 0;
  CCommandPanelState& panel = t.panel;
  for (size_t i = 0; i < panel.m_Presets.size(); i++)
    if (panel.m_Presets[i] == name) panel.m_PresetSelection = static_cast<int>(i);
  ApplyMaterialPreset(*preset, t.doc.m_SceneGraph);
  panel.m_MaterialAmbient = FromFloats(preset->ambient);
  panel.m_MaterialDiffuse = FromFloats(preset->diffuse);
  panel.m_MaterialSpecular = FromFloats(preset->specular);
  panel.SetPosition(PanelSlider::Shininess, static_cast<int>(preset->shininess));
  return 1;
}

int SetSurfaceColor(CPanelTarget& t, PanelColor color) {
  t.panel.m_SurfaceColor = color;
  const CColor surface(static_cast<unsigned char>(PanelRed(color)),
                       static_cast<unsigned char>(PanelGreen(color)),
                       static_cast<unsigned char>(PanelBlue(color)));
  CSceneGraph3d& scene = t.doc.m_SceneGraph;
  int changed = 0;
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    if (!object || object->GetType() != TYPE_MESH3D) continue;
    auto* mesh = static_cast<CMesh3d*>(object);
    mesh->m_Color = surface;
    mesh->m_UseMeshColor = 1;
    mesh->SetModified();
    changed++;
  }
  return changed > 0 ? 1 : 0;
}

} // namespace orvex
