#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/Array3d.h"
#include "geometry/Color.h"
#include "geometry/DrawOptions.h"
#include "geometry/Edge3d.h"
#include "geometry/ElementIds.h"
#include "geometry/Face3d.h"
#include "geometry/GlListCache.h"
#include "geometry/Material.h"
#include "geometry/SlotIndex.h"
#include "geometry/TextureImage.h"
#include "geometry/Transform.h"
#include "geometry/Vertex3d.h"

// Triangle mesh: owns its vertices, faces and edges, keeps their links
// consistent, computes normals, measures, edits and draws itself.
class CMesh3d : public CObject3d {
public:
  CArray3d<CVertex3d> m_ArrayVertex;
  CArray3d<CFace3d> m_ArrayFace;
  CArray3d<CEdge3d> m_ArrayEdge;
  CColor m_Color{0, 0, 0, 255};
  CTransform m_Transform;
  std::string m_Name = "Mesh";
  CMaterial m_Material;
  int m_NormalBinding = 1; // 1 = per face (flat), 0 = per vertex (smooth)
  int m_ColorBinding = 1;  // 1 = face colors, 0 = vertex colors
  int m_UseMeshColor = 0;
  int m_PositionsSwapped = 0;
  // Non-zero: glDraw goes through the display list. Meshes start in it;
  // the document turns it off while a command runs and while the
  // visual-mode chooser is shown.
  int m_DisplayListMode = 1;
  int m_IndexTexture = -1;
  float* m_pTextureCoordinate = nullptr;    // (u, v) pairs
  int* m_pTextureCoordinateIndex = nullptr; // 3 per face
  int m_NbTextureCoordinate = 0;            // number of (u, v) pairs
  int m_NbTextureCoordinateIndex = 0;       // number of faces indexed
  // Set by SetModified (the display list is out of date); drawing never
  // clears it. Every SetModified also moves the revision on, which the
  // list cache compares with the revision it was compiled from.
  int m_Modified = 1;
  unsigned m_Revision = 0;
  // Render-side cache of the display list (not mesh state).
  mutable CGlListCache m_GlList;
  unsigned char m_Show = 1;
  float*** m_pGrid = nullptr; // nx arrays of ny arrays of nz floats
  int m_nx = 0, m_ny = 0, m_nz = 0;
  int m_ShowGrid = 0;
  // Vertices taken out of the vertex array without being deleted (isolated
  // vertices); freed with the mesh.
  CArray3d<CVertex3d> m_ArrayDetachedVertex;
  // CHistory3d::Created() when the mesh was last found holding no history
  // stack; 0 when unknown.
  std::uint64_t m_HistoryFreeAt = 0;
  // Slots of the vertices and faces in their arrays, built when a single
  // element is first removed (Mesh3dSlots.h).
  CSlotIndex m_VertexSlots;
  CSlotIndex m_FaceSlots;
  // Stable ids handed out so far (ElementIds.h).
  CElementIds m_VertexIds;
  CElementIds m_FaceIds;
  // Drops the slots single removals vacated, so that readers on other
  // threads find arrays they need not change (commands call it when they
  // end; any later read would do it otherwise).
  void SettleRemovals() {
    m_ArrayVertex.Compact();
    m_ArrayFace.Compact();
    m_ArrayEdge.Compact();
  }

  CMesh3d() = default;
  CMesh3d(const CMesh3d&) = delete;
  CMesh3d& operator=(const CMesh3d&) = delete;
  // Moves take every element, attribute and the display list along; the
  // moved-from mesh is left empty (a moved-into mesh's old contents are freed).
  CMesh3d(CMesh3d&& other) noexcept;
  CMesh3d& operator=(CMesh3d&& other) noexcept;
  ~CMesh3d() override;

