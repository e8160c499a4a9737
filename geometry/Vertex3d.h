#pragma once

#include <cstddef>

#include "geometry/Array3d.h"
#include "geometry/Color.h"
#include "geometry/History3d.h"
#include "geometry/Vector3d.h"

class CFace3d;
class CEdge3d;

// Mesh vertex: position, a saved copy of it, normal, color, scratch flag and
// tags, and the links to its one-ring (neighbour vertices), incident faces
// and incident edges.
class CVertex3d : public CObject3d {
public:
  double x = 0.0, y = 0.0, z = 0.0;
  double sx = 0.0, sy = 0.0, sz = 0.0; // saved position
  CVector3d m_Normal;
  CColor m_Color;
  int m_Flag = 0;
  CHistory3d* m_pHistory = nullptr;
  CArray3d<CVertex3d> m_ArrayVertexNeighbor;
  CArray3d<CFace3d> m_ArrayFaceNeighbor;
  CArray3d<CEdge3d> m_ArrayEdge;
  int m_Counter = 0;
  int m_TagA = 0;
  int m_TagB = 0;
  CVertex3d* m_pTarget = nullptr;
  int m_TagD = 0;

  CVertex3d() = default;
  CVertex3d(double vx, double vy, double vz) : x(vx), y(vy), z(vz) {}
  // Copies the position only.
  explicit CVertex3d(const CVertex3d* v) : x(v->x), y(v->y), z(v->z) {}
  CVertex3d(const CVertex3d&) = delete;
  CVertex3d& operator=(const CVertex3d&) = delete;
  ~CVertex3d() override;

  int GetType() override { return TYPE_VERTEX3D; }
  int glDraw() const override;
  // Sphere of the given radius and color at the position, with the owner's
  // transform applied when one is given.
  void glDrawHighlight(float radius, const CColor& color, const class CTransform* transform) const;

  // position
  void Set(double vx, double vy, double vz) {
    x = vx;
    y = vy;
    z = vz;
  }
  void Set(const CVertex3d* v) { Set(v->x, v->y, v->z); }
  void Set(const CVector3d& v) { Set(v.x, v.y, v.z); }
  CVector3d Position() const { return CVector3d(x, y, z); }
  void SavePosition() {
    sx = x;
    sy = y;
    sz = z;
  }

  // undo history
  void PushPosition();
  void PushCreated();
  // Pops one record: kind 3 restores x, y, z. Returns 1 when a record was
  // popped, 0 when the stack was empty.
  int PopHistory();
  void ClearHistory();

  // neighbour vertices
  int AddNeighbor(CVertex3d* v) { return m_ArrayVertexNeighbor.AddUnique(v); }
  int RemoveNeighbor(CVertex3d* v) { return m_ArrayVertexNeighbor.Remove(v); }
  int NbNeighbor() const { return m_ArrayVertexNeighbor.GetSize(); }
  CVertex3d* GetNeighbor(int i) const { return m_ArrayVertexNeighbor[i]; }
  int HasNeighbor(const CVertex3d* v) const { return m_ArrayVertexNeighbor.Has(v); }
  // Removes old; unless this is new, adds new if absent and this to new's list.
  void UpdateNeighbor(CVertex3d* oldV, CVertex3d* newV);

  // neighbour faces
  int AddFace(CFace3d* f) { return m_ArrayFaceNeighbor.AddUnique(f); }
  int RemoveFace(CFace3d* f) { return m_ArrayFaceNeighbor.Remove(f); }
  int NbFace() const { return m_ArrayFaceNeighbor.GetSize(); }
  CFace3d* GetFace(int i) const { return m_ArrayFaceNeighbor[i]; }
  int HasFace(const CFace3d* f) const { return m_ArrayFaceNeighbor.Has(f); }
  // Replaces vertex oldV by newV in every incident face that contains oldV.
  void UpdateFaceVertex(CVertex3d* oldV, CVertex3d* newV);
  // First incident face containing a and b; null unless this, a, b distinct.
  CFace3d* FindFace(const CVertex3d* a, const CVertex3d* b) const;
  // Appends every incident face of this that v also has.
  int SharedFaces(const CVertex3d* v, CArray3d<CFace3d>& out) const;

  // boundary
  int IsBoundaryVertex() const;
  int HasBoundaryNeighbor() const;

  // queries by flag
  int NbNeighborWithFlag(int t) const;
  // Nearest neighbour with flag t; the first of equals wins.
  CVertex3d* NearestNeighborWithFlag(int t) const;
  // Neighbour with flag t that shares an incident face whose flag is u.
  CVertex3d* NeighborWithFlagSharingFaceWithFlag(int t, int u) const;

  // queries by tag B
  int NbBoundaryNeighborWithTag(int t) const;
  CVertex3d* FirstBoundaryNeighborWithTag(int t) const;
  CVertex3d* NeighborWithTagAndFlag(int t, int u) const;
  int CollectNeighborsWithTag(int t, CArray3d<CVertex3d>& out) const;

  // Neighbour whose unit direction has the largest positive dot with dir.
  CVertex3d* MostAlignedNeighbor(const CVector3d& dir) const;

  // measures over incident faces and neighbours
  double MeanFaceArea() const;
  double MinFaceArea() const;
  double MeanCompacity() const;
  double MeanDistanceToNeighbors() const;
  // Over pairs of incident faces that are neighbours of each other; 0 with
  // fewer than two faces.
  double SumNormalSine() const;
  double MaxNormalSine() const;
  double MaxNormalAngle() const;
  // 3 on the boundary; else the number of neighbouring face pairs around the
  // vertex whose NormalSine >= threshold (0 faces -> 0, 1 face -> 2).
  int SharpCount(double threshold) const;

  // incident edges (filled by the mesh's BuildEdges)
  int SetEdgeTag(const CVertex3d* v, int tag);
  int NbEdgeWithTag(int t);

  // Absorbs ctx into this vertex: see the definition.
  int MergeInto(CVertex3d* ctx, int faceFlag, int vertexFlag);
};

double DistanceSquared(const CVertex3d* a, const CVertex3d* b);
double Distance(const CVertex3d* a, const CVertex3d* b);
// |(R - Q) x (P - Q)| / 2
double Area(const CVertex3d* p, const CVertex3d* q, const CVertex3d* r);
// Foot of the perpendicular from p on the line (a, b); returns |out - p|.
double Project(const CVertex3d* p, const CVertex3d* a, const CVertex3d* b, CVector3d& out);
// As Project, but returns 0 without writing when a and b coincide, else 1.
int ProjectSafe(const CVertex3d* p, const CVertex3d* a, const CVertex3d* b, CVector3d& out);
// 1 when (a - p).(b - p) <= 0.
int IsObtuseAt(const CVector3d& p, const CVector3d& a, const CVector3d& b);
int IsObtuseAt(const CVertex3d* p, const CVertex3d* a, const CVertex3d* b);
// Mean position of a list of vertices.
CVector3d Centroid(const CArray3d<CVertex3d>& vertices);
