#pragma once

#include <array>

#include "geometry/Object3d.h"

// The visual-mode chooser (type code 15): a grid of small preview spheres
// drawn over the model with a projection and modelview of its own, one
// column per polygon mode (line, point, fill) and one row per colour, each
// sphere turned by its own random angles. Mode/Visual mode puts it in the
// scene.
class CVisualModeChooser3d : public CObject3d {
public:
  static constexpr int kNbRandom = 64;
  static constexpr int kNbColumn = 3; // line, point, fill
  static constexpr int kNbRow = 4;    // colours
  static constexpr int kNbSphere = kNbColumn * kNbRow;

  // Where a preview sphere sits in the chooser's eye coordinates.
  struct Centre {
    double x, y, z;
  };

  // fieldOfView in degrees and aspect (width / height) of the view it is
  // drawn in; random holds numbers 0 ... 32767 (three angles per sphere).
  CVisualModeChooser3d(double fieldOfView, double aspect, const std::array<int, kNbRandom>& random);

  int GetType() override { return TYPE_VISUAL_CHOOSER; }
  int glDraw() const override;
  void Show(int visible) override { m_Show = visible; }

  double GetFieldOfView() const { return m_FieldOfView; }
  double GetAspect() const { return m_Aspect; }
  float GetRadius() const { return m_Radius; }
  float GetDistance() const { return m_Distance; }
  float GetSpacing() const { return m_Spacing; }
  const std::array<int, kNbRandom>& GetRandom() const { return m_Random; }

  // Layout of the grid: sphere i (row-major, columns first) and the depth
  // of the grid, pushed back from m_Distance when a narrow view needs it.
  Centre SphereCentre(int i) const;
  double GridDepth() const;
  // The three angles (degrees) sphere i is turned by.
  std::array<float, 3> SphereAngles(int i) const;
  // Far plane of the chooser's own projection (beyond the grid).
  double FarPlane() const;
  // Its near plane, field of view (degrees) and aspect: the view's, or
  // plain ones when the view's are unusable.
  static constexpr double kNearPlane = 0.01;
  double ProjectionFieldOfView() const;
  double ProjectionAspect() const;
  int IsShown() const { return m_Show; }

private:
  double m_FieldOfView;
  double m_Aspect;
  float m_Radius = 0.01f;   // preview sphere radius
  float m_Distance = 0.15f; // depth of the grid in front of the eye
  float m_Spacing = 0.005f; // gap between neighbouring spheres
  std::array<int, kNbRandom> m_Random;
  int m_Show = 1;

  double Step() const { return 2.0 * m_Radius + m_Spacing; }
};
