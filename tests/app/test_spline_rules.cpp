// The spline editor's rules on small polygons worked out by hand, the
// slider weights, point picking and where a clicked point is inserted.

#include <gtest/gtest.h>

#include <vector>

#include "app/side/SplineRules.h"

using namespace orvex;

namespace {

const std::vector<SplinePoint> kSquare = {{0, 0}, {16, 0}, {16, 16}, {0, 16}};

void ExpectPolygon(const std::vector<SplinePoint>& actual,
                   const std::vector<SplinePoint>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_DOUBLE_EQ(actual[i].x, expected[i].x) << "point " << i;
    EXPECT_DOUBLE_EQ(actual[i].y, expected[i].y) << "point " << i;
  }
}

TEST(SplineRules, OneStepOfEachRuleOnASquare) {
  // Four-point rule: (-(p0 + p3) + 9 (p1 + p2)) / 16 on the edge (16,0)-(16,16)
  // gives x = (-(0 + 0) + 9 * 32) / 16 = 18, y = (-(0 + 16) + 9 * 16) / 16 = 8.
  ExpectPolygon(InterpolationStep(kSquare, -1.0, 9.0),
                {{0, 0}, {8, -2}, {16, 0}, {18, 8}, {16, 16}, {8, 18}, {0, 16}, {-2, 8}});
  // B-spline: corners to (prev + 6 p + next) / 8, midpoints inserted.
  ExpectPolygon(ApproximationStep(kSquare),
                {{2, 2}, {8, 0}, {14, 2}, {16, 8}, {14, 14}, {8, 16}, {2, 14}, {0, 8}});
  // Fractal: the first edge (0,0)-(16,0) has its peak at (8, -16/3).
  const std::vector<SplinePoint> fractal = FractalStep(kSquare);
  ASSERT_EQ(fractal.size(), 16u);
  ExpectPolygon({fractal.begin(), fractal.begin() + 4},
                {{0, 0}, {16.0 / 3, 0}, {8, -16.0 / 3}, {32.0 / 3, 0}});
}

TEST(SplineRules, RunsCountStepsAndKeepShortPolygons) {
  struct Case {
    std::vector<SplinePoint> control;
    SplineMode mode;
    int iterations;
    std::size_t size;
  };
  const Case cases[] = {
      {{}, SplineMode::Interpolation, 8, 0},
      {{{1, 2}}, SplineMode::Approximation, 8, 1},
      {{{1, 2}, {30, 40}}, SplineMode::Fractal, 8, 2},
      {kSquare, SplineMode::Interpolation, 8, 4u << 8},
      {kSquare, SplineMode::Approximation, 3, 4u << 3},
      {kSquare, SplineMode::Fractal, 8, 4u * 256}, // always 4 steps of 4 edges each
  };
  for (const Case& c : cases) {
    const auto refined = RunSpline(c.control, c.mode, c.iterations, -1.0, 9.0);
    EXPECT_EQ(refined.size(), c.size) << SplineModeName(c.mode);
    if (c.control.size() < 3) ExpectPolygon(refined, c.control);
  }
}

TEST(SplineRules, InterpolationKeepsTheControlPoints) {
  const auto refined = RunSpline(kSquare, SplineMode::Interpolation, 3, -1.0, 9.0);
  for (std::size_t i = 0; i < kSquare.size(); ++i) {
    EXPECT_DOUBLE_EQ(refined[i * 8].x, kSquare[i].x);
    EXPECT_DOUBLE_EQ(refined[i * 8].y, kSquare[i].y);
  }
}

TEST(SplineRules, SliderWeights) {
  struct Case {
    int position;
    double w, v;
  };
  for (const Case& c :
       {Case{10, -1.0, 9.0}, Case{0, 0.0, 8.0}, Case{-80, 8.0, 0.0}, Case{80, -8.0, 16.0}}) {
    double w = 0, v = 0;
    SplineSliderWeights(c.position, w, v);
    EXPECT_NEAR(w, c.w, 1e-12) << c.position;
    EXPECT_NEAR(v, c.v, 1e-12) << c.position;
  }
}

TEST(SplineRules, PickingAndInsertion) {
  struct Case {
    SplinePoint p;
    int picked;
    std::size_t insertAt;
  };
  const Case cases[] = {
      {{4, 4}, 0, 1},    // near corner 0: the edges 0-1 and 3-0 tie, the first wins
      {{3, 4}, 0, 4},    // near corner 0, nearer the closing edge
      {{8, -1}, -1, 1},  // below the first edge
      {{17, 8}, -1, 2},  // right of the second edge
      {{8, 15}, -1, 3},  // under the third edge
      {{-3, 9}, -1, 4},  // left of the closing edge: inserted at the end
      {{16, 20}, 2, 2},  // 4 from corner 2 in y: picked; edges 1-2 and 2-3 tie
      {{21, 16}, -1, 2}, // 5 pixels away is not near enough
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PickSplinePoint(kSquare, c.p.x, c.p.y), c.picked) << c.p.x << "," << c.p.y;
    EXPECT_EQ(SplineInsertIndex(kSquare, c.p), c.insertAt) << c.p.x << "," << c.p.y;
  }
  EXPECT_EQ(SplineInsertIndex({}, {1, 1}), 0u);
  EXPECT_EQ(SplineInsertIndex({{5, 5}}, {1, 1}), 1u);
  EXPECT_EQ(SplineInsertIndex({{0, 0}, {10, 0}}, {5, 1}), 1u);
}

} // namespace
