// Surface tiling: the explicit-stack growth against a recursive reference,
// the structure every tiling must have, the polygon split and generated
// meshes, node relaxation and the two menu commands.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "geometry/SceneGraph3d.h"
#include "geometry/TilingMesh3d.h"
#include "processing/Tiling.h"
#include "processing/TilingCommands.h"
#include "tests/support/TestMeshes.h"
#include "tests/support/TilingReference.h"

namespace {

using MeshMaker = std::function<CMesh3d*()>;

struct NamedMesh {
  const char* name;
  MeshMaker make;
};

const NamedMesh kMeshes[] = {
    {"tetrahedron",
     [] {
       auto* m = new CMesh3d;
       m->MakeTetrahedron();
       m->Rebuild();
       return m;
     }},
    {"icosphere", [] { return testmeshes::MakeIcoSphere(3); }},
    {"torus", [] { return testmeshes::MakeTorus(24, 12); }},
    {"grid", [] { return testmeshes::MakeGrid(12, 9); }},
    {"grid with holes", [] { return testmeshes::MakeGridWithHoles(10, 10, 3); }},
};

std::unique_ptr<CTilingMesh3d> TilingOf(const CMesh3d* mesh) {
  auto tiling = std::make_unique<CTilingMesh3d>();
  tiling->Copy(mesh);
  tiling->Rebuild();
  return tiling;
}

std::vector<int> SortedIndices(const CTilePolygon3d& polygon) {
  std::vector<int> key;
  for (const CTile3d* t : polygon.m_ArrayTile) key.push_back(t->m_Index);
  std::sort(key.begin(), key.end());
  return key;
}

// What every grown tiling must hold, whatever the mesh.
void ExpectSoundTiling(const CTilingMesh3d& tiling) {
  for (int i = 0; i < tiling.NbTile(); i++) {
    const CTile3d* tile = tiling.GetTile(i);
    ASSERT_EQ(tile->m_Index, i);
    EXPECT_NE(tile->m_pVertex == nullptr, tile->m_pFace == nullptr) << "one kind per tile";
    if (tile->m_pVertex) {
      EXPECT_EQ(tile->m_pVertex->m_Flag, 1);
      for (int j = 0; j < tile->m_pVertex->NbFace(); j++)
        EXPECT_EQ(tile->m_pVertex->GetFace(j)->m_Flag, 1);
    } else {
      EXPECT_EQ(tile->m_pFace->NbCornerWithFlag(2), 3) << "face tile between borders";
    }
    for (const CTile3d* n : tile->m_ArrayNeighbor) {
      EXPECT_NE(n, tile);
      EXPECT_TRUE(n->HasNeighbor(tile)) << "links go both ways";
      EXPECT_EQ(std::count(tile->m_ArrayNeighbor.begin(), tile->m_ArrayNeighbor.end(), n), 1);
    }
  }
  for (int f = 0; f < tiling.NbFace(); f++)
    EXPECT_EQ(tiling.GetFace(f)->m_Flag == 1, tiling.TileOfFace(f) != nullptr);
  std::set<std::vector<int>> seen;
  for (const auto& polygon : tiling.m_ArrayPolygon) {
    EXPECT_GE(polygon->NbTile(), 3);
    EXPECT_EQ(polygon->m_Closed, 1);
    EXPECT_TRUE(seen.insert(SortedIndices(*polygon)).second) << "a polygon is stored once";
  }
}

} // namespace

TEST(Tiling, ExplicitStackGrowsInTheRecursiveOrder) {
  for (const NamedMesh& m : kMeshes) {
    std::unique_ptr<CMesh3d> source(m.make());
    for (int seed : {0, 1, source->NbVertex() / 2, source->NbVertex() - 1}) {
      SCOPED_TRACE(std::string(m.name) + " seed " + std::to_string(seed));
      std::unique_ptr<CTilingMesh3d> tiling = TilingOf(source.get());
      Tile(tiling.get(), seed, 0, source.get());
      std::unique_ptr<CMesh3d> copy(source->Clone());
      std::vector<CReferenceTile> expected = ReferenceTileGrowth(copy.get(), seed);
      ASSERT_EQ(tiling->NbTile(), static_cast<int>(expected.size()));
      for (int i = 0; i < tiling->NbTile(); i++) {
        const CTile3d* t = tiling->GetTile(i);
        const bool isFace = t->IsFaceTile();
        const CObject3d* element = isFace ? static_cast<CObject3d*>(t->m_pFace) : t->m_pVertex;
        const CObject3d* want =
            expected[size_t(i)].isFace
                ? static_cast<CObject3d*>(tiling->GetFace(expected[size_t(i)].index))
                : tiling->GetVertex(expected[size_t(i)].index);
        ASSERT_EQ(isFace, expected[size_t(i)].isFace) << "tile " << i;
        ASSERT_EQ(element, want) << "tile " << i;
      }
      for (int v = 0; v < copy->NbVertex(); v++)
        ASSERT_EQ(tiling->GetVertex(v)->m_Flag, copy->GetVertex(v)->m_Flag) << "vertex " << v;
      ExpectSoundTiling(*tiling);
    }
  }
}

TEST(Tiling, ClosedSurfacesAreCoveredAndSplitIntoTriangles) {
  // on closed surfaces every face is covered; split leaves only triangles
  // whose generated faces keep the source's orientation
  for (const NamedMesh& m : kMeshes) {
    std::unique_ptr<CMesh3d> source(m.make());
    std::unique_ptr<CTilingMesh3d> tiling = TilingOf(source.get());
    const int polygons = Tile(tiling.get(), 1, 1, source.get());
    SCOPED_TRACE(m.name);
    ExpectSoundTiling(*tiling);
    EXPECT_EQ(polygons, tiling->NbPolygon());
    if (tiling->NbTile() > 2) EXPECT_GT(polygons, 0);
    for (const auto& polygon : tiling->m_ArrayPolygon) EXPECT_EQ(polygon->NbTile(), 3);
    if (!source->HasBoundary()) EXPECT_EQ(tiling->NbFaceWithFlag(1), tiling->NbFace());

    // orientation: each generated face turns like the source around the
    // tiles it joins
    std::unique_ptr<CMesh3d> generated(GenerateMesh(tiling.get()));
    ASSERT_EQ(generated->NbVertex(), tiling->NbTile());
    ASSERT_EQ(generated->NbFace(), polygons);
    for (int f = 0; f < polygons; f++) {
      const CTilePolygon3d& polygon = *tiling->m_ArrayPolygon[size_t(f)];
      CVector3d around(0, 0, 0);
      for (int c = 0; c < 3; c++) {
        const CTile3d* t = polygon.m_ArrayTile[size_t(c)];
        EXPECT_EQ(generated->GetFace(f)->v(c), generated->GetVertex(t->m_Index));
        around += t->m_pFace ? t->m_pFace->m_Normal : t->m_pVertex->m_Normal;
      }
      EXPECT_GT(generated->GetFace(f)->m_Normal * around, 0.0) << "face " << f;
    }
  }
}
