#pragma once

#include <cstdint>

namespace orvex {

class CProgressiveMesh;

// Local frame of a removed vertex's patch, from the quantized positions of
// its border: origin at the border's barycenter, n the border's Newell
// normal (z when it vanishes), t1 the unit projection of b0 - barycenter
// on the plane, t2 = n x t1. One quantization step per unit.
struct CPatchFrame {
  double m_Center[3];
  double m_Normal[3];
  double m_T1[3];
  double m_T2[3];
  // mean distance of the border vertices to the barycenter
  double m_MeanRadius;
};

CPatchFrame PatchFrame(const CProgressiveMesh& mesh, const int* border, int size);

// Position rebuilt from a residual (normal, first and second tangential
// value): barycenter + alpha t1 + beta t2 + nu n, rounded per coordinate.
void PredictPosition(const CPatchFrame& frame, const int32_t residual[3], int32_t out[3]);

// The residual that rebuilds p exactly: the rounded coordinates of p in
// the frame, or else the first of their 26 neighbours (normal value
// outermost, -1 before +1) that does. False when none does or a value's
// magnitude exceeds `largest`.
bool FindResidual(const CPatchFrame& frame, const int32_t p[3], int32_t largest,
                  int32_t residual[3]);

// Error measures of replacing the fan of r by the faces (border indices),
// both over the border's mean distance to its barycenter: the distance of
// r to the border's plane, and the cube root of the volume between the
// old fan and the new faces.
double PatchDistance(const CPatchFrame& frame, const int32_t r[3]);
double PatchVolume(const CProgressiveMesh& mesh, const CPatchFrame& frame, const int* border,
                   const int32_t r[3], const int (*faces)[3], int nbFace);

// The border turns the same way at every corner: consecutive cross
// products of consecutive border edges have a non-negative dot product.
bool BorderIsConvex(const CProgressiveMesh& mesh, const int* border, int size);
// No new face turns against the removed fan: each new face's normal has a
// non-negative dot product with the fan's summed normal.
bool KeepsOrientation(const CProgressiveMesh& mesh, const int* border, int size, const int32_t r[3],
                      const int (*faces)[3], int nbFace);

} // namespace orvex
