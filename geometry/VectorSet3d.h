#pragma once

#include <string>

#include "geometry/Array3d.h"
#include "geometry/Color.h"
#include "geometry/GlListCache.h"
#include "geometry/Object3d.h"
#include "geometry/Transform.h"
#include "geometry/Vector3d.h"

class CMesh3d;
class CVertex3d;

// A free point of a vector set (object type 5): a position that is no
// vertex of a mesh.
class CPoint3d : public CObject3d {
public:
  CVector3d m_Position;

  CPoint3d() = default;
  explicit CPoint3d(const CVector3d& position) : m_Position(position) {}
  int GetType() override { return TYPE_VECTOR3D; }
};

// A set of line segments drawn with one display list: normals, sharp edges
// and the segments that algorithm commands show. Points are vertices or
// vectors taken in pairs (start, end); the set owns them.
class CVectorSet3d : public CObject3d {
public:
  CArray3d<CObject3d> m_ArrayPoint;
  CTransform m_Transform;
  CColor m_Color;
  std::string m_Name = "VectorSet";
  float m_LengthFactor = 1.0f;
  float m_Parameter = 0.01f;
  // Set by SetModified; drawing never clears it (see CMesh3d).
  int m_Modified = 1;
  unsigned m_Revision = 0;
  // Render-side cache of the display list (not state of the set).
  mutable CGlListCache m_GlList;
  // "CVectorSet3d::BuildList : unable to build DrawList" after a failed
  // build, for the application to show; empty otherwise. Written by
  // drawing as a report of the render side, like the list itself.
  mutable std::string m_Error;

  CVectorSet3d() = default;
  CVectorSet3d(const CVectorSet3d&) = delete;
  CVectorSet3d& operator=(const CVectorSet3d&) = delete;
  ~CVectorSet3d() override;

  // CObject3d
  int GetType() override { return TYPE_VECTORSET3D; }
  int glBuildList() const override;
  int glDraw() const override;
  void SetModified() override {
    m_Modified = 1;
    ++m_Revision;
  }
  // Copies of the points (positions), transform, colour, name and factors;
  // the copy builds its own display list.
  CVectorSet3d* Clone() const override;

  // Appends the pair (start, end), taking ownership of both vertices.
  void Add(CVertex3d* start, CVertex3d* end);
  // Appends the pair (start, end) as two free points.
  void Add(const CVector3d& start, const CVector3d& end);
  int NbPoint() const { return m_ArrayPoint.GetSize(); }
  // Number of complete (start, end) pairs.
  int NbVector() const { return m_ArrayPoint.GetSize() / 2; }
  // Position of point i (a vertex or a vector); 0 for any other object.
  int GetPoint(int i, CVector3d& position) const;
  // End of segment `pair` as drawn: start + (end - start) * length factor.
  int GetSegment(int pair, CVector3d& start, CVector3d& end) const;
  void SetColor(const CColor& color) { m_Color = color; }
  void SetName(const std::string& name) { m_Name = name; }
  void SetLengthFactor(float factor) {
    m_LengthFactor = factor;
    SetModified();
  }
  CTransform* GetTransform() { return &m_Transform; }
};

// One segment per face, from its centroid to centroid + unit face normal,
// with a copy of the mesh's transform; named "NormalSet". Faces with a
// missing corner are skipped.
CVectorSet3d* NewFaceNormalSet(CMesh3d* mesh);

// For every face and every neighbour i where the face's SharpEdges(threshold)
// holds, one segment between copies of corners i and i+1 (an interior sharp
// edge appears twice); named "SharpEdgesSet", mesh transform copied. Null
// when no edge qualifies.
CVectorSet3d* NewSharpEdgeSet(CMesh3d* mesh, double threshold);
