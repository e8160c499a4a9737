// The document's drawing step, called by a render view inside its model
// transform with its context current: the scene, then the highlights and
// the wireframe overlay. GL calls only; the view owns the context.

#include <GL/gl.h>

#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"

static const CColor kRed(255, 0, 0);
static const CColor kGreen(0, 255, 0);

static GLenum GlPolygonMode(COrvexDisplayState::PolygonMode mode) {
  switch (mode) {
  case COrvexDisplayState::Line:
    return GL_LINE;
  case COrvexDisplayState::Point:
    return GL_POINT;
  default:
    return GL_FILL;
  }
}

static void glEnableIf(GLenum capability, int on) {
  if (on)
    glEnable(capability);
  else
    glDisable(capability);
}

// Colors of every light; placement (in eye space: the modelview is the
// identity while it is set) of the lights the panel placed.
static void glApplyLights(const COrvexDisplayState& display) {
  for (int i = 0; i < COrvexDisplayState::kNbLight; i++) {
    const COrvexDisplayState::Light& light = display.m_Lights[i];
    const GLenum name = GL_LIGHT0 + static_cast<GLenum>(i);
    glEnableIf(name, light.m_bEnabled);
    if (!light.m_bEnabled) continue;
    glLightfv(name, GL_AMBIENT, light.m_Ambient);
    glLightfv(name, GL_DIFFUSE, light.m_Diffuse);
    glLightfv(name, GL_SPECULAR, light.m_Specular);
    if (!light.m_bPlaced) continue;
    glPushMatrix();
    glLoadIdentity();
    glLightfv(name, GL_POSITION, light.m_Position);
    glLightfv(name, GL_SPOT_DIRECTION, light.m_Direction);
    glPopMatrix();
  }
}

void COrvexDoc::glApplyDisplayState() const {
  glPolygonMode(GL_FRONT_AND_BACK, GlPolygonMode(m_Display.m_PolygonMode));
  glShadeModel(m_Display.m_bSmoothShading ? GL_SMOOTH : GL_FLAT);
  glEnableIf(GL_LIGHTING, m_bLighting);
  glApplyLights(m_Display);
  glEnableIf(GL_CULL_FACE, m_Display.m_bCulling);
  if (m_Display.m_bAntialiasing) {
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  } else {
    glDisable(GL_LINE_SMOOTH);
  }
  if (m_Display.m_bTexture2DOff) {
    glDisable(GL_TEXTURE_2D);
  } else if (m_Display.m_bTexture2D) {
    glEnable(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  }
}

void COrvexDoc::SetMeshDisplayLists(int on) {
  for (CObject3d* object : m_SceneGraph.m_ArrayObject)
    if (object->GetType() == TYPE_MESH3D) static_cast<CMesh3d*>(object)->m_DisplayListMode = on;
}

// Whatever draws a mesh while a command runs (the view, or a coder's own
// debug drawing) draws what the mesh holds now.
void COrvexDoc::BeginCommand() {
  std::lock_guard<std::mutex> lock(m_SceneLock);
  m_CommandDepth++;
  SetMeshDisplayLists(0);
}

// The modes that drawing reads are set here, once the last command ends,
// so that a paint only reads the document.
void COrvexDoc::EndCommand(bool sceneMayHaveChanged) {
  std::lock_guard<std::mutex> lock(m_SceneLock);
  if (m_CommandDepth > 0) m_CommandDepth--;
  if (m_CommandDepth > 0) return;
  if (sceneMayHaveChanged) m_SceneGraph.SetModifiedAll();
  // removals leave vacated slots that the next read would drop: drop them
  // now, so that paints and saves only read
  for (CObject3d* object : m_SceneGraph.m_ArrayObject)
    if (object->GetType() == TYPE_MESH3D) static_cast<CMesh3d*>(object)->SettleRemovals();
  // meshes (those the command added too) go back to their lists, except
  // while the visual-mode chooser is shown: its command turned them off
  SetMeshDisplayLists(m_SceneGraph.FindObjectOfType(TYPE_VISUAL_CHOOSER) ? 0 : 1);
  // an index left behind by a command that removed vertices or faces
  // restarts at 0
  ClampHighlightIndices();
  if (m_bWireframeOverlay && m_bGlobalColorOverlay) SwitchOffMeshColors();
}

// The overlay in one global color leaves the scene's single-color switch
// off: a mesh's list is rebuilt only when its color choice really changes.
void COrvexDoc::SwitchOffMeshColors() {
  for (CObject3d* object : m_SceneGraph.m_ArrayObject) {
    const int type = object->GetType();
    if (type == TYPE_MESH3D) {
      auto* mesh = static_cast<CMesh3d*>(object);
      if (!mesh->m_UseMeshColor) continue;
      mesh->m_UseMeshColor = 0;
      mesh->SetModified();
    } else if (type == TYPE_QUAD_MESH || type == TYPE_POLYGON_MESH) {
      if (auto* mesh = dynamic_cast<CSceneMesh3d*>(object)) {
        mesh->SetUseMeshColor(0);
        object->SetModified();
      }
    }
  }
}

// While a command runs, meshes are drawn immediately: their lists may be
// out of date.
static CDrawOptions OptionsForPaint(const COrvexDoc& doc, const CDrawOptions& viewOptions) {
  CDrawOptions options = viewOptions;
  if (doc.IsCommandRunning()) options.m_DisplayLists = false;
  return options;
}

void COrvexDoc::glDraw(const CDrawOptions& viewOptions) const {
  // a worker changing the scene holds this lock for each of its steps
  std::lock_guard<std::mutex> lock(m_SceneLock);
  if (m_SceneGraph.NbObject() == 0) return;
  const CDrawOptions options = OptionsForPaint(*this, viewOptions);

  glLineWidth(m_LineWidth);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(m_FillOffset, 1.0f);
  m_SceneGraph.glDraw(options);
  glDisable(GL_POLYGON_OFFSET_FILL);

  if (!m_bHighlightVertex && !m_bHighlightFace && !m_bHighlightSecondVertex && !m_bWireframeOverlay)
    return;

  GLint polygonMode[2] = {GL_FILL, GL_FILL};
  glGetIntegerv(GL_POLYGON_MODE, polygonMode);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDisable(GL_LIGHTING);

  if (const CMesh3d* mesh = GetFirstMesh()) glDrawHighlights(*mesh);
  if (m_bWireframeOverlay) glDrawWireframeOverlay(options);

  if (m_bLighting) glEnable(GL_LIGHTING);
  glPolygonMode(GL_FRONT, polygonMode[0]);
  glPolygonMode(GL_BACK, polygonMode[1]);
}

void COrvexDoc::glDrawAsLines(const CDrawOptions& viewOptions, float factor, float units) const {
  std::lock_guard<std::mutex> lock(m_SceneLock);
  const CDrawOptions options = OptionsForPaint(*this, viewOptions);
  glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_LIGHTING_BIT);
  glDisable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glEnable(GL_POLYGON_OFFSET_LINE);
  glPolygonOffset(factor, units);
  m_SceneGraph.glDraw(options);
  glPopAttrib();
}

