#pragma once

#include <string>
#include <vector>

class CMaterial;
class CSceneGraph3d;

namespace orvex {

// A named material: ambient, diffuse and specular red, green, blue (alpha
// is always 1) and a shininess.
struct CMaterialPreset {
  const char* name;
  float ambient[3];
  float diffuse[3];
  float specular[3];
  float shininess;
};

// The 19 presets in table order ("Brass" first).
const std::vector<CMaterialPreset>& MaterialPresets();
// The preset of that name (exact match), or null.
const CMaterialPreset* FindMaterialPreset(const std::string& name);
// The names sorted as the panel's list shows them ("Black plastic" first).
std::vector<std::string> SortedMaterialPresetNames();

// Sets ambient, diffuse, specular (alpha 1) and shininess of material.
void ApplyMaterialPreset(const CMaterialPreset& preset, CMaterial& material);
// The preset on every triangle mesh and quad mesh of the scene; returns
// how many took it. Materials are set outside the meshes' display lists,
// so nothing is rebuilt for them.
int ApplyMaterialPreset(const CMaterialPreset& preset, CSceneGraph3d& scene);

} // namespace orvex
