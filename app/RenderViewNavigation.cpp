// Mouse navigation, the spin timer and the bulk changes of a render view's
// model transform. Nothing here needs a GL context.

#include "app/RenderViewState.h"
#include "geometry/Camera3d.h"
#include "geometry/SceneGraph3d.h"

namespace orvex {
namespace {

// Radians the camera turns per degree of drag rotation, as single precision.
constexpr float kCameraTurn = 0.016666668f;
// Share of a drag's translation that moves the camera.
constexpr float kCameraMove = 0.1f;

} // namespace

void CRenderViewState::ButtonDown(MouseButton button, int x, int y) {
  int* last = button == MouseButton::Left ? m_LeftDownPos : m_RightDownPos;
  last[0] = x;
  last[1] = y;
  if (button == MouseButton::Left)
    m_bLeftButtonDown = 1;
  else
    m_bRightButtonDown = 1;
}

bool CRenderViewState::ButtonUp(MouseButton button) {
  // releasing either button ends both drags
  m_bLeftButtonDown = 0;
  m_bRightButtonDown = 0;
  return button == MouseButton::Left && m_bAlwaysColorSilhouette;
}

DragOutcome CRenderViewState::MouseMove(int x, int y) {
  const bool left = m_bLeftButtonDown != 0;
  const bool right = m_bRightButtonDown != 0;
  if (!left && !right) return DragOutcome::None;

  if (m_bCameraMode) {
    m_bCameraDragPending = true;
    m_CameraDragPos[0] = x;
    m_CameraDragPos[1] = y;
    return DragOutcome::CameraDrag;
  }

  // a two-button drag and a pan follow the left point, a dolly the right one
  const int* last = left ? m_LeftDownPos : m_RightDownPos;
  const float dx = static_cast<float>(last[0] - x);
  const float dy = static_cast<float>(last[1] - y);
  if (left && right) {
    m_Rotation[m_bHorizontalAboutY ? 1 : 2] -= dx * m_RotationSpeed;
    m_Rotation[0] -= dy * m_RotationSpeed;
    m_LeftDownPos[0] = m_RightDownPos[0] = x;
    m_LeftDownPos[1] = m_RightDownPos[1] = y;
  } else if (left) {
    m_Translation[0] -= dx * m_TranslationSpeed;
    m_Translation[1] += dy * m_TranslationSpeed;
    m_LeftDownPos[0] = x;
    m_LeftDownPos[1] = y;
  } else {
    m_Translation[2] += dy * m_TranslationSpeed;
    m_RightDownPos[0] = x;
    m_RightDownPos[1] = y;
  }
  return DragOutcome::Repaint;
}

bool CRenderViewState::ApplyCameraDrag(CSceneGraph3d& scene) {
  if (!m_bCameraDragPending) return false;
  m_bCameraDragPending = false;
  const bool left = m_bLeftButtonDown != 0;
  const bool right = m_bRightButtonDown != 0;
  if (!left && !right) return false;
  CObject3d* object = scene.FindObjectOfType(TYPE_CAMERA);
  if (!object) return false;
  CCamera3d* camera = static_cast<CCamera3d*>(object);

  const int x = m_CameraDragPos[0];
  const int y = m_CameraDragPos[1];
  const int* last = left ? m_LeftDownPos : m_RightDownPos;
  const float dx = static_cast<float>(last[0] - x);
  const float dy = static_cast<float>(last[1] - y);
  if (left && right) {
    const float yaw = dx * m_RotationSpeed;
    const float pitch = dy * m_RotationSpeed;
    camera->Rotate1(yaw * kCameraTurn);
    camera->Rotate2(pitch * kCameraTurn);
    m_CameraDeltas[0] = yaw;
    m_CameraDeltas[1] = pitch;
    m_LeftDownPos[0] = m_RightDownPos[0] = x;
    m_LeftDownPos[1] = m_RightDownPos[1] = y;
  } else if (left) {
    // one-button camera drags keep their press point: the camera keeps
    // moving as long as the pointer stays away from it
    const float panX = m_TranslationSpeed * dx;
    const float panY = m_TranslationSpeed * dy;
    camera->Translate(panX * kCameraMove, panY * kCameraMove, 0.0);
    m_CameraDeltas[2] = panX;
    m_CameraDeltas[3] = panY;
  } else {
    const float dolly = dy * m_TranslationSpeed;
    camera->Translate(0.0, 0.0, dolly * kCameraMove);
    m_CameraDeltas[4] = dolly;
  }
  return true;
}

void CRenderViewState::SpinTick() {
  for (int i = 0; i < 3; i++) m_Rotation[i] += m_SpinStep[i];
}

void CRenderViewState::Reset() {
  m_Rotation[0] = 0.0f;
  m_Rotation[1] = 0.0f;
  m_Translation = m_HomeTranslation;
  m_Scale = m_HomeScale;
}

void CRenderViewState::Push(CViewingState& slot) const {
  slot.m_Scale = m_Scale;
  slot.m_Rotation = m_Rotation;
  slot.m_Translation = m_Translation;
}

// Before any Push the slot holds zeros: the scale becomes 0 and the model
// vanishes until a pushed state is popped (Reset keeps the scale).
void CRenderViewState::Pop(const CViewingState& slot) {
  m_Scale = slot.m_Scale;
  m_Rotation = slot.m_Rotation;
  m_Translation = slot.m_Translation;
}

void CRenderViewState::ApplyPreset() {
  m_Scale = {0.78f, 1.0f, 0.52f};
  m_Translation = {-7.82f, -8.62f, -29.5f};
  m_Rotation = {8.33f, 19.0f, 0.0f};
}

} // namespace orvex
