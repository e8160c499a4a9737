#include "compression/GateFrame.h"

#include <cmath>

namespace {

double Dot(const double a[3], const double b[3]) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Cross(const double a[3], const double b[3], double out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

// Divides `v` by its length; false (v untouched) for a zero or non-finite
// length.
bool Normalize(double v[3]) {
  const double length = std::sqrt(Dot(v, v));
  if (!(length > 0.0) || !std::isfinite(length)) return false;
  for (int k = 0; k < 3; ++k) v[k] /= length;
  return true;
}

void Difference(const float a[3], const float b[3], double out[3]) {
  for (int k = 0; k < 3; ++k) out[k] = double(a[k]) - double(b[k]);
}

} // namespace

CGateFrame MakeGateFrame(const float left[3], const float right[3], const float behind[3]) {
  CGateFrame frame;
  for (int k = 0; k < 3; ++k) frame.origin[k] = left[k];
  double* x = frame.axis[0];
  double* y = frame.axis[1];
  double* z = frame.axis[2];
  double edge[3], side[3];
  Difference(right, left, edge);
  Difference(behind, left, side);

  // x along the gate, its length the scale
  for (int k = 0; k < 3; ++k) x[k] = edge[k];
  frame.scale = std::sqrt(Dot(x, x));
  if (!Normalize(x)) {
    // degenerate gate (left = right): the edge towards the corner behind
    for (int k = 0; k < 3; ++k) x[k] = side[k];
    frame.scale = std::sqrt(Dot(x, x));
    if (!Normalize(x)) {
      // all three corners coincide: any direction, unit scale
      x[0] = 1.0;
      x[1] = x[2] = 0.0;
      frame.scale = 1.0;
    }
  }

  // z the normal of the face behind
  Cross(edge, side, z);
  if (!Normalize(z)) {
    // zero normal (collinear corners): x crossed with its least aligned axis
    int least = 0;
    for (int k = 1; k < 3; ++k)
      if (std::fabs(x[k]) < std::fabs(x[least])) least = k;
    double axis[3] = {0.0, 0.0, 0.0};
    axis[least] = 1.0;
    Cross(x, axis, z);
    Normalize(z);
  }

  // y completes the frame; z is rebuilt so that the axes are orthonormal
  Cross(z, x, y);
  Normalize(y);
  Cross(x, y, z);
  return frame;
}

void GateParameters(const CGateFrame& frame, const CGateParameterSpace& space, const float point[3],
                    double p[3]) {
  double d[3];
  for (int k = 0; k < 3; ++k) d[k] = double(point[k]) - frame.origin[k];
  const double local[3] = {Dot(d, frame.axis[0]), Dot(d, frame.axis[1]), Dot(d, frame.axis[2])};
  if (space.local) {
    for (int k = 0; k < 3; ++k) p[k] = local[k] / frame.scale;
    return;
  }
  // spherical coordinates of r - L: azimuth, relative length, elevation
  p[0] = std::atan2(local[1], local[0]);
  p[1] = std::sqrt(Dot(local, local)) / frame.scale;
  p[2] = std::atan2(local[2], std::hypot(local[0], local[1]));
  if (!space.useBeta) p[1] -= space.meanBeta;
}

void GatePoint(const CGateFrame& frame, const CGateParameterSpace& space, const double p[3],
               float point[3]) {
  double local[3];
  if (space.local) {
    for (int k = 0; k < 3; ++k) local[k] = p[k] * frame.scale;
  } else {
    const double beta = space.useBeta ? p[1] : p[1] + space.meanBeta;
    const double length = beta * frame.scale;
    local[0] = length * std::cos(p[2]) * std::cos(p[0]);
    local[1] = length * std::cos(p[2]) * std::sin(p[0]);
    local[2] = length * std::sin(p[2]);
  }
  for (int k = 0; k < 3; ++k)
    point[k] = static_cast<float>(frame.origin[k] + local[0] * frame.axis[0][k] +
                                  local[1] * frame.axis[1][k] + local[2] * frame.axis[2][k]);
}

int CGateQuantizer::Quantize(double v) const {
  if (!(hi > lo)) return 0;
  const double t = std::floor((v - lo) / (hi - lo) * (levels - 1) + 0.5);
  if (!(t > 0.0)) return 0; // below the range, or not a number
  return t >= levels - 1 ? levels - 1 : static_cast<int>(t);
}

double CGateQuantizer::Value(int q) const {
  if (!(hi > lo)) return lo;
  return lo + q * (hi - lo) / (levels - 1);
}
