#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "compression/IsoVolume.h"

// Synthetic volumes for the isosurface tests and benchmarks: a potential
// over the unit cube sampled on a grid of 2^depth + 1 points a side,
// negative inside.
namespace testvolumes {

using Field = std::function<double(double, double, double)>;

inline double Sphere(double x, double y, double z, double cx, double cy, double cz, double r) {
  return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy) + (z - cz) * (z - cz)) - r;
}

inline double Torus(double x, double y, double z, double cx, double cy, double R, double r) {
  const double q = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - R;
  return std::sqrt(q * q + (z - 0.5) * (z - 0.5)) - r;
}

inline Field SphereField() {
  return [](double x, double y, double z) { return Sphere(x, y, z, 0.5, 0.5, 0.5, 0.3); };
}
inline Field TorusField() {
  return [](double x, double y, double z) { return Torus(x, y, z, 0.5, 0.5, 0.28, 0.12); };
}
// Two tori fused side by side: genus 2.
inline Field DoubleTorusField() {
  return [](double x, double y, double z) {
    return std::min(Torus(x, y, z, 0.33, 0.5, 0.16, 0.07), Torus(x, y, z, 0.67, 0.5, 0.16, 0.07));
  };
}
// Two separate blobs.
inline Field TwoBlobsField() {
  return [](double x, double y, double z) {
    return std::min(Sphere(x, y, z, 0.3, 0.35, 0.4, 0.17), Sphere(x, y, z, 0.72, 0.65, 0.6, 0.15));
  };
}

// The field sampled at grid points (x, y, z) / (N - 1), with origin and
// unit sizes placing the grid in space.
inline CIsoVolume MakeVolume(const Field& field, int depth, double origin = 0.0,
                             double unit = 1.0) {
  CIsoVolume v;
  std::string error;
  IsoAllocate(v, (int64_t(1) << depth) + 1, true, error);
  const int64_t n = v.m_N;
  for (int k = 0; k < 3; ++k) {
    v.m_Origin[k] = origin;
    v.m_Unit[k] = unit;
  }
  for (int64_t x = 0; x < n; ++x)
    for (int64_t y = 0; y < n; ++y)
      for (int64_t z = 0; z < n; ++z)
        v.m_Potential[v.m_Signs.Index(x, y, z)] = static_cast<float>(
            field(double(x) / (n - 1), double(y) / (n - 1), double(z) / (n - 1)));
  v.SignsFromPotentials();
  return v;
}

} // namespace testvolumes
