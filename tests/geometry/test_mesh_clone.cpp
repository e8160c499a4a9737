// Clone, Swap and moves of meshes and scenes: every attribute carried, every
// link of a clone pointing into the clone.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VectorSet3d.h"
#include "tests/support/TestMeshes.h"

namespace {

using MeshPtr = std::unique_ptr<CMesh3d>;

// Index of every element of a mesh by address ("v3", "d0" for a detached
// vertex, "f7", "e2"), so that links can be compared between meshes.
class CNames {
public:
  explicit CNames(const CMesh3d& m) {
    for (int i = 0; i < m.NbVertex(); i++) m_Name.emplace(m.GetVertex(i), "v" + std::to_string(i));
    for (int i = 0; i < m.m_ArrayDetachedVertex.GetSize(); i++)
      m_Name.emplace(m.m_ArrayDetachedVertex[i], "d" + std::to_string(i));
    for (int i = 0; i < m.NbFace(); i++) m_Name.emplace(m.GetFace(i), "f" + std::to_string(i));
    for (int i = 0; i < m.NbEdge(); i++) m_Name.emplace(m.GetEdge(i), "e" + std::to_string(i));
  }
  std::string operator()(const void* p) const {
    if (!p) return "-";
    auto it = m_Name.find(p);
    return it == m_Name.end() ? "foreign" : it->second;
  }

private:
  std::map<const void*, std::string> m_Name;
};

std::string Vec(const CVector3d& v) {
  std::ostringstream out;
  out << v.x << "," << v.y << "," << v.z;
  return out.str();
}

std::string Col(const CColor& c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + "," +
         std::to_string(c.a);
}

template <class T, int N> std::string List(const CArray3d<T, N>& a, const CNames& name) {
  std::string s;
  for (const T* p : a) s += name(p) + " ";
  return s;
}

std::string DescribeVertex(const CVertex3d* v, const CNames& name) {
  std::ostringstream out;
  out << v->x << "," << v->y << "," << v->z << " s " << Vec(v->SavedPosition()) << " n "
      << Vec(v->m_Normal) << " c " << Col(v->m_Color) << " flag " << v->m_Flag << " counter "
      << v->GetCounter() << " tags " << v->GetTagA() << "," << v->GetTagB() << "," << v->GetTagD()
      << " target " << name(v->GetTarget()) << " ring " << List(v->m_ArrayVertexNeighbor, name)
      << " faces " << List(v->m_ArrayFaceNeighbor, name) << " edges " << List(v->EdgeList(), name);
  return out.str();
}

// Every attribute of the mesh and of its elements, links by element name.
std::vector<std::string> Describe(const CMesh3d& m) {
  CNames name(m);
  std::vector<std::string> lines;
  std::ostringstream mesh;
  const CTransform& t = m.m_Transform;
  mesh << m.m_Name << " c " << Col(m.m_Color) << " t " << Vec(t.m_Scale) << " "
       << Vec(t.m_RotationAxis) << " " << Vec(t.m_Translation) << " " << t.m_RotationAngle
       << " bind " << m.m_NormalBinding << m.m_ColorBinding << m.m_UseMeshColor
       << m.m_PositionsSwapped << m.m_DisplayListMode << " tex " << m.m_IndexTexture << " show "
       << int(m.m_Show) << m.m_ShowGrid << " grid " << m.m_nx << m.m_ny << m.m_nz << " mat";
  const CMaterial& a = m.m_Material;
  for (int k = 0; k < 4; k++)
    mesh << " " << a.m_Ambient[k] << " " << a.m_Diffuse[k] << " " << a.m_Specular[k] << " "
         << a.m_Emission[k];
  mesh << " " << a.m_Shininess << " uv";
  for (int i = 0; i < 2 * m.m_NbTextureCoordinate; i++) mesh << " " << m.m_pTextureCoordinate[i];
  mesh << " uvi";
  for (int i = 0; i < 3 * m.m_NbTextureCoordinateIndex; i++)
    mesh << " " << m.m_pTextureCoordinateIndex[i];
  mesh << " cells";
  for (int i = 0; i < m.m_nx; i++)
    for (int j = 0; j < m.m_ny; j++)
      for (int k = 0; k < m.m_nz; k++) mesh << " " << m.m_pGrid[i][j][k];
  lines.push_back(mesh.str());
  for (const CVertex3d* v : m.m_ArrayVertex) lines.push_back(DescribeVertex(v, name));
  for (const CVertex3d* v : m.m_ArrayDetachedVertex) lines.push_back(DescribeVertex(v, name));
  for (const CFace3d* f : m.m_ArrayFace) {
    std::ostringstream out;
    out << name(f) << " corners";
    for (int k = 0; k < 3; k++) out << " " << name(f->m_pVertex[k]);
    out << " nb " << name(f->f(0)) << " " << name(f->f(1)) << " " << name(f->f(2)) << " n "
        << Vec(f->m_Normal) << " aux " << Vec(f->GetAux()) << " c " << Col(f->m_Color) << " flag "
        << f->m_Flag << " tag " << f->GetTag();
    lines.push_back(out.str());
  }
  for (const CEdge3d* e : m.m_ArrayEdge)
    lines.push_back(name(e) + " " + name(e->v1()) + " " + name(e->v2()) + " " + name(e->m_pFace1) +
                    " " + name(e->m_pFace2) + " " + std::to_string(e->m_Tag));
  return lines;
}

// A torus with every attribute set to distinct values, edges, a detached
// vertex, texture coordinates and a grid.
MeshPtr MakeRichMesh() {
  MeshPtr m(testmeshes::MakeTorus(6, 5));
  testmeshes::AddVertex(*m, 7, 7, 7);
  m->RemoveIsolatedVertices(); // the lone vertex becomes detached
  m->BuildEdges(3);
  m->GetEdge(2)->m_pFace1 = m->GetFace(4);
  m->GetEdge(2)->m_pFace2 = m->GetFace(5);
  for (int i = 0; i < m->NbVertex(); i++) {
    CVertex3d* v = m->GetVertex(i);
    v->SetSavedPosition(i + 0.5, -i, 2 * i);
    v->m_Color = CColor(i, 2 * i, 3 * i, 4 * i);
    v->m_Flag = i + 1;
    v->SetCounter(3 * i);
    v->SetTagA(i % 3);
    v->SetTagB(i % 5);
    v->SetTagD(i % 7);
    v->SetTarget(m->GetVertex((i + 4) % m->NbVertex()));
  }
  for (int i = 0; i < m->NbFace(); i++) {
    CFace3d* f = m->GetFace(i);
    f->SetAux(CVector3d(i, 1, -i));
    f->m_Color = CColor(i, 255 - i, 7, 9);
    f->m_Flag = i % 4;
    f->SetTag(i);
  }
  std::vector<float> uv = {0.1f, 0.2f, 0.3f, 0.4f};
  std::vector<int> index(static_cast<size_t>(3 * m->NbFace()), 1);
  index[7] = 0;
  m->SetTextureCoordinates(uv.data(), 2, index.data(), m->NbFace());
  m->AllocateGrid(2, 3, 2);
  m->m_pGrid[1][2][1] = 5.5f;
  m->m_Name = "Rich";
  m->SetColor(1, 2, 3);
  m->m_Transform.SetTranslation(CVector3d(1, 2, 3));
  m->m_Transform.SetValueRotation(30);
  m->m_Material.SetDiffuse(0.9f, 0.8f, 0.7f, 0.6f);
  m->m_Material.SetShininess(12);
  m->SetNormalBinding(0);
  m->SetColorBinding(0);
  m->m_UseMeshColor = 1;
  m->m_PositionsSwapped = 1;
  m->m_DisplayListMode = 1;
  m->m_IndexTexture = 2;
  m->m_Show = 0;
  m->m_ShowGrid = 1;
  return m;
}

} // namespace

