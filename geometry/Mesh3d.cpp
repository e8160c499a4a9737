#include "geometry/Mesh3d.h"
#include "geometry/Mesh3dSlots.h"
#include "geometry/VertexIndexMap.h"

#include <cstring>
#include <unordered_set>

// Deletes every vertex, face and edge object of the mesh (detached vertices
// included) and empties the arrays. Faces go first: they point to vertices.
static void DeleteTopology(CMesh3d* mesh) {
  for (CFace3d* f : mesh->m_ArrayFace) delete f;
  mesh->m_ArrayFace.RemoveAll();
  for (CVertex3d* v : mesh->m_ArrayVertex) delete v;
  mesh->m_ArrayVertex.RemoveAll();
  for (CVertex3d* v : mesh->m_ArrayDetachedVertex) delete v;
  mesh->m_ArrayDetachedVertex.RemoveAll();
  for (CEdge3d* e : mesh->m_ArrayEdge) delete e;
  mesh->m_ArrayEdge.RemoveAll();
  mesh->m_VertexSlots.Release();
  mesh->m_FaceSlots.Release();
  mesh->m_VertexIds.Clear();
  mesh->m_FaceIds.Clear();
}

CMesh3d::~CMesh3d() {
  DeleteContents();
}

void CMesh3d::DeleteContents() {
  DeleteTopology(this);
  FreeTextureCoordinates();
  FreeGrid();
}

void CMesh3d::Copy(const CMesh3d* source) {
  if (!source || source == this) return;
  DeleteTopology(this);

  // one new vertex per source vertex, at the same index
  int nv = source->NbVertex();
  m_ArrayVertex.Reserve(nv);
  for (int i = 0; i < nv; i++) {
    const CVertex3d* v = source->GetVertex(i);
    m_ArrayVertex.Add(v ? new CVertex3d(v->x, v->y, v->z) : nullptr);
  }

  // one new face per source face whose three corners are source vertices
  // (found through a side index: the source is only read); the others
  // leave no slot, so the face array holds no null entry
  int nf = source->NbFace();
  m_ArrayFace.Reserve(nf);
  {
    const CVertexIndexMap indexer(source->m_ArrayVertex);
    for (int i = 0; i < nf; i++) {
      const CFace3d* f = source->GetFace(i);
      if (!f) continue;
      int a = indexer.IndexOf(f->v(0)), b = indexer.IndexOf(f->v(1)), c = indexer.IndexOf(f->v(2));
      if (a < 0 || b < 0 || c < 0) continue;
      m_ArrayFace.Add(new CFace3d(GetVertex(a), GetVertex(b), GetVertex(c)));
    }
  }

  // a null slot of the source vertex array is not carried over
  int kept = 0;
  for (int i = 0; i < nv; i++)
    if (CVertex3d* v = GetVertex(i)) m_ArrayVertex[kept++] = v;
  if (kept == 0)
    m_ArrayVertex.RemoveAll();
  else
    m_ArrayVertex.Truncate(kept);

  m_Transform.Copy(source->m_Transform);
  SetModified();
}

// An element that brings undo records along makes the mesh's history state
// unknown again; a new element's slot is noted.
int CMesh3d::AddVertex(CVertex3d* v) {
  if (v && v->GetHistory()) m_HistoryFreeAt = 0;
  int i = m_ArrayVertex.Add(v);
  meshslots::NoteAdded(v, i, m_VertexSlots);
  return i;
}

int CMesh3d::AddFace(CFace3d* f) {
  if (f && f->GetHistory()) m_HistoryFreeAt = 0;
  int i = m_ArrayFace.Add(f);
  meshslots::NoteAdded(f, i, m_FaceSlots);
  return i;
}

