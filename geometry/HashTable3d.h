#pragma once

// Uniform spatial grid over the faces of a triangle mesh, for closest-point
// queries against a surface. The grid has n cells per axis over the mesh's
// bounding box; every face is listed in each cell its bounding box
// overlaps. A query visits rings of cells around the cell of the query
// point (clamped to the grid when the point lies outside the box) and
// answers from the first ring holding any face, or, in the exact search,
// goes on until no farther ring can hold a closer face.
//
// The grid is also a scene object (type code 0): it draws every occupied
// cell as a box, yellow or red when marked by a debugging query, and the
// whole grid's box in red, inside the transform of the mesh it indexes.
// It keeps copies of the triangles it indexes, so drawing and queries
// never read the mesh again.

#include <cstdint>
#include <functional>
#include <vector>

#include "geometry/GridFaceBoxes.h"
#include "geometry/Object3d.h"
#include "geometry/Transform.h"
#include "geometry/Vector3d.h"

class CFace3d;
class CMesh3d;

class CHashTable3d : public CObject3d {
public:
  // Largest grid size accepted (n³ cell references must stay addressable).
  static constexpr int kMaxSize = 256;
  // Distance value of a query that finds no face.
  static constexpr double kNothing = 1.7e308;
  // Most cell entries (a face once per cell it overlaps) a grid holds.
  static constexpr std::uint64_t kMaxEntries = 0x7fffffff;

  // n x n x n empty cells; n is clamped to 1 ... kMaxSize. Throws
  // std::bad_alloc when the cell references do not fit in memory.
  explicit CHashTable3d(int size = 16);

  // CObject3d
  int GetType() override { return TYPE_OBJECT3D; }
  int glDraw() const override;
  // A copy of the cells and triangles; its queries report no face object
  // (the faces belong to the mesh the original indexed).
  CObject3d* Clone() const override;

  // Indexes every face of mesh (faces with a missing corner are left out).
  // Returns 0 when the mesh has no face, else 1. Throws std::bad_alloc when
  // the entries do not fit in memory or pass kMaxEntries. The redraw hook, when
  // set, is called once the grid is complete.
  int Build(const CMesh3d* mesh);
  // Closest point of the indexed surface to p from the first ring of cells
  // holding any face; returns its squared distance (kNothing when the grid
  // holds no face). With debug set, the cells of each ring visited are
  // marked and the redraw hook is called after every ring.
  double ClosestPoint(const CVector3d& p, CVector3d& point, CFace3d*& face, int debug = 0) const;
  // The exact closest point (the first face in array order among equal
  // distances), found through the same rings; squared distance returned.
  double ExactClosestPoint(const CVector3d& p, CVector3d& point, CFace3d*& face) const;
  // Index in the mesh's face array of the face a query found (-1 for none).
  int LastFaceIndex() const { return m_LastFace; }

  int Size() const { return m_Size; }
  int NbFace() const { return static_cast<int>(m_Faces.size()); }
  // Number of cells created (those holding at least one face).
  int NbCell() const { return static_cast<int>(m_SlotCell.size()); }
  // The faces listed in cell (i, j, k), as indices into the mesh's array.
  std::vector<int> CellFaces(int i, int j, int k) const;
  // Box of cell (i, j, k) (single precision, as the grid stores it).
  void CellBox(int i, int j, int k, float min[3], float max[3]) const;
  // The cell of a point, clamped to the grid.
  void CellOf(const CVector3d& p, int cell[3]) const;
  void Range(int axis, float* min, float* max) const {
    *min = m_Min[axis];
    *max = m_Max[axis];
  }
  const CTransform& Transform() const { return m_Transform; }
  // Occupied cells as (i, j, k, mark) for drawing, in cell order.
  struct CellMark {
    int i, j, k;
    int mark;
  };
  std::vector<CellMark> Cells() const;
  void ClearMarks() const;

  // Called after Build and after every ring of a debugging query (the
  // command shows the grid while it works); empty without a view.
  std::function<void()> m_Redraw;
  // Searches skip the faces whose stored box is farther than the best face
  // (the answers are the same without it; tests compare both).
  bool m_UseFaceBoxes = true;

private:
  int CellIndex(int i, int j, int k) const { return (i * m_Size + j) * m_Size + k; }
  int AxisCell(int axis, double c) const;
  // The slot (index among the created cells) of a created cell, else -1.
  int SlotOf(int cell) const;
  // Widening of the cell bounds in the searches' cell tests, and the
  // squared distance from p to cell (i, j, k) so widened.
  double CellMargin() const;
  double CellDistanceSquared(const double* p, int i, int j, int k, double margin) const;
  // Visits the faces of the occupied cells at ring distance r around
  // center; returns whether any cell of the ring holds a face.
  template <class Visit> bool VisitRing(const int center[3], int r, Visit&& visit) const;
  // The faces of a cell of the first rings by their box bounds (u the query
  // in lattice units), then exactly; the best face is updated in place.
  void ScanFiltered(int cell, const double* q, const CGridFaceBoxes::Query& u, double& best,
                    int& bestFace, double* bestPoint) const;
  double Search(const CVector3d& p, bool exact, int debug, CVector3d& point, CFace3d*& face) const;

  int m_Size = 16;
  float m_Min[3] = {0.0f, 0.0f, 0.0f};
  float m_Max[3] = {0.0f, 0.0f, 0.0f};
  double m_Scale[3] = {0.0, 0.0, 0.0}; // n / extent; 0 on a flat axis
  CTransform m_Transform;
  // first entry in m_Entries per cell, one more at the end: a query finds
  // its cell's faces in one step (an empty cell has none)
  std::vector<std::uint32_t> m_CellStart;
  // created cells (those holding a face) in cell order
  std::vector<std::int32_t> m_SlotCell;
  std::vector<CGridEntry> m_Entries;          // faces and boxes, per cell in face order
  CGridFaceBoxes m_Boxes;                     // lattice of the entries' boxes
  std::vector<double> m_Tri;                  // 9 coordinates per face
  std::vector<CFace3d*> m_Faces;              // null for the faces of a copy
  mutable std::vector<unsigned char> m_Marks; // per created cell
  mutable int m_LastFace = -1;
};

// Squared distance from p to the triangle (a, b, c) given as 9 coordinates,
// with the closest point.
double PointTriangleDistanceSquared(const double* p, const double* tri, double* closest);