TEST(MeshClone, CarriesEveryAttributeAndLinksIntoTheClone) {
  MeshPtr source = MakeRichMesh();
  std::vector<std::string> before = Describe(*source);
  MeshPtr clone(source->Clone());
  // equal descriptions name every link by its place in its own mesh: a link
  // into the source would read "foreign"
  EXPECT_EQ(Describe(*clone), before);
  EXPECT_NE(clone->GetVertex(0), source->GetVertex(0));
  EXPECT_FALSE(clone->m_GlList.IsBuilt());

  // the clone stands alone: editing, then freeing the source leaves it as it was
  source->SetFaceColors(CColor(0, 0, 0));
  source->GetVertex(0)->Set(9, 9, 9);
  source.reset();
  EXPECT_EQ(Describe(*clone), before);
  clone->Rebuild();
  EXPECT_EQ(testmeshes::CountBoundaryEdges(clone.get()), 0);

  CMesh3d empty;
  MeshPtr emptyClone(empty.Clone());
  EXPECT_EQ(Describe(*emptyClone), Describe(empty));
}

TEST(MeshClone, SwapAndMovesExchangeWholeMeshes) {
  MeshPtr a = MakeRichMesh();
  MeshPtr b(testmeshes::MakeGrid(3, 2));
  std::vector<std::string> da = Describe(*a), db = Describe(*b);
  a->Swap(*b);
  EXPECT_EQ(Describe(*a), db);
  EXPECT_EQ(Describe(*b), da);
  // single removals still work after a swap (the slot tables went along)
  EXPECT_EQ(b->RemoveFace(b->GetFace(3)), 1);
  EXPECT_EQ(a->RemoveFace(a->GetFace(3)), 1);
  da = Describe(*b);

  CMesh3d moved(std::move(*b));
  EXPECT_EQ(Describe(moved), da);
  EXPECT_EQ(Describe(*b), Describe(CMesh3d()));
  CMesh3d target;
  target = std::move(moved);
  EXPECT_EQ(Describe(target), da);
  target = std::move(*a);         // the old contents are freed
  EXPECT_EQ(target.NbFace(), 11); // the 3 x 2 grid less one face
}

