#pragma once

// Affine map of 3D points (3 x 4 rows: linear part | translation) used to
// combine the transform nodes of scene files. Every operation applies after
// the map so far (a = op . a), as the nodes nest from the inside out.
class CAffine3d {
public:
  double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};

  void Translate(const float* t, double sign = 1.0);
  // Rotation by r[3] radians about the axis r[0..2]; none for a zero axis.
  void Rotate(const float* r);
  void Scale(const float* s);
  // The transform of a VRML or Inventor Transform node: translation, center,
  // rotation, scale with its orientation (T C R SR S -SR -C).
  void Transform(const float* translation, const float* rotation, const float* scale,
                 const float* center, const float* scaleOrientation);
  // this = this . after (after applies first).
  void Then(const CAffine3d& after);
  bool IsIdentity() const;
  // Maps the point p in place (single precision, infinite beyond its range).
  void Apply(float* p) const;
};
