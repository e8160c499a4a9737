// A Loop step gives the same mesh wherever its elements land in memory:
// after elements were created and deleted in a scrambled order, so that new
// vertices and faces reuse freed blocks in no particular order.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <unordered_map>
#include <vector>

#include "processing/LoopSubdivision.h"
#include "tests/processing/SubdivisionChecks.h"
#include "tests/support/TestMeshes.h"

using subdivisionchecks::MeshPtr;

namespace {

// Everything a step fixes, by indices: positions and flags of the vertices,
// their one-rings and face lists, the corners and neighbours of the faces.
struct CMeshRecord {
  std::vector<double> positions;
  std::vector<int> links;
  bool operator==(const CMeshRecord& o) const {
    return positions == o.positions && links == o.links;
  }
};

CMeshRecord Record(const CMesh3d& mesh) {
  std::unordered_map<const void*, int> index;
  for (int i = 0; i < mesh.NbVertex(); i++) index[mesh.GetVertex(i)] = i;
  for (int i = 0; i < mesh.NbFace(); i++) index[mesh.GetFace(i)] = i;
  auto at = [&](const void* p) { return p ? index.at(p) : -1; };
  CMeshRecord r;
  for (int i = 0; i < mesh.NbVertex(); i++) {
    const CVertex3d* v = mesh.GetVertex(i);
    r.positions.insert(r.positions.end(), {v->x, v->y, v->z, v->m_Normal.x, v->m_Normal.y});
    r.links.push_back(v->m_Flag);
    r.links.push_back(v->NbNeighbor());
    for (const CVertex3d* n : v->m_ArrayVertexNeighbor) r.links.push_back(at(n));
    r.links.push_back(v->NbFace());
    for (const CFace3d* f : v->m_ArrayFaceNeighbor) r.links.push_back(at(f));
  }
  for (int i = 0; i < mesh.NbFace(); i++) {
    const CFace3d* f = mesh.GetFace(i);
    for (int k = 0; k < 3; k++) r.links.insert(r.links.end(), {at(f->v(k)), at(f->f(k))});
    r.positions.push_back(f->m_Normal.z);
  }
  return r;
}

// Creates elements and deletes them in random order, leaving the freed
// blocks scattered.
void ScrambleFreedElements(unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::unique_ptr<CVertex3d>> vertices;
  std::vector<std::unique_ptr<CFace3d>> faces;
  for (int i = 0; i < 5000; i++) {
    vertices.emplace_back(new CVertex3d(i, i, i));
    vertices.back()->m_ArrayFaceNeighbor.SetSize(1 + i % 11);
    faces.emplace_back(new CFace3d());
  }
  std::shuffle(vertices.begin(), vertices.end(), random);
  std::shuffle(faces.begin(), faces.end(), random);
  while (!vertices.empty()) {
    vertices.pop_back();
    faces.pop_back();
  }
}

CMeshRecord TwoLoopSteps(CMesh3d* mesh) {
  MeshPtr owned(mesh);
  SubdivisionLoop(owned.get());
  SubdivisionLoop(owned.get());
  return Record(*owned);
}

} // namespace

TEST(LoopAllocation, SameMeshWhateverBlocksTheElementsReuse) {
  CMeshRecord closed = TwoLoopSteps(testmeshes::MakeTorus(9, 7));
  CMeshRecord open = TwoLoopSteps(testmeshes::MakeGridWithHoles(8, 8, 2));
  for (unsigned seed : {1u, 2u}) {
    ScrambleFreedElements(seed);
    EXPECT_EQ(TwoLoopSteps(testmeshes::MakeTorus(9, 7)), closed);
    ScrambleFreedElements(seed + 10);
    EXPECT_EQ(TwoLoopSteps(testmeshes::MakeGridWithHoles(8, 8, 2)), open);
  }
}
