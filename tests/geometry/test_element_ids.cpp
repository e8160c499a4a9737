// Stable ids of vertices and faces: they resolve to their element through
// compactions, copies and swaps, and to null once the element is gone.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "geometry/Mesh3d.h"
#include "tests/support/TestMeshes.h"

namespace {

struct CIdsOf {
  std::vector<std::uint32_t> vertices, faces;
};

CIdsOf GiveIds(CMesh3d& mesh) {
  CIdsOf ids;
  for (CVertex3d* v : mesh.m_ArrayVertex) ids.vertices.push_back(mesh.VertexId(v));
  for (CFace3d* f : mesh.m_ArrayFace) ids.faces.push_back(mesh.FaceId(f));
  return ids;
}

} // namespace

// Each removal path leaves the survivors' ids resolving to them and the
// removed elements' ids resolving to null, after the arrays are compacted.
TEST(ElementIds, SurviveCompactionAndDieWithTheirElement) {
  struct Case {
    const char* name;
    std::function<void(CMesh3d&)> remove;
  };
  const std::vector<Case> cases = {
      {"single faces",
       [](CMesh3d& m) {
         for (int i : {40, 7, 3}) m.RemoveFace(m.GetFace(i));
       }},
      {"single vertex", [](CMesh3d& m) { m.RemoveVertex(m.GetVertex(12)); }},
      {"faces by flag",
       [](CMesh3d& m) {
         m.SetFlagOnFaces(0);
         for (int i = 0; i < m.NbFace(); i += 5) m.GetFace(i)->m_Flag = 1;
         m.DeleteFacesWithFlag(1);
       }},
      {"faces around a vertex, then unused vertices",
       [](CMesh3d& m) {
         m.DeleteFacesWithVertex(m.GetVertex(20));
         m.RemoveUnusedVertices();
       }},
      {"edge collapse",
       [](CMesh3d& m) {
         CVertex3d* p = m.GetVertex(24);
         m.CollapseEdge(p, p->GetNeighbor(0), p->Position(), nullptr, 1);
       }},
  };
  for (const Case& c : cases) {
    std::unique_ptr<CMesh3d> mesh(testmeshes::MakeGrid(8, 8));
    CIdsOf ids = GiveIds(*mesh);
    std::vector<CVertex3d*> vertices(mesh->m_ArrayVertex.begin(), mesh->m_ArrayVertex.end());
    std::vector<CFace3d*> faces(mesh->m_ArrayFace.begin(), mesh->m_ArrayFace.end());
    c.remove(*mesh);
    mesh->SettleRemovals();
    int gone = 0;
    for (size_t i = 0; i < faces.size(); i++) {
      CFace3d* found = mesh->FaceFromId(ids.faces[i]);
      if (found)
        EXPECT_EQ(found, faces[i]) << c.name;
      else
        gone++;
    }
    for (size_t i = 0; i < vertices.size(); i++) {
      CVertex3d* found = mesh->VertexFromId(ids.vertices[i]);
      EXPECT_TRUE(!found || found == vertices[i]) << c.name;
    }
    EXPECT_EQ(gone, int(faces.size()) - mesh->NbFace()) << c.name;
    // every survivor is still found, whatever its new slot
    for (CFace3d* f : mesh->m_ArrayFace) EXPECT_EQ(mesh->FaceFromId(f->GetId()), f) << c.name;
    for (CVertex3d* v : mesh->m_ArrayVertex) EXPECT_EQ(mesh->VertexFromId(v->GetId()), v) << c.name;
  }
}

TEST(ElementIds, AreNeverReusedAndUnknownIdsResolveToNull) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeGrid(4, 4));
  std::uint32_t first = mesh->FaceId(mesh->GetFace(0));
  EXPECT_EQ(mesh->FaceId(mesh->GetFace(0)), first); // asked again: the same id
  mesh->RemoveFace(mesh->GetFace(0));
  EXPECT_GT(mesh->FaceId(mesh->GetFace(0)), first);
  EXPECT_EQ(mesh->FaceFromId(first), nullptr);
  EXPECT_EQ(mesh->FaceFromId(0), nullptr);
  EXPECT_EQ(mesh->FaceFromId(9999), nullptr);
  EXPECT_EQ(mesh->VertexId(nullptr), 0u);
  // an element deleted behind the mesh's back (array written directly)
  CFace3d* last = mesh->GetFace(mesh->NbFace() - 1);
  std::uint32_t id = mesh->FaceId(last);
  mesh->m_ArrayFace.RemoveAt(mesh->NbFace() - 1);
  delete last;
  EXPECT_EQ(mesh->FaceFromId(id), nullptr);
}

// Copies keep the ids under the same numbers; swaps carry them along.
TEST(ElementIds, FollowCloneAndSwap) {
  std::unique_ptr<CMesh3d> mesh(testmeshes::MakeTorus(6, 5));
  CIdsOf ids = GiveIds(*mesh);
  std::unique_ptr<CMesh3d> clone(mesh->Clone());
  for (size_t i = 0; i < ids.faces.size(); i++)
    EXPECT_EQ(clone->FaceFromId(ids.faces[i]), clone->GetFace(int(i)));
  for (size_t i = 0; i < ids.vertices.size(); i++)
    EXPECT_EQ(clone->VertexFromId(ids.vertices[i]), clone->GetVertex(int(i)));
  CFace3d* original = mesh->GetFace(3);
  CMesh3d other;
  other.Swap(*mesh);
  EXPECT_EQ(other.FaceFromId(ids.faces[3]), original);
  EXPECT_EQ(mesh->FaceFromId(ids.faces[3]), nullptr);
}