namespace {

class CTestTexture : public CTextureImage {
public:
  const std::string& GetFileName() const override { return m_Name; }
  unsigned int GetWidth() const override { return 2; }
  unsigned int GetHeight() const override { return 2; }
  unsigned int GetDepth() const override { return 24; }
  int GetRowBytes() const override { return 8; }
  const unsigned char* GetPixels() const override { return m_Pixels; }
  int IsValid() const override { return 1; }
  std::string m_Name = "wood.bmp";
  unsigned char m_Pixels[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
};

// An object kind without a copy.
class CFixedObject : public CObject3d {};

} // namespace

TEST(SceneClone, CopiesObjectsAndTexturesAndSwaps) {
  CSceneGraph3d scene;
  scene.Add(MakeRichMesh().release());
  CVectorSet3d* set = NewFaceNormalSet(static_cast<CMesh3d*>(scene.GetAt(0)));
  set->SetLengthFactor(2.5f);
  scene.Add(set);
  scene.Add(testmeshes::MakeGrid(2, 2));
  scene.AddTexture(new CTestTexture);

  std::unique_ptr<CSceneGraph3d> clone(scene.Clone());
  ASSERT_NE(clone, nullptr);
  ASSERT_EQ(clone->NbObject(), 3);
  for (int i : {0, 2})
    EXPECT_EQ(Describe(*static_cast<CMesh3d*>(clone->GetAt(i))),
              Describe(*static_cast<CMesh3d*>(scene.GetAt(i))));
  auto* setCopy = static_cast<CVectorSet3d*>(clone->GetAt(1));
  ASSERT_EQ(setCopy->GetType(), TYPE_VECTORSET3D);
  EXPECT_NE(setCopy, set);
  EXPECT_EQ(setCopy->m_Name, "NormalSet");
  EXPECT_EQ(setCopy->m_LengthFactor, 2.5f);
  ASSERT_EQ(setCopy->NbVector(), set->NbVector());
  for (int i = 0; i < set->NbVector(); i++) {
    CVector3d s0, s1, c0, c1;
    ASSERT_TRUE(set->GetSegment(i, s0, s1) && setCopy->GetSegment(i, c0, c1));
    EXPECT_EQ(Vec(c0) + Vec(c1), Vec(s0) + Vec(s1));
  }
  const CTextureImage* texture = clone->GetTexture(0);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->GetFileName(), "wood.bmp");
  EXPECT_EQ(texture->GetRowBytes(), 8);
  CTestTexture reference;
  EXPECT_EQ(std::vector<unsigned char>(texture->GetPixels(), texture->GetPixels() + 16),
            std::vector<unsigned char>(reference.m_Pixels, reference.m_Pixels + 16));
  EXPECT_EQ(clone->m_ListDone, 0);

  // swap and move
  CSceneGraph3d other;
  other.Add(testmeshes::MakeGrid(1, 1));
  scene.Swap(other);
  EXPECT_EQ(scene.NbObject(), 1);
  EXPECT_EQ(other.NbObject(), 3);
  CSceneGraph3d moved(std::move(other));
  EXPECT_EQ(moved.NbObject(), 3);
  EXPECT_EQ(other.NbObject(), 0);
  scene = std::move(moved);
  EXPECT_EQ(scene.NbTexture(), 1);

  // a kind of object without a copy: no clone
  scene.Add(new CFixedObject);
  EXPECT_EQ(scene.Clone(), nullptr);
}
