#pragma once

#include <array>

#include "geometry/DrawOptions.h"

class COrvexDoc;
class CSceneGraph3d;

namespace orvex {

// Scale, rotation and translation of a view: what Debug/Viewing/Push and
// Pop copy between a view and the application's single slot. The slot
// starts with three zero vectors.
struct CViewingState {
  std::array<float, 3> m_Scale{0.0f, 0.0f, 0.0f};
  std::array<float, 3> m_Rotation{0.0f, 0.0f, 0.0f};
  std::array<float, 3> m_Translation{0.0f, 0.0f, 0.0f};
};

// Matrices and viewport of a view, as GL reports them inside the model
// transform (column-major, like glGetDoublev).
struct CViewMatrices {
  double m_ModelView[16];
  double m_Projection[16];
  int m_Viewport[4];
};

enum class MouseButton { Left, Right };

// What a mouse move asks of the view's owner.
enum class DragOutcome {
  None,      // nothing changed
  Repaint,   // the model transform changed: repaint
  CameraDrag // camera mode: run the "Camera drag" command, which moves the camera
};

// Everything a render view keeps besides its rendering context: the model
// transform, the navigation speeds and the drag state, with the GL set-up,
// the paint step and the navigation rules. It makes no context: the Qt
// view and the offscreen renderer make their own current and call it, so a
// picture rendered without a display is the picture the window shows.
class CRenderViewState {
public:
  // drag state
  int m_bLeftButtonDown = 0;
  int m_bRightButtonDown = 0;
  int m_LeftDownPos[2] = {0, 0};
  int m_RightDownPos[2] = {0, 0};

  // Where the model stands in front of the view before any framing.
  static constexpr float kDefaultDistance = -5.0f;

  double m_FieldOfView = 45.0;
  std::array<float, 3> m_Rotation{0.0f, 0.0f, 0.0f};
  int m_bHorizontalAboutY = 1;
  std::array<float, 3> m_Translation{0.0f, 0.0f, -5.0f};
  std::array<float, 3> m_Scale{1.0f, 1.0f, 1.0f};
  // The framed view Geometry/Reset returns to (FrameScene).
  std::array<float, 3> m_HomeTranslation{0.0f, 0.0f, kDefaultDistance};
  std::array<float, 3> m_HomeScale{1.0f, 1.0f, 1.0f};
  float m_TranslationSpeed = 0.02f;
  float m_RotationSpeed = 1.0f / 3.0f;
  std::array<float, 3> m_ClearColor{0.0f, 0.0f, 0.0f};
  std::array<float, 3> m_SpinStep{0.0f, 5.0f, 0.0f};
  int m_bCameraMode = 0;
  // last yaw, pitch, pan x, pan y and dolly sent to the camera object
  float m_CameraDeltas[5] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  int m_bAlwaysColorSilhouette = 0;
  // How this view draws the scene (indexed arrays, display lists).
  CDrawOptions m_DrawOptions;

  // pointer of the last camera-mode move, until ApplyCameraDrag takes it
  bool m_bCameraDragPending = false;
  int m_CameraDragPos[2] = {0, 0};

  // Client size the view was last resized to.
  int m_Width = 0;
  int m_Height = 0;

  // GL state set once when the context is made (lights, materials,
  // blending, texturing, projection for a width x height client area).
  // The glyph lists of the window font are the Qt view's own business.
  void glSetUp(int width, int height);
  // Viewport and projection for a new client size.
  void glResize(int width, int height);
  // Clears, applies the model transform and draws the document. The
  // caller swaps buffers. The document is only read.
  void glPaint(const COrvexDoc& doc) const;
  // The model transform: translate, rotate X, Y, Z, scale.
  void glApplyModelTransform() const;

  // Aspect of a width x height client area (the width when the height is 0).
  static double Aspect(int width, int height);
  // Modelview (model transform applied to identity), projection and
  // viewport of this view, computed as GL would, without a context.
  CViewMatrices ComputeMatrices() const;

  // mouse navigation; each returns true when the view must repaint
  void ButtonDown(MouseButton button, int x, int y);
  // Clears both drag flags. Returns true when the silhouette must be
  // recolored (left button released with m_bAlwaysColorSilhouette set).
  bool ButtonUp(MouseButton button);
  // Normal mode changes the model transform. Camera mode changes nothing
  // but keeps the pointer for ApplyCameraDrag: the camera is part of the
  // scene, which only commands change.
  DragOutcome MouseMove(int x, int y);
  // The camera half of the last camera-mode move: moves the first camera
  // object (type 14) of the scene; false, changing nothing, without one.
  bool ApplyCameraDrag(CSceneGraph3d& scene);

  // Timer 1: adds m_SpinStep to m_Rotation.
  void SpinTick();

  // The first look of a document: scale and translation that bring the
  // bounding box of the scene's meshes (as their transforms place them) to
  // the middle of the view at the default distance, filling about three
  // quarters of its height, whatever the scene's units; rotation 0. They
  // become the view Reset returns to. An empty scene keeps the defaults.
  void FrameScene(const CSceneGraph3d& scene);

  // view commands: Reset returns to the framed view (rotation about Z
  // stays); the F7 preset and Pop set their absolute values
  void Reset();
  void IncreaseRotationSpeed() { m_RotationSpeed *= 1.5f; }
  void DecreaseRotationSpeed() { m_RotationSpeed *= 0.6666667f; }
  void IncreaseTranslationSpeed() { m_TranslationSpeed *= 1.5f; }
  void DecreaseTranslationSpeed() { m_TranslationSpeed *= 0.6666667f; }
  void SwapRotationAxes() { m_bHorizontalAboutY = !m_bHorizontalAboutY; }
  void Push(CViewingState& slot) const;
  void Pop(const CViewingState& slot);
  // The view half of the F7 preset (scale, translation, rotation).
  void ApplyPreset();
};

} // namespace orvex
