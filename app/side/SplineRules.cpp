#include "app/side/SplineRules.h"

#include <algorithm>
#include <cmath>

namespace orvex {

namespace {

SplinePoint At(const std::vector<SplinePoint>& points, std::ptrdiff_t i) {
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(points.size());
  return points[static_cast<std::size_t>(((i % n) + n) % n)];
}

double SquaredDistanceToSegment(SplinePoint p, SplinePoint a, SplinePoint b) {
  const double ex = b.x - a.x, ey = b.y - a.y;
  const double length2 = ex * ex + ey * ey;
  double t = 0.0;
  // A degenerate edge is measured to its single point.
  if (length2 > 0.0) t = std::clamp(((p.x - a.x) * ex + (p.y - a.y) * ey) / length2, 0.0, 1.0);
  const double dx = a.x + t * ex - p.x, dy = a.y + t * ey - p.y;
  return dx * dx + dy * dy;
}

} // namespace

// Dyn, Levin and Gregory's four-point scheme with free weights w and v.
std::vector<SplinePoint> InterpolationStep(const std::vector<SplinePoint>& points, double w,
                                           double v) {
  std::vector<SplinePoint> out;
  out.reserve(points.size() * 2);
  for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(points.size()); ++i) {
    const SplinePoint a = At(points, i - 1), b = At(points, i), c = At(points, i + 1),
                      d = At(points, i + 2);
    out.push_back(b);
    out.push_back(
        {(w * (a.x + d.x) + v * (b.x + c.x)) / 16.0, (w * (a.y + d.y) + v * (b.y + c.y)) / 16.0});
  }
  return out;
}

// Lane-Riesenfeld refinement of the uniform cubic B-spline.
std::vector<SplinePoint> ApproximationStep(const std::vector<SplinePoint>& points) {
  std::vector<SplinePoint> out;
  out.reserve(points.size() * 2);
  for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(points.size()); ++i) {
    const SplinePoint a = At(points, i - 1), b = At(points, i), c = At(points, i + 1);
    out.push_back({(a.x + 6.0 * b.x + c.x) / 8.0, (a.y + 6.0 * b.y + c.y) / 8.0});
    out.push_back({(b.x + c.x) / 2.0, (b.y + c.y) / 2.0});
  }
  return out;
}

// Koch's snowflake rule: every edge becomes four through a raised peak.
std::vector<SplinePoint> FractalStep(const std::vector<SplinePoint>& points) {
  std::vector<SplinePoint> out;
  out.reserve(points.size() * 4);
  for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(points.size()); ++i) {
    const SplinePoint a = At(points, i), b = At(points, i + 1);
    const double ex = b.x - a.x, ey = b.y - a.y;
    const double mx = (a.x + b.x) / 2.0, my = (a.y + b.y) / 2.0;
    out.push_back(a);
    out.push_back({a.x + ex / 3.0, a.y + ey / 3.0});
    out.push_back({mx + ey / 3.0, my - ex / 3.0});
    out.push_back({a.x + 2.0 * ex / 3.0, a.y + 2.0 * ey / 3.0});
  }
  return out;
}

std::vector<SplinePoint> RunSpline(const std::vector<SplinePoint>& control, SplineMode mode,
                                   int iterations, double w, double v) {
  std::vector<SplinePoint> refined = control;
  // Below three points the polygon is drawn as it is.
  if (refined.size() < 3) return refined;
  const int steps = mode == SplineMode::Fractal ? kSplineFractalSteps : iterations;
  for (int step = 0; step < steps; ++step) {
    switch (mode) {
    case SplineMode::Interpolation:
      refined = InterpolationStep(refined, w, v);
      break;
    case SplineMode::Approximation:
      refined = ApproximationStep(refined);
      break;
    case SplineMode::Fractal:
      refined = FractalStep(refined);
      break;
    }
  }
  return refined;
}

SplineMode NextSplineMode(SplineMode mode) {
  return static_cast<SplineMode>((static_cast<int>(mode) + 1) % 3);
}

const char* SplineModeName(SplineMode mode) {
  switch (mode) {
  case SplineMode::Interpolation:
    return "Interpolation";
  case SplineMode::Approximation:
    return "Approximation";
  case SplineMode::Fractal:
    return "Fractals";
  }
  return "Interpolation";
}

void SplineSliderWeights(int position, double& w, double& v) {
  v = 8.0 + 0.1 * position;
  w = 8.0 - v;
}

int PickSplinePoint(const std::vector<SplinePoint>& control, double x, double y) {
  for (std::size_t i = 0; i < control.size(); ++i)
    if (std::abs(control[i].x - x) < 5.0 && std::abs(control[i].y - y) < 5.0)
      return static_cast<int>(i);
  return -1;
}

std::size_t SplineInsertIndex(const std::vector<SplinePoint>& control, SplinePoint p) {
  // Fewer than two points have no edge: the point is appended.
  if (control.size() < 2) return control.size();
  std::size_t best = 0;
  double bestDistance = -1.0;
  for (std::size_t i = 0; i < control.size(); ++i) {
    const double d = SquaredDistanceToSegment(p, control[i], control[(i + 1) % control.size()]);
    if (bestDistance < 0.0 || d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best + 1;
}

} // namespace orvex
