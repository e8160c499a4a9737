// Surface tiling: the explicit-stack growth against a recursive reference,
// the structure every tiling must have, the polygon split and generated
// meshes, node relaxation and the two menu commands.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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
        const void* element =
            isFace ? static_cast<const void*>(t->m_pFace) : static_cast<const void*>(t->m_pVertex);
        const void* want =
            expected[size_t(i)].isFace
                ? static_cast<const void*>(tiling->GetFace(expected[size_t(i)].index))
                : static_cast<const void*>(tiling->GetVertex(expected[size_t(i)].index));
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
    EXPECT_GT(polygons, 0);
    for (const auto& polygon : tiling->m_ArrayPolygon) EXPECT_EQ(polygon->NbTile(), 3);
    if (!source->HasBoundary()) {
      EXPECT_EQ(tiling->NbFaceWithFlag(1), tiling->NbFace());
    }

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

TEST(Tiling, EdgeCases) {
  std::unique_ptr<CMesh3d> sphere(testmeshes::MakeIcoSphere(2));
  // a seed outside the vertices grows nothing
  for (int seed : {-1, sphere->NbVertex(), 1 << 30}) {
    std::unique_ptr<CTilingMesh3d> tiling = TilingOf(sphere.get());
    EXPECT_EQ(Tile(tiling.get(), seed, 1, sphere.get()), 0);
    EXPECT_EQ(tiling->NbTile(), 0);
    EXPECT_EQ(tiling->NbFaceWithFlag(1), 0);
  }

  // the first tile is the seed's, and its faces on the source take the
  // first colour of the palette
  std::unique_ptr<CTilingMesh3d> tiling = TilingOf(sphere.get());
  Tile(tiling.get(), 0, 0, sphere.get());
  EXPECT_EQ(tiling->GetTile(0)->m_pVertex, tiling->GetVertex(0));
  for (int j = 0; j < sphere->GetVertex(0)->NbFace(); j++)
    EXPECT_EQ(sphere->GetVertex(0)->GetFace(j)->m_Color.r, 40);
}

TEST(Tiling, SplitTakesTheBestFanAndGenerateFillsLargerPolygons) {
  // four tiles at the corners of a quadrilateral: a rhombus long along x
  // prefers the short diagonal (t1, t3); a square ties and keeps fan 0
  struct Case {
    float corners[4][2];
    int fan;
  };
  const Case cases[] = {
      {{{-2, 0}, {0, -1}, {2, 0}, {0, 1}}, 1},
      {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 0},
  };
  for (const Case& c : cases) {
    CTilingMesh3d tiling;
    auto polygon = std::make_unique<CTilePolygon3d>();
    for (const auto& p : c.corners) {
      CTile3d* t = tiling.AddTile(nullptr, nullptr);
      t->SetPosition(CVector3d(p[0], p[1], 0.0));
      polygon->m_ArrayTile.push_back(t);
    }
    tiling.m_ArrayPolygon.push_back(std::move(polygon));
    EXPECT_EQ(BestFan(tiling.m_ArrayPolygon[0]->m_ArrayTile), c.fan);

    // unsplit, the generated mesh still gets the fan's two faces
    std::unique_ptr<CMesh3d> generated(GenerateMesh(&tiling));
    ASSERT_EQ(generated->NbFace(), 2);
    EXPECT_EQ(generated->GetFace(0)->v(0), generated->GetVertex(c.fan));

    SplitTilePolygons(&tiling);
    ASSERT_EQ(tiling.NbPolygon(), 2);
    for (int k = 0; k < 2; k++) {
      int corners[3];
      FanTriangle(4, c.fan, k, corners);
      for (int i = 0; i < 3; i++) {
        const CTile3d* t = tiling.m_ArrayPolygon[size_t(k)]->m_ArrayTile[size_t(i)];
        EXPECT_EQ(t->m_Index, corners[i]);
        EXPECT_TRUE(
            t->HasNeighbor(tiling.m_ArrayPolygon[size_t(k)]->m_ArrayTile[size_t((i + 1) % 3)]));
      }
    }
  }
}

TEST(Tiling, OptimizeNodesMovesOnlyFaceTilesOntoTheirFaces) {
  std::unique_ptr<CMesh3d> torus(testmeshes::MakeTorus(20, 10));
  std::unique_ptr<CTilingMesh3d> tiling = TilingOf(torus.get());
  Tile(tiling.get(), 3, 1, torus.get());
  std::vector<CVector3d> before;
  for (const auto& t : tiling->m_ArrayTile) before.push_back(t->Position());
  int repaints = 0, moved = 0;
  OptimizeNodes(tiling.get(), 20, [&repaints] { repaints++; });
  EXPECT_EQ(repaints, 21);
  for (const auto& t : tiling->m_ArrayTile) {
    const double shift = (t->Position() - before[size_t(t->m_Index)]).Length();
    CVector3d closest;
    if (!t->IsFaceTile())
      EXPECT_EQ(shift, 0.0);
    else
      EXPECT_LT(PointTriangleDistance(t->Position(), t->m_pFace, closest), 1e-10);
    moved += shift > 1e-6;
  }
  EXPECT_GT(moved, 0);
}

