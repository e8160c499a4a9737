// The material presets of the command panel and of Mode/Material.

#include "app/MaterialPresets.h"

#include <algorithm>

#include "app/SceneMaterials.h"
#include "geometry/Material.h"

namespace orvex {

const std::vector<CMaterialPreset>& MaterialPresets() {
  // "Brass" keeps green components 0.268627 (diffuse) and 0.741176 (specular)
  static const std::vector<CMaterialPreset> kPresets = {
      {"Brass",
       {0.329412f, 0.223529f, 0.027451f},
       {0.780392f, 0.268627f, 0.113725f},
       {0.992157f, 0.741176f, 0.807843f},
       27.8974f},
      {"Turquoise",
       {0.1f, 0.18725f, 0.1745f},
       {0.396f, 0.74151f, 0.69102f},
       {0.297254f, 0.30829f, 0.306678f},
       12.8f},
      {"Ruby",
       {0.1745f, 0.01175f, 0.01175f},
       {0.61424f, 0.04136f, 0.04136f},
       {0.727811f, 0.626959f, 0.626959f},
       76.8f},
      {"Pearl",
       {0.25f, 0.20725f, 0.20725f},
       {1.0f, 0.829f, 0.829f},
       {0.296648f, 0.296648f, 0.296648f},
       11.264f},
      {"Polished copper",
       {0.2295f, 0.08825f, 0.0275f},
       {0.5508f, 0.2118f, 0.066f},
       {0.580594f, 0.223257f, 0.0695701f},
       51.2f},
      {"Polished bronze",
       {0.25f, 0.148f, 0.006475f},
       {0.4f, 0.2368f, 0.1036f},
       {0.774597f, 0.458561f, 0.200621f},
       76.8f},
      {"Black plastic", {0.0f, 0.0f, 0.0f}, {0.01f, 0.01f, 0.01f}, {0.5f, 0.5f, 0.5f}, 32.0f},
      {"Obsidian",
       {0.05375f, 0.05f, 0.06625f},
       {0.18275f, 0.17f, 0.22525f},
       {0.332741f, 0.328634f, 0.346435f},
       38.4f},
      {"Pewter",
       {0.105882f, 0.058824f, 0.113725f},
       {0.427451f, 0.470588f, 0.541176f},
       {0.333333f, 0.333333f, 0.521569f},
       9.84615f},
      {"Polished gold",
       {0.24725f, 0.2245f, 0.0645f},
       {0.34615f, 0.3143f, 0.0903f},
       {0.797357f, 0.723991f, 0.208006f},
       83.2f},
      {"Copper",
       {0.19125f, 0.0735f, 0.0225f},
       {0.7038f, 0.27048f, 0.0828f},
       {0.256777f, 0.137622f, 0.086014f},
       12.8f},
      {"Chrome",
       {0.25f, 0.25f, 0.25f},
       {0.4f, 0.4f, 0.4f},
       {0.774597f, 0.774597f, 0.774597f},
       76.8f},
      {"Polished silver",
       {0.23125f, 0.23125f, 0.23125f},
       {0.2775f, 0.2775f, 0.2775f},
       {0.773911f, 0.773911f, 0.773911f},
       89.6f},
      {"Emerald",
       {0.0215f, 0.1745f, 0.0215f},
       {0.07568f, 0.61424f, 0.07568f},
       {0.633f, 0.727811f, 0.633f},
       76.8f},
      {"Skin", {0.83f, 0.69f, 0.588f}, {0.83f, 0.69f, 0.588f}, {0.25f, 0.25f, 0.25f}, 64.0f},
      {"Light blue", {0.0f, 0.5f, 0.75f}, {0.0f, 0.5f, 1.0f}, {0.75f, 0.75f, 0.75f}, 64.0f},
      {"Jade",
       {0.135f, 0.2225f, 0.1575f},
       {0.54f, 0.89f, 0.63f},
       {0.316228f, 0.316228f, 0.316228f},
       12.8f},
      {"Gold",
       {0.24725f, 0.1995f, 0.0745f},
       {0.75164f, 0.60648f, 0.22648f},
       {0.628281f, 0.555802f, 0.366065f},
       51.2f},
      {"Silver",
       {0.19225f, 0.19225f, 0.19225f},
       {0.50754f, 0.50754f, 0.50754f},
       {0.508273f, 0.508273f, 0.508273f},
       51.2f},
  };
  return kPresets;
}

const CMaterialPreset* FindMaterialPreset(const std::string& name) {
  for (const CMaterialPreset& preset : MaterialPresets())
    if (name == preset.name) return &preset;
  return nullptr;
}

std::vector<std::string> SortedMaterialPresetNames() {
  std::vector<std::string> names;
  for (const CMaterialPreset& preset : MaterialPresets()) names.emplace_back(preset.name);
  std::sort(names.begin(), names.end());
  return names;
}

void ApplyMaterialPreset(const CMaterialPreset& preset, CMaterial& material) {
  const float* a = preset.ambient;
  const float* d = preset.diffuse;
  const float* s = preset.specular;
  material.SetAmbient(a[0], a[1], a[2]);
  material.SetDiffuse(d[0], d[1], d[2]);
  material.SetSpecular(s[0], s[1], s[2]);
  material.SetShininess(preset.shininess);
}

int ApplyMaterialPreset(const CMaterialPreset& preset, CSceneGraph3d& scene) {
  return ForEachSceneMaterial(
      scene, [&preset](CMaterial& material) { ApplyMaterialPreset(preset, material); });
}

} // namespace orvex
