// The slider handling of the command panel: one pass over every slider
// after any slider moved.

#include <algorithm>

#include "app/DocumentHost.h"
#include "app/OrvexDoc.h"
#include "app/PanelActions.h"
#include "app/PanelObjects.h"
#include "app/RenderViewState.h"
#include "app/SceneMaterials.h"
#include "geometry/Camera3d.h"
#include "geometry/Material.h"
#include "geometry/VectorSet3d.h"

namespace orvex {
namespace {

constexpr int kSpinTimer = 1;

float ValueOf(const CCommandPanelState& panel, PanelSlider slider) {
  return static_cast<float>(panel.Value(slider));
}

// Scales (Y and Z follow X while linked) and field of view.
void ReadViewSliders(CPanelTarget& t) {
  CCommandPanelState& panel = t.panel;
  if (panel.m_bLink) {
    panel.SetPosition(PanelSlider::ScaleY, panel.Position(PanelSlider::ScaleX));
    panel.SetPosition(PanelSlider::ScaleZ, panel.Position(PanelSlider::ScaleX));
  }
  if (!t.view) return;
  t.view->m_Scale[0] = ValueOf(panel, PanelSlider::ScaleX);
  t.view->m_Scale[1] = ValueOf(panel, PanelSlider::ScaleY);
  t.view->m_Scale[2] = ValueOf(panel, PanelSlider::ScaleZ);
}

// A running spin restarts with the period of the Speed slider.
void ReadSpeed(CPanelTarget& t) {
  if (t.panel.m_bRotation && t.host)
    t.host->StartViewTimer(&t.doc, kSpinTimer, SpinPeriodMs(t.panel));
}

// Every normal set takes a new scale.
void ReadNormalsScale(CPanelTarget& t) {
  const float scale = ValueOf(t.panel, PanelSlider::NormalsScale);
  if (scale == t.panel.m_NormalsScale) return;
  t.panel.m_NormalsScale = scale;
  if (!t.panel.m_bNormalsShown) return;
  ForEachVectorSet(t.doc.m_SceneGraph, kNormalSetName,
                   [scale](CVectorSet3d& set) { set.SetLengthFactor(scale); });
}

// The three offsets: applied when they changed.
void ReadOffsets(CPanelTarget& t) {
  CCommandPanelState& panel = t.panel;
  const float line = ValueOf(panel, PanelSlider::LineOffset);
  if (line != panel.m_LineOffset) {
    panel.m_LineOffset = line;
    t.doc.m_OverlayLineOffset = line;
  }
  const float fill = ValueOf(panel, PanelSlider::FillOffset);
  if (fill != panel.m_FillOffset) {
    panel.m_FillOffset = fill;
    t.doc.m_FillOffset = fill;
  }
  const float sharp = ValueOf(panel, PanelSlider::SharpOffset);
  if (sharp != panel.m_SharpOffset) {
    panel.m_SharpOffset = sharp;
    ForEachVectorSet(t.doc.m_SceneGraph, nullptr,
                     [sharp](CVectorSet3d& set) { set.m_Parameter = sharp; });
  }
}

// With LOD mode on, only the selected object is shown.
void ReadLod(CPanelTarget& t) {
  if (!t.panel.m_LodMode) return;
  ShowLodLevel(t.panel, t.doc.m_SceneGraph);
}

} // namespace

int SpinPeriodMs(const CCommandPanelState& panel) {
  return 1000 / std::max(1, panel.Position(PanelSlider::Speed));
}

void ReadSliders(CPanelTarget& t) {
  CCommandPanelState& panel = t.panel;
  // scales, speed, line width, normals scale, offsets, perspective
  ReadViewSliders(t);
  ReadSpeed(t);
  t.doc.m_LineWidth = ValueOf(panel, PanelSlider::LineWidth);
  ReadNormalsScale(t);
  ReadOffsets(t);
  if (t.view) t.view->m_FieldOfView = panel.Value(PanelSlider::Perspective);
  // shininess, highlighting, camera opening, level of detail
  const float shininess = ValueOf(panel, PanelSlider::Shininess);
  ForEachSceneMaterial(t.doc.m_SceneGraph,
                       [shininess](CMaterial& material) { material.SetShininess(shininess); });
  t.doc.m_HighlightSize = ValueOf(panel, PanelSlider::Highlighting);
  if (CCamera3d* camera = panel.Camera(t.doc.m_SceneGraph))
    camera->SetOpening(ValueOf(panel, PanelSlider::Opening));
  ReadLod(t);
}

void MoveSlider(CPanelTarget& target, PanelSlider slider, int position) {
  target.panel.SetPosition(slider, position);
  ReadSliders(target);
}

} // namespace orvex
