#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "geometry/Array3d.h"
#include "geometry/Color.h"
#include "geometry/History3d.h"
#include "geometry/Vector3d.h"

class CFace3d;
class CEdge3d;

// Fields of a vertex that most meshes never use, kept in one side block that
// the vertex allocates with the first value differing from the default
// (setting a default value on a vertex without the block allocates nothing).
struct CVertexExtra3d {
  double sx = 0.0, sy = 0.0, sz = 0.0; // saved position
  CHistory3d* m_pHistory = nullptr;
  CArray3d<CEdge3d> m_ArrayEdge;
  CVertex3d* m_pTarget = nullptr;
  int m_Counter = 0;
  int m_TagA = 0;
  int m_TagB = 0;
  int m_TagD = 0;
  std::uint32_t m_Id = 0; // stable id in the owning mesh, 0 until asked for

  // Side blocks live in their own pool (ElementPool.h), like the elements.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);
};

// Mesh vertex: position, normal, color, scratch flag and the links to its
// one-ring (neighbour vertices) and incident faces, held inline up to
// valence six. The saved position, undo history, incident edges, counter,
// tags and merge target live in the side block (see CVertexExtra3d) behind
// accessors.
class CVertex3d : public CObject3d {
public:
  // Entries a neighbour list holds without a block of its own.
  static constexpr int kInlineNeighbors = 6;

  double x = 0.0, y = 0.0, z = 0.0;
  CVector3d m_Normal;
  CColor m_Color;
  int m_Flag = 0;
  CArray3d<CVertex3d, kInlineNeighbors> m_ArrayVertexNeighbor;
  CArray3d<CFace3d, kInlineNeighbors> m_ArrayFaceNeighbor;

  CVertex3d() = default;
  CVertex3d(double vx, double vy, double vz) : x(vx), y(vy), z(vz) {}
  // Copies the position only.
  explicit CVertex3d(const CVertex3d* v) : x(v->x), y(v->y), z(v->z) {}
  CVertex3d(const CVertex3d&) = delete;
  CVertex3d& operator=(const CVertex3d&) = delete;
  ~CVertex3d() override;
  // Vertices live in the vertex pool (ElementPool.h): exact size, freed
  // from any thread; a derived class of another size uses the heap.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);

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
  void SavePosition() { SetSavedPosition(x, y, z); }
  // saved position, (0, 0, 0) until one is set
  CVector3d SavedPosition() const {
    const CVertexExtra3d& e = Extra();
    return CVector3d(e.sx, e.sy, e.sz);
  }
  void SetSavedPosition(double vx, double vy, double vz) {
    if (m_pExtra || vx != 0.0 || vy != 0.0 || vz != 0.0) {
      CVertexExtra3d& e = MutableExtra();
      e.sx = vx;
      e.sy = vy;
      e.sz = vz;
    }
  }
  void SetSavedPosition(const CVector3d& p) { SetSavedPosition(p.x, p.y, p.z); }
  // Exchanges the position with the saved one.
  void SwapSavedPosition() {
    CVector3d saved = SavedPosition();
    SetSavedPosition(x, y, z);
    Set(saved);
  }

  // rarely used fields (side block)
  CHistory3d* GetHistory() const { return m_pExtra ? m_pExtra->m_pHistory : nullptr; }
  std::uint32_t GetId() const { return m_pExtra ? m_pExtra->m_Id : 0; }
  int GetCounter() const { return Extra().m_Counter; }
  void SetCounter(int n) { SetExtraValue(&CVertexExtra3d::m_Counter, n); }
  int GetTagA() const { return Extra().m_TagA; }
  void SetTagA(int t) { SetExtraValue(&CVertexExtra3d::m_TagA, t); }
  int GetTagB() const { return Extra().m_TagB; }
  void SetTagB(int t) { SetExtraValue(&CVertexExtra3d::m_TagB, t); }
  int GetTagD() const { return Extra().m_TagD; }
  void SetTagD(int t) { SetExtraValue(&CVertexExtra3d::m_TagD, t); }
  // vertex this one was merged into, null when none
  CVertex3d* GetTarget() const { return Extra().m_pTarget; }
  void SetTarget(CVertex3d* v) { SetExtraValue(&CVertexExtra3d::m_pTarget, v); }
  // incident edges (filled by the mesh's BuildEdges); empty without the block
  const CArray3d<CEdge3d>& EdgeList() const { return Extra().m_ArrayEdge; }
  CArray3d<CEdge3d>& MutableEdgeList() { return MutableExtra().m_ArrayEdge; }
  int NbEdge() const { return m_pExtra ? m_pExtra->m_ArrayEdge.GetSize() : 0; }
  void ClearEdges() {
    if (m_pExtra) m_pExtra->m_ArrayEdge.RemoveAll();
  }
  // The side block, or the defaults when the vertex has none.
  const CVertexExtra3d& Extra() const { return m_pExtra ? *m_pExtra : s_NoExtra; }
  CVertexExtra3d& MutableExtra() {
    if (!m_pExtra) m_pExtra = new CVertexExtra3d;
    return *m_pExtra;
  }
  bool HasExtra() const { return m_pExtra != nullptr; }
  // Exchanges the side blocks of two vertices.
  void SwapExtra(CVertex3d& other) noexcept { std::swap(m_pExtra, other.m_pExtra); }
  // Frees the side block (history and edge list included).
  void DropExtra();

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

private:
  template <class V> void SetExtraValue(V CVertexExtra3d::*field, V value) {
    if (m_pExtra)
      m_pExtra->*field = value;
    else if (value != V())
      MutableExtra().*field = value;
  }

  CVertexExtra3d* m_pExtra = nullptr;
  static const CVertexExtra3d s_NoExtra;
};

// The vector and position helpers that read a vertex, inline for the same
// reason as the vector arithmetic.
inline CVector3d::CVector3d(const CVertex3d* a, const CVertex3d* b)
    : x(b->x - a->x), y(b->y - a->y), z(b->z - a->z) {}
inline void CVector3d::Set(const CVertex3d* v) {
  Set(v->x, v->y, v->z);
}

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