// Marks of the vertices of the highlighted face: a twelfth of the vertex's
// size, taken as its mean distance to its neighbours.
static void glDrawFaceCorners(const CFace3d* face, const CTransform* transform) {
  for (int k = 0; k < 3; k++) {
    const CVertex3d* v = face->v(k);
    if (!v) continue;
    float size = static_cast<float>(v->MeanDistanceToNeighbors() / 12.0);
    v->glDrawHighlight(size, CColor(0, 0, static_cast<unsigned char>(100 * k)), transform);
  }
}

static void glDrawFaceEdges(const CFace3d* face, const CTransform* transform, const CColor& color) {
  glPushMatrix();
  if (transform) transform->glApply();
  glColor3ub(color.r, color.g, color.b);
  glBegin(GL_LINE_LOOP);
  for (int k = 0; k < 3; k++)
    if (const CVertex3d* v = face->v(k))
      glVertex3f(static_cast<float>(v->x), static_cast<float>(v->y), static_cast<float>(v->z));
  glEnd();
  glPopMatrix();
}

// The element at index, or null when the index is outside the array (the
// end of the next command brings it back; see EndCommand).
template <class T> static const T* ElementAt(const CArray3d<T>& array, int index) {
  return index >= 0 && index < array.GetSize() ? array[index] : nullptr;
}

void COrvexDoc::glDrawHighlights(const CMesh3d& mesh) const {
  const CTransform* transform = &mesh.m_Transform;
  if (m_bHighlightVertex)
    if (const CVertex3d* v = ElementAt(mesh.m_ArrayVertex, m_HighlightVertexIndex)) {
      v->glDrawHighlight(m_HighlightSize, kRed, transform);
      for (int i = 0; i < v->NbNeighbor(); i++)
        v->GetNeighbor(i)->glDrawHighlight(m_HighlightSize / 2.0f, kGreen, transform);
    }
  if (m_bHighlightSecondVertex)
    if (const CVertex3d* v = ElementAt(mesh.m_ArrayVertex, m_HighlightSecondVertexIndex))
      v->glDrawHighlight(m_HighlightSize, kGreen, transform);
  if (m_bHighlightFace)
    if (const CFace3d* face = ElementAt(mesh.m_ArrayFace, m_HighlightFaceIndex)) {
      face->glDrawHighlight(kRed, transform, nullptr);
      glDrawFaceEdges(face, transform, kGreen);
      glDrawFaceCorners(face, transform);
    }
}

// With the global color, the triangle meshes are drawn immediately in
// their mesh color (going through the lists would rebuild them twice on
// every paint); the quad and polygon meshes are left out.
void COrvexDoc::glDrawWireframeOverlay(const CDrawOptions& options) const {
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glEnable(GL_POLYGON_OFFSET_LINE);
  glPolygonOffset(m_OverlayLineOffset, -1.0f);
  if (m_bGlobalColorOverlay) {
    CDrawOptions inMeshColor = options;
    inMeshColor.m_ForceMeshColor = true;
    for (CObject3d* object : m_SceneGraph.m_ArrayObject)
      if (object->GetType() == TYPE_MESH3D)
        static_cast<const CMesh3d*>(object)->DrawContent(inMeshColor);
  } else {
    m_SceneGraph.glDrawType(TYPE_MESH3D, options);
    m_SceneGraph.glDrawType(TYPE_QUAD_MESH, options);
    m_SceneGraph.glDrawType(TYPE_POLYGON_MESH, options);
  }
  glDisable(GL_POLYGON_OFFSET_LINE);
}