  // CObject3d
  int GetType() override { return TYPE_MESH3D; }
  // With the default options, through the installed renderer (ObjectRenderer.h).
  int glBuildList() const override;
  int glDraw() const override;
  void SetModified() override {
    m_Modified = 1;
    ++m_Revision;
  }
  void Show(int visible) override { m_Show = static_cast<unsigned char>(visible); }
  // Drawing with the options of the view that paints.
  int glBuildList(const CDrawOptions& options) const;
  int glDraw(const CDrawOptions& options) const;
  // Immediate drawing of the faces (and the scalar grid). A mesh without
  // colours of its own is drawn with colour tracking off, lit through its
  // material.
  void DrawContent(const CDrawOptions& options = CDrawOptions()) const;
  // DrawContent without the material, as the display list holds it.
  void DrawGeometry(const CDrawOptions& options = CDrawOptions()) const;
  void glApplyMaterial() const;
  // True when the colours the binding draws (the faces', or the vertices'
  // under vertex binding) are all the default white.
  bool HasPlainColor() const;

  // construction and ownership
  void DeleteContents();
  void Copy(const CMesh3d* source);
  // A new mesh (the caller owns it) with a copy of every vertex (detached
  // ones included), face and edge, in the same order, with every attribute:
  // positions, saved positions, normals, colours, flags, tags, merge targets,
  // texture coordinates and indices, bindings, material, transform, name,
  // grid; the links (corners, neighbours, one-rings, face and edge lists)
  // point into the clone. Undo records and the display list are not copied.
  CMesh3d* Clone() const override;
  // Exchanges the whole contents of two meshes, display lists included.
  void Swap(CMesh3d& other) noexcept;
  int NbVertex() const { return m_ArrayVertex.GetSize(); }
  int NbFace() const { return m_ArrayFace.GetSize(); }
  int NbEdge() const { return m_ArrayEdge.GetSize(); }
  CVertex3d* GetVertex(int i) const { return m_ArrayVertex[i]; }
  CFace3d* GetFace(int i) const { return m_ArrayFace[i]; }
  CEdge3d* GetEdge(int i) const { return m_ArrayEdge[i]; }
  CArray3d<CVertex3d>* GetArrayVertex() { return &m_ArrayVertex; }
  CArray3d<CFace3d>* GetArrayFace() { return &m_ArrayFace; }
  int AddVertex(CVertex3d* v);
  int AddFace(CFace3d* f);
  void SetFaceCount(int n);
  CTransform* GetTransform() { return &m_Transform; }
  CMaterial* GetMaterial() { return &m_Material; }
  void SetTextureCoordinates(const float* uv, int nbPairs, const int* indices, int nbFaces);
  void FreeTextureCoordinates();
  // Attaches a scalar volume of nx x ny x nz zeros (frees the previous one).
  int AllocateGrid(int nx, int ny, int nz);
  void FreeGrid();

  // bindings and colors
  void SetColor(unsigned char r, unsigned char g, unsigned char b);
  void SetNormalBinding(int binding);
  void SetColorBinding(int binding);
  void SetFaceColors(const CColor& color);
  void SetVertexColors(const CColor& color);

  // topology and normals
  int BuildAdjacency();
  void CalculateNormalPerFace();
  void CalculateNormalPerVertex();
  void Rebuild();
  void BuildEdges(int tag = 0);
  void DeleteEdges();
  void BuildEdgeList(CArray3d<CEdge3d>& out, int markBoundary, int tag, int& found);

  // flags and queries
  int SetFlagOnFaces(int flag);
  int SetFlagOnVertices(int flag);
  void SetTagAOnVertices(int tag);
  void SetTagDOnVertices(int tag);
  // Vertex tag B of every vertex and the tag of every face.
  void SetTagBOnVerticesAndTagOnFaces(int tag);
  void ClearVertexHistoryAndFaceFlags();
  int NbFaceWithFlag(int flag) const;
  int NbVertexWithFlag(int flag) const;
  int NbVertexWithTagB(int tag) const;
  int MaxFaceFlag() const;
  CVertex3d* FirstVertexWithFlag(int flag) const;
  // The last vertex with flag t that has exactly one neighbour with flag t,
  // else the last vertex with flag t.
  CVertex3d* VertexWithFlagPreferEnd(int flag) const;
  // Smallest vertex flag different from t; found says whether there is one.
  int SmallestVertexFlagExcept(int t, int& found) const;
  int AnyVertexFlagDiffers(int t) const;
  int HasBoundary() const;
  double MeanEdgeLength() const;
  double MaxNormalSine() const;

