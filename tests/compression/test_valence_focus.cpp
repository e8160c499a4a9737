#include <gtest/gtest.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "compression/ValenceConquest.h"
#include "compression/ValenceGhost.h"
#include "compression/ValenceTopology.h"
#include "geometry/Mesh3d.h"
#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/TestMeshes.h"

namespace {

// The focus rule evaluated as written, from the mesh's own neighbour and
// face lists: free degrees recomputed for every list vertex, the first
// vertex closed by one remaining face, else the smallest free degree with
// the look-ahead scores a = 1..4 and list order.
class LiteralFocus {
public:
  LiteralFocus(const CMesh3d& mesh, const std::vector<char>& conquered)
      : m_Mesh(mesh), m_Conquered(conquered) {
    for (int f = 0; f < mesh.NbFace(); ++f) m_FaceIndex[mesh.GetFace(f)] = f;
  }

  int Choose(const std::vector<int>& list) const {
    const int n = static_cast<int>(list.size());
    std::vector<int> d(n);
    for (int i = 0; i < n; ++i) d[i] = FreeDegree(list[i]);
    for (int i = 0; i < n; ++i)
      if (d[i] > 0 && ClosedByOneFace(list[(i + n - 1) % n], list[i], list[(i + 1) % n])) return i;
    int smallest = d[0];
    for (int i = 1; i < n; ++i) smallest = std::min(smallest, d[i]);
    std::vector<int> tied;
    for (int i = 0; i < n; ++i)
      if (d[i] == smallest) tied.push_back(i);
    for (int a = 1; a <= 4 && tied.size() > 1; ++a) {
      std::vector<double> score;
      for (int i : tied) {
        double sum = a * d[i];
        for (int k = 1; k <= a; ++k)
          sum += (a - k + 1) * (d[((i + k) % n + n) % n] + d[((i - k) % n + n) % n]);
        score.push_back(sum / (2 * a + 1));
      }
      double best = score[0];
      for (double s : score) best = std::min(best, s);
      std::vector<int> kept;
      for (size_t j = 0; j < tied.size(); ++j)
        if (score[j] == best) kept.push_back(tied[j]);
      tied = kept;
    }
    return tied[0];
  }

private:
  bool Free(const CFace3d* f) const { return !m_Conquered[m_FaceIndex.at(f)]; }
  int FreeDegree(int v) const {
    const CVertex3d* vertex = m_Mesh.GetVertex(v);
    int degree = 0;
    for (int i = 0; i < vertex->NbNeighbor(); ++i) {
      const CVertex3d* w = vertex->GetNeighbor(i);
      bool free = false;
      for (int j = 0; j < vertex->NbFace(); ++j)
        free = free || (vertex->GetFace(j)->HasVertex(w) && Free(vertex->GetFace(j)));
      degree += free ? 1 : 0;
    }
    return degree;
  }
  bool ClosedByOneFace(int p, int v, int n) const {
    const CVertex3d* vertex = m_Mesh.GetVertex(v);
    const CFace3d* last = nullptr;
    int remaining = 0;
    for (int j = 0; j < vertex->NbFace(); ++j)
      if (Free(vertex->GetFace(j))) {
        ++remaining;
        last = vertex->GetFace(j);
      }
    return remaining == 1 && last->HasVertex(m_Mesh.GetVertex(p)) &&
           last->HasVertex(m_Mesh.GetVertex(n));
  }

  const CMesh3d& m_Mesh;
  const std::vector<char>& m_Conquered;
  std::unordered_map<const CFace3d*, int> m_FaceIndex;
};

// Conquers the mesh from a seed and checks every focus choice against the
// literal rule; returns the number of choices checked.
int CheckFocusChoices(CMesh3d& mesh, int seed) {
  orvex::CValenceGhost ghost;
  int hasGhost = ghost.Close(mesh);
  orvex::CValenceTopology topology;
  std::string error;
  EXPECT_EQ(topology.Build(mesh, error), 1) << error;
  orvex::CValenceOptions options;
  orvex::CValenceConquest conquest(mesh, topology, hasGhost ? mesh.NbVertex() - 1 : -1, options);
  LiteralFocus literal(mesh, topology.ConqueredFlags());
  int checked = 0, mismatches = 0;
  conquest.SetFocusProbe([&](const std::vector<int>& list, int chosen) {
    ++checked;
    int expected = literal.Choose(list);
    if (expected != chosen && ++mismatches <= 5)
      ADD_FAILURE() << "choice " << checked << ": list of " << list.size() << ", chose " << chosen
                    << ", the rule gives " << expected;
  });
  orvex::CValenceResult result;
  std::vector<orvex::CGeometryRecord> records;
  conquest.Run(seed, result, records);
  EXPECT_EQ(result.m_bEndedEarly, 0);
  ghost.Remove(mesh);
  return checked;
}

} // namespace

TEST(ValenceFocus, FastChoiceMatchesTheLiteralRuleOnRandomMeshes) {
  struct Case {
    CMesh3d* mesh;
    int flips;
  };
  std::vector<Case> cases = {
      {testmeshes::MakeIcoSphere(3), 300},
      {testmeshes::MakeTorus(24, 14), 250},
      {testmeshes::MakeGridWithHoles(16, 14, 5), 150},
      {testmeshes::MakeTorus(10, 30), 0},
      {testmeshes::MakeGrid(12, 9), 0},
  };
  uint32_t random = 11;
  for (Case& c : cases) {
    std::unique_ptr<CMesh3d> mesh(c.mesh);
    valencetest::FlipRandomEdges(*mesh, c.flips, random++);
    for (int seed : {0, mesh->NbFace() / 3, mesh->NbFace() - 1})
      EXPECT_GT(CheckFocusChoices(*mesh, seed), mesh->NbVertex() / 2);
  }
}
