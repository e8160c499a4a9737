#pragma once

// The rules of the two-dimensional spline editor: a closed control polygon
// refined by the four-point interpolating scheme, cubic B-spline refinement
// or the Koch-style fractal edge rule, and the editing helpers the window
// uses (picking a control point, choosing where a clicked point goes).

#include <cstddef>
#include <vector>

namespace orvex {

struct SplinePoint {
  double x = 0.0;
  double y = 0.0;
};

enum class SplineMode { Interpolation = 0, Approximation = 1, Fractal = 2 };

// The four-point rule weights the editor starts with and the slider's range.
constexpr double kSplineDefaultW = -1.0;
constexpr double kSplineDefaultV = 9.0;
constexpr int kSplineSliderMin = -80;
constexpr int kSplineSliderMax = 80;
constexpr int kSplineSliderStart = 10;
constexpr int kSplineRunIterations = 8;
constexpr int kSplineDragIterations = 3;
constexpr int kSplineFractalSteps = 4;

// One step of each rule on a closed polygon of at least 3 points.
std::vector<SplinePoint> InterpolationStep(const std::vector<SplinePoint>& points, double w,
                                           double v);
std::vector<SplinePoint> ApproximationStep(const std::vector<SplinePoint>& points);
std::vector<SplinePoint> FractalStep(const std::vector<SplinePoint>& points);

// The refined polygon of a run: the control points as they are below 3
// points, otherwise the mode's rule applied `iterations` times (the fractal
// rule always 4 times).
std::vector<SplinePoint> RunSpline(const std::vector<SplinePoint>& control, SplineMode mode,
                                   int iterations, double w, double v);

// The mode after the mode button and the button's text.
SplineMode NextSplineMode(SplineMode mode);
const char* SplineModeName(SplineMode mode);

// The four-point weights of a slider position: v = 8 + 0.1 p, w = 8 - v.
void SplineSliderWeights(int position, double& w, double& v);

// The control point less than 5 pixels away in both x and y (the first
// such), or -1.
int PickSplinePoint(const std::vector<SplinePoint>& control, double x, double y);

// Where a clicked point enters the polygon: after the first point of the
// nearest edge (point-to-segment distance, the first of equal edges wins,
// the closing edge included); at the end below 2 points.
std::size_t SplineInsertIndex(const std::vector<SplinePoint>& control, SplinePoint p);

} // namespace orvex