void CMesh3d::SetFaceCount(int n) {
  if (n < 0) n = 0;
  int nf = NbFace();
  if (n >= nf) return;
  DropHistory();

  // forget the faces to delete wherever they are named (corner lists,
  // neighbours, edges), so nothing dangles even if the adjacency cannot be
  // rebuilt
  std::unordered_set<const CFace3d*> removed(m_ArrayFace.begin() + n, m_ArrayFace.end());
  removed.erase(nullptr);
  for (CVertex3d* v : m_ArrayVertex) {
    if (!v) continue;
    auto& faces = v->m_ArrayFaceNeighbor;
    int kept = 0;
    for (CFace3d* f : faces)
      if (!removed.count(f)) faces[kept++] = f;
    faces.Truncate(kept);
  }
  for (int i = 0; i < n; i++) {
    CFace3d* f = GetFace(i);
    if (!f) continue;
    for (int k = 0; k < 3; k++)
      if (removed.count(f->f(k))) f->SetNeighbor(k, nullptr);
  }
  for (CEdge3d* e : m_ArrayEdge) {
    if (!e) continue;
    if (removed.count(e->m_pFace1)) e->m_pFace1 = nullptr;
    if (removed.count(e->m_pFace2)) e->m_pFace2 = nullptr;
  }

  // delete the tail and rebuild the adjacency of what remains
  for (int i = n; i < nf; i++)
    if (CFace3d* f = GetFace(i)) {
      ForgetId(f);
      delete f;
    }
  if (n == 0)
    m_ArrayFace.RemoveAll();
  else
    m_ArrayFace.Truncate(n);
  Rebuild();
  SetModified();
}

void CMesh3d::SetTextureCoordinates(const float* uv, int nbPairs, const int* indices, int nbFaces) {
  FreeTextureCoordinates();
  if (uv && nbPairs > 0) {
    m_pTextureCoordinate = new float[2 * static_cast<size_t>(nbPairs)];
    std::memcpy(m_pTextureCoordinate, uv, sizeof(float) * 2 * static_cast<size_t>(nbPairs));
    m_NbTextureCoordinate = nbPairs;
  }
  if (indices && nbFaces > 0) {
    m_pTextureCoordinateIndex = new int[3 * static_cast<size_t>(nbFaces)];
    std::memcpy(m_pTextureCoordinateIndex, indices, sizeof(int) * 3 * static_cast<size_t>(nbFaces));
    m_NbTextureCoordinateIndex = nbFaces;
  }
  SetModified();
}

void CMesh3d::FreeTextureCoordinates() {
  delete[] m_pTextureCoordinate;
  m_pTextureCoordinate = nullptr;
  m_NbTextureCoordinate = 0;
  delete[] m_pTextureCoordinateIndex;
  m_pTextureCoordinateIndex = nullptr;
  m_NbTextureCoordinateIndex = 0;
}

int CMesh3d::AllocateGrid(int nx, int ny, int nz) {
  FreeGrid();
  if (nx <= 0 || ny <= 0 || nz <= 0) return 0;
  m_pGrid = new float**[nx];
  for (int i = 0; i < nx; i++) {
    m_pGrid[i] = new float*[ny];
    for (int j = 0; j < ny; j++) m_pGrid[i][j] = new float[nz]();
  }
  m_nx = nx;
  m_ny = ny;
  m_nz = nz;
  SetModified();
  return 1;
}

void CMesh3d::FreeGrid() {
  if (m_pGrid) {
    for (int i = 0; i < m_nx; i++) {
      for (int j = 0; j < m_ny; j++) delete[] m_pGrid[i][j];
      delete[] m_pGrid[i];
    }
    delete[] m_pGrid;
  }
  m_pGrid = nullptr;
  m_nx = m_ny = m_nz = 0;
}

void CMesh3d::SetColor(unsigned char r, unsigned char g, unsigned char b) {
  m_Color.Set(r, g, b);
  SetModified();
}

void CMesh3d::SetNormalBinding(int binding) {
  m_NormalBinding = binding;
  SetModified();
}

void CMesh3d::SetColorBinding(int binding) {
  m_ColorBinding = binding;
  SetModified();
}

void CMesh3d::SetFaceColors(const CColor& color) {
  for (CFace3d* f : m_ArrayFace)
    if (f) f->m_Color.Copy(color);
  SetModified();
}

void CMesh3d::SetVertexColors(const CColor& color) {
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->m_Color.Copy(color);
  SetModified();
}
