// Wavefront rings, unmeshing and remeshing: rings are breadth-first
// distances, unmeshing keeps the topology and the orientation, remeshing
// counts come out as by hand, and the commands say what they did.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <queue>
#include <string>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "processing/FaceColoring.h"
#include "processing/UnmeshingCommands.h"
#include "processing/Wavefront.h"
#include "tests/support/MeshChecks.h"
#include "tests/support/TestMeshes.h"

using namespace testmeshes;

namespace {

// A test mesh with the direction a face of it must face at a point.
struct Shape {
  const char* name;
  std::function<CMesh3d*()> make;
  std::function<CVector3d(const CVector3d&)> outward;
};

CVector3d FromOrigin(const CVector3d& c) {
  return c;
}

// Away from the tube's centre circle (major radius 1 about the z axis).
CVector3d FromTube(const CVector3d& c) {
  double r = std::sqrt(c.x * c.x + c.y * c.y);
  return CVector3d(c.x - c.x / r, c.y - c.y / r, c.z);
}

CVector3d FacingOf(CMesh3d* mesh) {
  CFace3d* f = mesh->GetFace(0);
  f->CalculateNormal();
  return f->m_Normal;
}

const std::vector<Shape>& Shapes() {
  static const std::vector<Shape> shapes = {
      {"sphere", [] { return MakeIcoSphere(3); }, FromOrigin},
      {"torus", [] { return MakeTorus(40, 24); }, FromTube},
      {"grid", [] { return MakeGrid(24, 18); }, nullptr},
      {"holes", [] { return MakeGridWithHoles(30, 30, 3); }, nullptr},
  };
  return shapes;
}

std::unique_ptr<CMesh3d> Build(const Shape& shape) {
  std::unique_ptr<CMesh3d> mesh(shape.make());
  mesh->Rebuild();
  return mesh;
}

// Breadth-first distances over the edges from the corners of a face.
std::map<const CVertex3d*, int> Distances(const CMesh3d& mesh, int seed) {
  std::map<const CVertex3d*, int> d;
  std::queue<const CVertex3d*> todo;
  for (int k = 0; k < 3; k++) {
    d[mesh.GetFace(seed)->v(k)] = 0;
    todo.push(mesh.GetFace(seed)->v(k));
  }
  while (!todo.empty()) {
    const CVertex3d* v = todo.front();
    todo.pop();
    for (const CVertex3d* n : v->m_ArrayVertexNeighbor)
      if (!d.count(n)) {
        d[n] = d[v] + 1;
        todo.push(n);
      }
  }
  return d;
}

// Connected loops of boundary edges.
int BoundaryLoops(const CMesh3d& mesh) {
  std::map<const CVertex3d*, const CVertex3d*> parent;
  std::function<const CVertex3d*(const CVertex3d*)> root = [&](const CVertex3d* v) {
    while (parent[v] != v) v = parent[v];
    return v;
  };
  for (const CFace3d* f : mesh.m_ArrayFace)
    for (int k = 0; k < 3; k++)
      if (!f->f(k)) {
        const CVertex3d *a = f->v(k), *b = f->v((k + 1) % 3);
        if (!parent.count(a)) parent[a] = a;
        if (!parent.count(b)) parent[b] = b;
        parent[root(a)] = root(b);
      }
  int loops = 0;
  for (auto& entry : parent) loops += entry.first == root(entry.first) ? 1 : 0;
  return loops;
}

// What unmeshing must keep: valid adjacency, Euler characteristic, boundary
// loops, and every face facing the way the surface did.
void ExpectSameSurface(CMesh3d& mesh, int euler, int loops, const Shape& shape,
                       const CVector3d& facing) {
  EXPECT_EQ(mesh.Check(), 1);
  meshchecks::ExpectConsistentAdjacency(mesh);
  EXPECT_EQ(meshchecks::Euler(mesh), euler);
  EXPECT_EQ(BoundaryLoops(mesh), loops);
  int flipped = 0;
  for (CFace3d* f : mesh.m_ArrayFace) {
    f->CalculateNormal();
    CVector3d out = shape.outward ? shape.outward(f->Center()) : facing;
    // a face on a great circle of the sphere stands at right angles to it
    flipped += DotProduct(f->m_Normal, out) < -1e-6 * out.Length() ? 1 : 0;
  }
  EXPECT_EQ(flipped, 0);
}

// The scene of one mesh, the statuses a command showed.
struct SceneRun {
  CSceneGraph3d scene;
  std::vector<std::string> statuses;
  CWavefrontHooks hooks;
  explicit SceneRun(CMesh3d* mesh) {
    mesh->Rebuild();
    scene.Add(mesh);
    hooks.status = [this](const std::string& s) { statuses.push_back(s); };
  }
  CMesh3d* Mesh(int i = 0) { return static_cast<CMesh3d*>(scene.GetAt(i)); }
};

} // namespace

