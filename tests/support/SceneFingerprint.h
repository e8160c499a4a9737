#pragma once

// A digest of everything a scene shows or saves, one hash per kind of
// state, so that a test can tell which kinds an operation changed (a
// command against the effects it declares, a paint or a save against none).

#include <cstdint>
#include <string>
#include <vector>

class CSceneGraph3d;

namespace testmeshes {

enum SceneAspect {
  kAspectPositions,  // vertex positions, mesh transforms
  kAspectNormals,    // vertex and face normals, adjacency
  kAspectTopology,   // vertex and face counts, face corners
  kAspectObjects,    // object count, types and names, cameras
  kAspectAttributes, // colours, flags, tags, saved positions, bindings, texture coordinates
  kAspectOverlay,    // helper objects drawn over the scene
  kAspectDrawing,    // per-mesh drawing switches (display-list mode, mesh colour)
  kAspectMaterials,  // mesh materials
  kAspectCount
};

const char* AspectName(int aspect);

// One digest per object, known by its address: an object added or removed
// is a change of the objects aspect alone, an object kept is compared
// aspect by aspect.
struct SceneFingerprint {
  struct Object {
    const void* identity = nullptr;
    uint64_t hash[kAspectCount] = {};
  };
  std::vector<Object> objects;
  int overlays = 0;
  // Bit i set when aspect i differs.
  unsigned Differences(const SceneFingerprint& other) const;
};

SceneFingerprint FingerprintScene(const CSceneGraph3d& scene);

// Names of the aspects in a set of difference bits ("positions topology").
std::string AspectNames(unsigned differences);

// 64-bit FNV-1a over raw bytes, for digests of other state.
class CDigest {
public:
  template <typename T> void Add(const T& value) { AddBytes(&value, sizeof(value)); }
  void AddBytes(const void* data, size_t size);
  uint64_t Value() const { return m_Hash; }

private:
  uint64_t m_Hash = 1469598103934665603ull;
};

} // namespace testmeshes