TEST(Tiling, CloneKeepsTilesPolygonsAndLinks) {
  std::unique_ptr<CMesh3d> grid(testmeshes::MakeGrid(8, 8));
  std::unique_ptr<CTilingMesh3d> tiling = TilingOf(grid.get());
  Tile(tiling.get(), 5, 0, grid.get());
  std::unique_ptr<CTilingMesh3d> clone(tiling->Clone());
  EXPECT_EQ(clone->GetType(), TYPE_TILING_MESH3D);
  ASSERT_EQ(clone->NbTile(), tiling->NbTile());
  EXPECT_EQ(clone->NbPolygon(), tiling->NbPolygon());
  for (int i = 0; i < tiling->NbTile(); i++)
    EXPECT_EQ(clone->GetTile(i)->m_ArrayNeighbor.size(),
              tiling->GetTile(i)->m_ArrayNeighbor.size());
  ExpectSoundTiling(*clone); // the clone's tiles name the clone's own elements
}

TEST(Tiling, LongStripGrowsWithoutRecursion) {
  // a strip one quad wide: each vertex tile opens the next one, so the
  // growth nests as deep as the strip is long
  std::unique_ptr<CMesh3d> strip(testmeshes::MakeGrid(300000, 1));
  std::unique_ptr<CTilingMesh3d> tiling = TilingOf(strip.get());
  Tile(tiling.get(), 0, 1, strip.get());
  EXPECT_GE(tiling->NbTile(), 200000);
  EXPECT_EQ(tiling->NbFaceWithFlag(1), tiling->NbFace());
}

TEST(TilingCommands, BuildAndOptimizeOnAScene) {
  struct Case {
    const char* name;
    CTilingParams params;
    int objects;        // in the scene afterwards (an icosphere of 42 vertices first)
    int reportLines;    // -1: no report
    const char* status; // start of the status text
  };
  auto with = [](std::function<void(CTilingParams&)> set) {
    CTilingParams p;
    set(p);
    return p;
  };
  const Case cases[] = {
      {"default", CTilingParams(), 2, -1, ""},
      {"generate", with([](CTilingParams& p) { p.GenerateMesh = 1; }), 4, -1, ""},
      {"three levels", with([](CTilingParams& p) { p.GenerateMesh = p.Recursive = 1; }), 8, -1, ""},
      {"bad level seed",
       with([](CTilingParams& p) { p.GenerateMesh = p.Recursive = 1, p.VertexSeed = 1000; }), 3, -1,
       "Vertex seed 1000 is outside"},
      {"multi-mesh", with([](CTilingParams& p) { p.MultiMesh = 1, p.First = 2, p.Last = 7; }), 6, 5,
       ""},
      {"multi-mesh empty", with([](CTilingParams& p) { p.MultiMesh = 1, p.First = p.Last = 4; }), 1,
       0, ""},
      {"multi-mesh past the vertices",
       with([](CTilingParams& p) { p.MultiMesh = p.RetainMin = 1, p.First = 30, p.Last = 99; }), 2,
       12, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSceneGraph3d scene;
    scene.Add(testmeshes::MakeIcoSphere(1));
    CTilingReport report;
    CSubdivisionOutcome outcome = CommandTilingBuild(&scene, c.params, report);
    EXPECT_TRUE(outcome.message.empty()) << outcome.message;
    EXPECT_EQ(outcome.status.rfind(c.status, 0), 0u) << outcome.status;
    EXPECT_EQ(scene.NbObject(), c.objects);
    EXPECT_EQ(report.hasReport, c.reportLines >= 0);
    if (c.reportLines >= 0) {
      EXPECT_EQ(std::count(report.text.begin(), report.text.end(), '\n'), c.reportLines);
    }
    if (c.params.MultiMesh && c.params.RetainMin) {
      // the tiling kept has the fewest polygons of the report
      int least = 1 << 30, seed = 0, count = 0;
      for (const char* p = report.text.c_str(); std::sscanf(p, "%d\t%d", &seed, &count) == 2;
           p = std::strchr(p, '\n') + 1)
        least = std::min(least, count);
      EXPECT_EQ(static_cast<CTilingMesh3d*>(scene.GetAt(1))->NbPolygon(), least);
    }
    for (int i = 1; i < scene.NbObject(); i++)
      EXPECT_EQ(scene.GetAt(i)->GetType(),
                i % 2 || c.params.MultiMesh ? TYPE_TILING_MESH3D : TYPE_MESH3D);
    if (scene.NbObject() > 1 && !c.params.MultiMesh) {
      EXPECT_EQ(CommandTilingOptimize(&scene, nullptr).changed, 1);
    }
  }

  // without a mesh first, or without a tiling second, nothing is done
  CSceneGraph3d empty;
  CTilingReport report;
  EXPECT_EQ(CommandTilingBuild(&empty, CTilingParams(), report).message,
            "Sorry, no mesh in scenegraph");
  empty.Add(testmeshes::MakeGrid(2, 2));
  EXPECT_EQ(CommandTilingOptimize(&empty, nullptr).message, kNotATilingText);
}