TEST(Wavefront, LayersAreBreadthFirstDistancesFromTheSeedCorners) {
  for (const Shape& shape : Shapes())
    for (int seed : {0, 7, 100}) {
      SCOPED_TRACE(std::string(shape.name) + " seed " + std::to_string(seed));
      auto mesh = Build(shape);
      std::map<const CVertex3d*, int> d = Distances(*mesh, seed);
      int rings = BuildWavefront(mesh.get(), seed);
      int deepest = 0, wrong = 0;
      for (const CVertex3d* v : mesh->m_ArrayVertex) {
        wrong += v->GetTagA() != d.at(v) ? 1 : 0;
        deepest = std::max(deepest, d.at(v));
      }
      EXPECT_EQ(wrong, 0);
      EXPECT_EQ(rings, deepest + 1);
      // a face belongs to the ring after its nearest corner, the seed to 0
      for (int i = 0; i < mesh->NbFace(); i++) {
        const CFace3d* f = mesh->GetFace(i);
        int nearest = std::min({f->v(0)->GetTagA(), f->v(1)->GetTagA(), f->v(2)->GetTagA()});
        EXPECT_EQ(f->GetTag(), i == seed ? 0 : nearest + 1);
      }
      // the ring lists hold every vertex once, in array order
      CRingLists lists = RingLists(mesh.get());
      ASSERT_EQ(static_cast<int>(lists.size()), rings);
      size_t listed = 0;
      for (size_t r = 0; r < lists.size(); r++)
        for (size_t k = 0; k < lists[r].size(); k++) {
          EXPECT_EQ(lists[r][k]->GetTagA(), static_cast<int>(r));
          if (k > 0) {
            EXPECT_LT(mesh->m_ArrayVertex.Find(lists[r][k - 1]),
                      mesh->m_ArrayVertex.Find(lists[r][k]));
          }
          listed++;
        }
      EXPECT_EQ(listed, static_cast<size_t>(mesh->NbVertex()));
    }
}

TEST(Unmeshing, EveryPassOrderKeepsTheSurface) {
  struct Order {
    const char* name;
    int along, across, acrossFirst, geomorph;
  };
  const Order orders[] = {{"across", 0, 1, 1, 0},
                          {"along", 1, 0, 1, 0},
                          {"across then along", 1, 1, 1, 0},
                          {"along then across", 1, 1, 0, 0}};
  for (const Shape& shape : Shapes())
    for (const Order& order : orders) {
      SCOPED_TRACE(std::string(shape.name) + ", " + order.name);
      SceneRun run(shape.make());
      CMesh3d* mesh = run.Mesh();
      int euler = meshchecks::Euler(*mesh), loops = BoundaryLoops(*mesh);
      int faces = mesh->NbFace();
      CVector3d facing = FacingOf(mesh);
      CUnmeshingParams params;
      params.SeedFace = 3;
      params.AlongUnmesh = order.along;
      params.AcrossUnmesh = order.across;
      params.AcrossFirst = order.acrossFirst;
      CSubdivisionOutcome outcome = CommandUnmeshing(&run.scene, params, run.hooks);
      EXPECT_EQ(outcome.changed, 1);
      EXPECT_EQ(outcome.status.rfind("Unmeshing wavefront done (", 0), 0u) << outcome.status;
      EXPECT_LT(mesh->NbFace(), faces * 3 / 4);
      ExpectSameSurface(*mesh, euler, loops, shape, facing);
    }
}

