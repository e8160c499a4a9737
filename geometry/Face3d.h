#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "geometry/Color.h"
#include "geometry/History3d.h"
#include "geometry/Vector3d.h"
#include "geometry/Vertex3d.h"

class CTransform;

// Fields of a face that most meshes never use, in a side block allocated
// with the first value differing from the default.
struct CFaceExtra3d {
  CVector3d m_Aux;
  CHistory3d* m_pHistory = nullptr;
  int m_Tag = 0;
  std::uint32_t m_Id = 0; // stable id in the owning mesh, 0 until asked for

  // Side blocks live in their own pool (ElementPool.h), like the elements.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);
};

// Triangle face: the corners in orientation order; neighbour i is the face
// across edge (v(i), v(i+1)), null on a boundary. The auxiliary vector,
// undo history and tag live in a side block behind accessors. The edge
// points of a refinement step live beside the mesh for the step
// (processing/SubdivisionPasses.h), not in every face. A face is no scene
// object: it has no virtual functions, so it carries no vtable pointer.
class CFace3d {
public:
  CVertex3d* m_pVertex[3] = {nullptr, nullptr, nullptr};
  CFace3d* m_pFace[3] = {nullptr, nullptr, nullptr};
  CVector3d m_Normal;
  CColor m_Color;
  int m_Flag = 0;

  CFace3d() = default;
  CFace3d(CVertex3d* a, CVertex3d* b, CVertex3d* c) { Set(a, b, c); }
  CFace3d(const CFace3d&) = delete;
  CFace3d& operator=(const CFace3d&) = delete;
  ~CFace3d();
  // Faces live in the face pool (ElementPool.h), like vertices.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);

  // rarely used fields (side block)
  const CVector3d& GetAux() const { return m_pExtra ? m_pExtra->m_Aux : s_NoExtra.m_Aux; }
  void SetAux(const CVector3d& a) {
    if (m_pExtra || a.x != 0.0 || a.y != 0.0 || a.z != 0.0) MutableExtra().m_Aux = a;
  }
  CHistory3d* GetHistory() const { return m_pExtra ? m_pExtra->m_pHistory : nullptr; }
  std::uint32_t GetId() const { return m_pExtra ? m_pExtra->m_Id : 0; }
  int GetTag() const { return m_pExtra ? m_pExtra->m_Tag : 0; }
  void SetTag(int t) {
    if (m_pExtra || t != 0) MutableExtra().m_Tag = t;
  }
  CFaceExtra3d& MutableExtra() {
    if (!m_pExtra) m_pExtra = new CFaceExtra3d;
    return *m_pExtra;
  }
  bool HasExtra() const { return m_pExtra != nullptr; }
  void SwapExtra(CFace3d& other) noexcept { std::swap(m_pExtra, other.m_pExtra); }
  // Frees the side block (history included).
  void DropExtra();

  int GetType() const { return TYPE_FACE3D; }
  // Draws the non-null neighbours in neighborColor (when given), then this
  // face in color, with the owner's transform applied (when given).
  void glDrawHighlight(const CColor& color, const CTransform* transform,
                       const CColor* neighborColor) const;

  // v(i) and f(i) wrap modulo 3.
  CVertex3d* v(int i) const { return m_pVertex[i % 3]; }
  CFace3d* f(int i) const { return m_pFace[i % 3]; }
  CVertex3d* v1() const { return m_pVertex[0]; }
  CVertex3d* v2() const { return m_pVertex[1]; }
  CVertex3d* v3() const { return m_pVertex[2]; }

  void Set(CVertex3d* a, CVertex3d* b, CVertex3d* c) {
    m_pVertex[0] = a;
    m_pVertex[1] = b;
    m_pVertex[2] = c;
  }
  void SetVertex(int i, CVertex3d* v) { m_pVertex[i % 3] = v; }
  void SetNeighbors(CFace3d* f0, CFace3d* f1, CFace3d* f2) {
    m_pFace[0] = f0;
    m_pFace[1] = f1;
    m_pFace[2] = f2;
  }
  void SetNeighbor(int i, CFace3d* f) { m_pFace[i % 3] = f; }
  void CopyVertices(const CFace3d* f);
  void CopyNeighbors(const CFace3d* f);

  // undo history
  void PushCorner(int slot);
  void PushCreated();
  // Pops one record: kind 1 restores the slot and recomputes the normal,
  // kind 2 nulls the three corners. Returns 1 when popped, 0 when empty.
  int PopHistory();
  void ClearHistory();

