#pragma once

#include "geometry/Color.h"
#include "geometry/Object3d.h"
#include "geometry/Vector3d.h"

// The camera object of a scene (type code 14): an eye point with a viewing
// frame that the command panel adds and the render view moves in camera
// mode. It is drawn as a small viewing pyramid; the silhouette and
// front-face marking read its position.
class CCamera3d : public CObject3d {
public:
  CVector3d m_Position{0.0, 0.0, 5.0};
  CVector3d m_Direction{0.0, 0.0, -1.0}; // unit viewing direction
  CVector3d m_Up{0.0, 1.0, 0.0};         // unit, orthogonal to the direction
  // Half-width of the drawn pyramid one unit in front of the eye.
  float m_Opening = 1.5f;
  CColor m_Color{255, 255, 0};
  int m_Show = 1;

  CCamera3d() = default;

  // CObject3d
  int GetType() override { return TYPE_CAMERA; }
  int glDraw() const override;
  void Show(int visible) override { m_Show = visible; }

  // First rotation operation: turns the viewing frame about its up axis
  // (yaw), angle in radians.
  void Rotate1(double angle);
  // Second rotation operation: turns the viewing frame about its right axis
  // (pitch), angle in radians.
  void Rotate2(double angle);
  // Moves the eye in its own frame: x to the right, y up, z backwards
  // (against the viewing direction).
  void Translate(double dx, double dy, double dz);
  CVector3d GetRight() const { return m_Direction ^ m_Up; }
  CVector3d* GetPosition() { return &m_Position; }
  void SetOpening(float opening) { m_Opening = opening; }
  void SetColor(const CColor& color) { m_Color = color; }
};
