#pragma once

#include <string>

#include "geometry/Color.h"
#include "geometry/GlListCache.h"
#include "geometry/Material.h"
#include "geometry/SceneGraph3d.h"

// What the meshes kept in flat arrays (quads, polygons) have as objects of
// a scene: a name, a colour and material, and the state of their display
// list. Every SetModified moves the revision on; the list cache compares.
class CFlatSceneMesh3d : public CObject3d, public CSceneMesh3d {
public:
  explicit CFlatSceneMesh3d(const char* name) : m_Name(name) {}

  std::string m_Name;
  CColor m_Color{255, 255, 255, 255};
  int m_UseMeshColor = 0;
  CMaterial m_Material;
  // Draw through a display list (the document turns it off while a command
  // runs).
  int m_DisplayListMode = 1;
  int m_Modified = 1;
  unsigned m_Revision = 0;
  mutable CGlListCache m_GlList;

  // CObject3d
  void SetModified() override {
    m_Modified = 1;
    ++m_Revision;
  }
  // CSceneMesh3d
  void SetUseMeshColor(int use) override { m_UseMeshColor = use; }
};