  // corners and neighbours
  int HasVertex(const CVertex3d* v) const {
    return m_pVertex[0] == v || m_pVertex[1] == v || m_pVertex[2] == v;
  }
  int HasVertices(const CVertex3d* p, const CVertex3d* q, const CVertex3d* r) const {
    return HasVertex(p) && HasVertex(q) && HasVertex(r);
  }
  // All three of f's corners are corners of this.
  int SameVertices(const CFace3d* f) const {
    return f && HasVertex(f->m_pVertex[0]) && HasVertex(f->m_pVertex[1]) &&
           HasVertex(f->m_pVertex[2]);
  }
  int IndexOfVertex(const CVertex3d* v, int& i) const;
  int HasNeighbor(const CFace3d* f) const {
    return m_pFace[0] == f || m_pFace[1] == f || m_pFace[2] == f;
  }
  int IndexOfNeighbor(const CFace3d* f, int& i) const;
  int NbVertex() const;
  int NbNeighbor() const;

  int UpdateVertex(CVertex3d* oldV, CVertex3d* newV);
  int UpdateNeighbor(CFace3d* oldF, CFace3d* newF);

  CVertex3d* OtherVertex(const CVertex3d* a, const CVertex3d* b) const;
  // A corner other than a that f also has.
  CVertex3d* VertexSharedWith(const CVertex3d* a, const CFace3d* f) const;
  CFace3d* OtherNeighbor(const CFace3d* f1, const CFace3d* f2) const;
  // The neighbour containing a but not b.
  CFace3d* NeighborWith(const CVertex3d* a, const CVertex3d* b) const;
  // The first neighbour not containing a.
  CFace3d* NeighborWithout(const CVertex3d* a) const;
  // The first neighbour containing v and absent from list.
  CFace3d* NeighborNotIn(const CVertex3d* v, const CArray3d<CFace3d>& list) const;

  // Exactly two corners in common.
  int SharesEdge(const CFace3d* f) const;
  // The shared edge as this face's corners i, i+1 (this face's orientation).
  int SharedEdge(const CFace3d* f, CVertex3d*& a, CVertex3d*& b) const;
  CVertex3d* NearestVertex(const CVertex3d* p) const;

  // flags of corners
  void SetCornerFlags(int t);
  void SetCornerFlagsExcept(const CVertex3d* p, int t);
  void SetCornerFlagsIfNot(int t, int value);
  int NbCornerWithFlag(int t) const;
  int IndexOfCornerWithFlag(int t) const;
  CVertex3d* CornerWithFlag(int t) const;
  int HasCornerWithFlag(int t) const;

  // tag B of corners
  int NbCornerWithTag(int t) const;
  int MaxTagDifference() const;
  int SameTags() const;

  int HasNullVertex() const;
  int IsDegenerate() const;
  int HasBoundaryVertex() const;
  int ValenceSum() const;
  int NoValence3Near() const;
  int IsValid() const;
  int SharpEdges(double threshold, int out[3]) const;

  // geometry
  void CalculateNormal();
  CVector3d* GetNormal() { return &m_Normal; }
  double Area() const;
  double Perimeter() const;
  double Compacity() const;
  double Compacity(const CFace3d* f) const;
  CVector3d Center() const;

  // Swaps the diagonal shared with neighbour f; 0 when refused.
  int FlipEdge(CFace3d* f);

private:
  CFaceExtra3d* m_pExtra = nullptr;
  static const CFaceExtra3d s_NoExtra;
};

// The unit normal CFace3d::CalculateNormal gives a face of corners p0, p1,
// p2 (none null).
CVector3d TriangleNormal(const CVertex3d* p0, const CVertex3d* p1, const CVertex3d* p2);
// Plane through the face: recomputes the normal; 0 when it is zero.
int FacePlane(CFace3d* face, double& a, double& b, double& c, double& d);
// |N x M| / (|N||M|) of the recomputed normals; 0 when either is zero.
double NormalSine(CFace3d* f, CFace3d* g);
// AngleBetween the recomputed normals; 0 when either is zero.
double NormalAngle(CFace3d* f, CFace3d* g);
// Orthogonal projection of p onto the face's plane; 0 when the normal is zero.
int ProjectOnPlane(const CVertex3d* p, CFace3d* face, CVector3d& out);
int ProjectOnPlane(const CVector3d& p, CFace3d* face, CVector3d& out);
// Points on an edge count as inside.
int IsInsideTriangle(const CVector3d& x, const CFace3d* face);
// Squared distance from p to the face, with the closest point.
double PointTriangleDistance(const CVector3d& p, CFace3d* face, CVector3d& out);
