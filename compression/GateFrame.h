#pragma once

// Prediction of a vertex from the gate that reaches it: the gate's frame,
// the vertex's three parameters in it, and their uniform quantization.

// Orthonormal frame of a gate: origin at the left corner, x along the gate,
// z the normal of the face behind; `scale` is the gate's length (the unit
// of beta and of the local coordinates).
struct CGateFrame {
  double origin[3];
  double axis[3][3]; // x, y, z
  double scale;
};

// Frame of the gate (left, right) with `behind` a third corner of the face
// behind it. Degenerate gates still get a frame: with left = right the
// edge towards `behind` gives the direction and the length, and a zero
// normal is replaced by an axis perpendicular to x.
CGateFrame MakeGateFrame(const float left[3], const float right[3], const float behind[3]);

// How the three parameters of a vertex are formed.
struct CGateParameterSpace {
  bool local = false;  // local x, y, z over the scale, else alpha, beta, gamma
  bool useBeta = true; // beta itself, else beta minus `meanBeta`
  double meanBeta = 0.0;
};

// Parameters of `point` in `frame`: alpha in [-pi, pi], beta, gamma in
// [-pi/2, pi/2]; or the local coordinates.
void GateParameters(const CGateFrame& frame, const CGateParameterSpace& space, const float point[3],
                    double p[3]);
// The point (as floats) that parameters `p` give in `frame`.
void GatePoint(const CGateFrame& frame, const CGateParameterSpace& space, const double p[3],
               float point[3]);

// Uniform levels on [lo, hi]: level q stands for lo + q (hi - lo) / (levels - 1).
// An empty range (hi <= lo) has the single code 0, standing for lo.
struct CGateQuantizer {
  double lo = 0.0, hi = 0.0;
  int levels = 2;
  int Quantize(double v) const;
  double Value(int q) const;
};