  // ranges and geometry errors
  // The queries take pointers so that they can never be mistaken for the
  // mapping Range(c, newMin, newMax) below.
  void Range(int coord, float* min, float* max) const;
  void RangeSaved(int coord, float* min, float* max) const;
  void Range(int coord, float newMin, float newMax);
  void Translate(int coord, double d);
  void Scale(int coord, double s);
  void TranslateSaved(int coord, double d);
  void ScaleSaved(int coord, double s);
  double BoundingDiagonal() const;
  double RmsDisplacement() const;
  double DisplacementDecibels() const;
  double DisplacementRatio() const;
  void SavePositions();
  void SwapPositions();

  // editing primitives
  int RemoveVertex(CVertex3d* v);
  int RemoveFace(CFace3d* f);
  int DeleteVertexAt(int i);
  int DeleteFacesWithFlag(int flag);
  int DeleteFacesWithVertex(const CVertex3d* v);
  int DeleteVerticesWithFlag(int flag);
  int RemoveUnusedVertices();
  int RemoveDeadFaces();
  // RemoveDeadFaces for the undo of subdivision steps: the faces an undo
  // level killed go, the undo records of the others stay (they name
  // vertices only, and no vertex is deleted).
  int RemoveDeadFacesKeepingHistory();
  int TruncateAtFirstNullFace();
  int DeleteDegenerateFaces();
  int DeleteDuplicateFaces();
  int DeleteFacesWithNeighborCount(int n);
  int RemoveIsolatedVertices();
  int RemoveInvalidFaces();
  int Cleanup();
  int Check();
  int Weld();
  int CollapseEdge(CVertex3d* p, CVertex3d* q, const CVector3d& position, CArray3d<CFace3d>* list,
                   int deleteQ);
  // Whether CollapseEdge(p, q, ...) would collapse the edge (nothing changes).
  int CanCollapseEdge(const CVertex3d* p, const CVertex3d* q) const;
  int RemoveValence3Vertex(CVertex3d* v);
  int RemoveValence3Vertices();
  int UndoHistory();
  // Discards every undo record of the mesh's elements. Every removal runs it
  // first: an undo past a removal would bring back deleted elements. Costs
  // nothing while no history stack has been created since the mesh was last
  // found without one.
  // Returns 1 when it had to visit every element.
  int DropHistory();
  // Bulk removals behind the primitives above: delete the faces (vertices)
  // whose entry in doomed (one per array slot) is non-zero, keep the order of
  // the others (one compaction pass) and clear every reference to the deleted
  // elements; return the number deleted.
  int DeleteFacesMarked(const std::vector<char>& doomed, bool keepHistory = false);
  int DeleteVerticesMarked(const std::vector<char>& doomed);

  // stable ids: given on first request, kept through compactions, copies
  // (Clone) and swaps; 0 for null. FromId gives the element while the mesh
  // holds it, null once it was removed (or for an id never given).
  std::uint32_t VertexId(CVertex3d* v);
  std::uint32_t FaceId(CFace3d* f);
  CVertex3d* VertexFromId(std::uint32_t id);
  CFace3d* FaceFromId(std::uint32_t id);
  // Called by the removal paths before an element is deleted.
  void ForgetId(const CVertex3d* v) {
    if (v) m_VertexIds.Forget(v->GetId());
  }
  void ForgetId(const CFace3d* f) {
    if (f) m_FaceIds.Forget(f->GetId());
  }

  // other services
  // Closest point of the mesh to p and the face holding it; returns the
  // squared distance (about 1.7e308 when the mesh has no face).
  double NearestPoint(const CVector3d& p, CVector3d& point, CFace3d*& face) const;
  int ProjectOnto(const CMesh3d* other);
  // Breadth-first rings from a seed vertex: vertex flags 1, 2, ... and face
  // flags equal to the ring that reached them. Returns the number of rings.
  int FloodLayers(int seedIndex);

  // predefined meshes (Mesh3dPredefined.cpp); each empties the mesh first
  void MakeTetrahedron();
  void MakeBox(float sx, float sy, float sz);
  void MakeCosineMap(int nx, int nz, float min, float max);
  void MakePeaksMap(int nx, int nz, float min, float max);
  // Height field of columns x rows samples of an image whose pixels are
  // true red, green, blue with row 0 at the bottom of the picture.
  void BuildFromImage(const CTextureImage* texture, int columns, int rows, int useColors);
};