TEST(Unmeshing, CommandOptionsAndRefusals) {
  // the status texts of "across, then along" with the colours of the rings
  SceneRun coloured(MakeIcoSphere(2));
  CUnmeshingParams params;
  params.ColorFaces = 1;
  params.AlongUnmesh = 0;
  CommandUnmeshing(&coloured.scene, params, coloured.hooks);
  ASSERT_EQ(coloured.statuses.size(), 4u);
  EXPECT_EQ(coloured.statuses[0], "Build wavefront...");
  EXPECT_EQ(coloured.statuses[1], "Color faces from wavefront...");
  EXPECT_EQ(coloured.statuses[2].rfind("Wavefront done (", 0), 0u);
  EXPECT_EQ(coloured.statuses[3], "Unmesh across...");
  for (CFace3d* f : coloured.Mesh()->m_ArrayFace)
    EXPECT_EQ(f->m_Color, kFlagPalette[f->GetTag() % 10]);

  // a copy is worked on and put first; the original stays whole
  SceneRun copied(MakeIcoSphere(2));
  int faces = copied.Mesh()->NbFace();
  params = CUnmeshingParams();
  params.CopyToScene = 1;
  CommandUnmeshing(&copied.scene, params, copied.hooks);
  ASSERT_EQ(copied.scene.NbObject(), 2);
  EXPECT_LT(copied.Mesh(0)->NbFace(), faces);
  EXPECT_EQ(copied.Mesh(1)->NbFace(), faces);
  EXPECT_EQ(copied.statuses[0], "Copy mesh...");

  // the geomorph keeps every merged element
  SceneRun kept(MakeIcoSphere(2));
  int vertices = kept.Mesh()->NbVertex();
  params = CUnmeshingParams();
  params.SmoothGeomorph = 1;
  CommandUnmeshing(&kept.scene, params, kept.hooks);
  EXPECT_EQ(kept.Mesh()->NbVertex(), vertices);
  EXPECT_EQ(kept.Mesh()->NbFace(), faces);
  EXPECT_GT(kept.Mesh()->NbVertexWithFlag(kMergedFlag), 0);

  // a seed that is no face does nothing and says so
  for (int seed : {-1, 320, 1 << 30}) {
    SceneRun bad(MakeIcoSphere(2));
    params = CUnmeshingParams();
    params.SeedFace = seed;
    CSubdivisionOutcome outcome = CommandUnmeshing(&bad.scene, params, bad.hooks);
    EXPECT_EQ(outcome.changed, 0);
    EXPECT_NE(outcome.message.find("Seed face"), std::string::npos);
    EXPECT_EQ(bad.Mesh()->NbFace(), 320);
    EXPECT_TRUE(bad.statuses.empty());
  }
  CSceneGraph3d empty;
  EXPECT_EQ(CommandUnmeshing(&empty, CUnmeshingParams(), CWavefrontHooks()).changed, 0);
  EXPECT_EQ(CommandRemeshing(&empty, CWavefrontHooks()).changed, 0);
}

TEST(Remeshing, CountsByHandAndTheSurfaceStaysWhole) {
  struct Case {
    const char* name;
    std::function<CMesh3d*()> make;
    int vertices, faces; // -1: not counted by hand
  };
  const Case cases[] = {
      {"tetrahedron",
       [] {
         auto* m = new CMesh3d;
         m->MakeTetrahedron();
         return m;
       },
       19, 34},
      {"sphere", [] { return MakeIcoSphere(2); }, -1, -1},
      {"grid", [] { return MakeGrid(10, 10); }, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SceneRun run(c.make());
    CMesh3d* mesh = run.Mesh();
    int euler = meshchecks::Euler(*mesh), loops = BoundaryLoops(*mesh);
    CSubdivisionOutcome outcome = CommandRemeshing(&run.scene, run.hooks);
    EXPECT_EQ(outcome.changed, 1);
    if (c.vertices >= 0) {
      EXPECT_EQ(mesh->NbVertex(), c.vertices);
      EXPECT_EQ(mesh->NbFace(), c.faces);
    }
    EXPECT_EQ(meshchecks::Euler(*mesh), euler);
    EXPECT_EQ(BoundaryLoops(*mesh), loops);
    EXPECT_EQ(meshchecks::MaxFacesOnAnEdge(*mesh), 2);
    // every new face keeps the orientation of the face it came from
    for (CFace3d* f : mesh->m_ArrayFace)
      for (int k = 0; k < 3; k++)
        if (f->f(k)) {
          CVertex3d *a = nullptr, *b = nullptr;
          f->f(k)->SharedEdge(f, a, b);
          EXPECT_TRUE(f->v(k) == b && f->v((k + 1) % 3) == a);
        }
    const char* expected[] = {"Remesh along...", "Two vertices per edge...",
                              "Two vertices per edge done (", "Remesh across...",
                              "One vertex per edge..."};
    ASSERT_EQ(run.statuses.size(), 5u);
    for (int k = 0; k < 5; k++) EXPECT_EQ(run.statuses[k].rfind(expected[k], 0), 0u);
    EXPECT_EQ(outcome.status.rfind("One vertex per edge done (", 0), 0u);
  }
}
