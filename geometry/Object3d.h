#pragma once

// Type codes returned by CObject3d::GetType. Code that walks a scene tests
// these to find meshes, quad meshes, polygon meshes and vector sets.
enum ObjectType3d {
  TYPE_OBJECT3D = 0,
  TYPE_QUAD_FACE = 1,
  TYPE_VERTEX3D = 2,
  TYPE_QUAD_VERTEX = 3,
  TYPE_POLYGON_FACE = 4,
  TYPE_VECTOR3D = 5,
  TYPE_FACE3D = 6,
  TYPE_POLYGON_VERTEX = 7,
  TYPE_MESH3D = 8,
  TYPE_TILING_MESH3D = 9,
  TYPE_QUAD_MESH = 10,
  TYPE_POLYGON_MESH = 11,
  TYPE_EDGE3D = 12,
  TYPE_VECTORSET3D = 13,
  TYPE_CAMERA = 14,
  TYPE_VISUAL_CHOOSER = 15
};

// Base of every drawable 3D object. The virtual operations keep this slot
// order: destructor, GetType, glBuildList, glDraw, SetModified, Show, Clone.
// Drawing is const: it reads the object and at most fills a render-side
// cache of GL resources that the object keeps mutable.
class CObject3d {
public:
  CObject3d() = default;
  CObject3d(const CObject3d&) = default;
  CObject3d& operator=(const CObject3d&) = default;
  virtual ~CObject3d() = default;
  virtual int GetType() { return TYPE_OBJECT3D; }
  virtual int glBuildList() const { return 1; }
  virtual int glDraw() const { return 1; }
  virtual void SetModified() {}
  virtual void Show(int /*visible*/) {}
  // A faithful copy owned by the caller, or null for a kind of object that
  // cannot be copied.
  virtual CObject3d* Clone() const { return nullptr; }
};
