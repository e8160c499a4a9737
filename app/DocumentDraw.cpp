// The document's drawing step, called by a render view inside its model
// transform with its context current: the scene, then the highlights and
// the wireframe overlay. GL calls only; the view owns the context.

#include <GL/gl.h>

#include "app/OrvexDoc.h"
#include "geometry/Mesh3d.h"

static const CColor kRed(255, 0, 0);
static const CColor kGreen(0, 255, 0);

void COrvexDoc::glApplyDisplayState() const {
  glPolygonMode(GL_FRONT_AND_BACK,
                m_Display.m_PolygonMode == COrvexDisplayState::Line ? GL_LINE : GL_FILL);
  glShadeModel(m_Display.m_bSmoothShading ? GL_SMOOTH : GL_FLAT);
  if (m_bLighting)
    glEnable(GL_LIGHTING);
  else
    glDisable(GL_LIGHTING);
  if (m_Display.m_bTexture2D) {
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
  m_CommandDepth++;
  SetMeshDisplayLists(0);
}

void COrvexDoc::EndCommand(bool sceneMayHaveChanged) {
  if (m_CommandDepth > 0) m_CommandDepth--;
  if (m_CommandDepth == 0 && sceneMayHaveChanged) m_SceneGraph.SetModifiedAll();
}

void COrvexDoc::glDraw() {
  if (m_SceneGraph.NbObject() == 0) return;

  // meshes added since the last draw join in
  SetMeshDisplayLists(IsCommandRunning() ? 0 : 1);

  glLineWidth(m_LineWidth);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(m_FillOffset, 1.0f);
  m_SceneGraph.glDraw();
  glDisable(GL_POLYGON_OFFSET_FILL);

  if (!m_bHighlightVertex && !m_bHighlightFace && !m_bHighlightSecondVertex && !m_bWireframeOverlay)
    return;

  GLint polygonMode[2] = {GL_FILL, GL_FILL};
  glGetIntegerv(GL_POLYGON_MODE, polygonMode);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDisable(GL_LIGHTING);

  if (CMesh3d* mesh = GetFirstMesh()) glDrawHighlights(mesh);
  if (m_bWireframeOverlay) glDrawWireframeOverlay();

  if (m_bLighting) glEnable(GL_LIGHTING);
  glPolygonMode(GL_FRONT, polygonMode[0]);
  glPolygonMode(GL_BACK, polygonMode[1]);
}

// Marks of the vertices of the highlighted face: a twelfth of the vertex's
// size, taken as its mean distance to its neighbours.
static void glDrawFaceCorners(CFace3d* face, const CTransform* transform) {
  for (int k = 0; k < 3; k++) {
    CVertex3d* v = face->v(k);
    if (!v) continue;
    float size = static_cast<float>(v->MeanDistanceToNeighbors() / 12.0);
    v->glDrawHighlight(size, CColor(0, 0, static_cast<unsigned char>(100 * k)), transform);
  }
}

static void glDrawFaceEdges(CFace3d* face, const CTransform* transform, const CColor& color) {
  glPushMatrix();
  if (transform) transform->glApply();
  glColor3ub(color.r, color.g, color.b);
  glBegin(GL_LINE_LOOP);
  for (int k = 0; k < 3; k++)
    if (CVertex3d* v = face->v(k))
      glVertex3f(static_cast<float>(v->x), static_cast<float>(v->y), static_cast<float>(v->z));
  glEnd();
  glPopMatrix();
}

// Every index is brought back into the mesh before use (an index left
// behind by a command that removed vertices or faces restarts at 0).
void COrvexDoc::glDrawHighlights(CMesh3d* mesh) {
  ClampHighlightIndices();
  const CTransform* transform = &mesh->m_Transform;
  if (m_bHighlightVertex && mesh->NbVertex() > 0) {
    CVertex3d* v = mesh->GetVertex(m_HighlightVertexIndex);
    v->glDrawHighlight(m_HighlightSize, kRed, transform);
    for (int i = 0; i < v->NbNeighbor(); i++)
      v->GetNeighbor(i)->glDrawHighlight(m_HighlightSize / 2.0f, kGreen, transform);
  }
  if (m_bHighlightSecondVertex && mesh->NbVertex() > 0)
    mesh->GetVertex(m_HighlightSecondVertexIndex)
        ->glDrawHighlight(m_HighlightSize, kGreen, transform);
  if (m_bHighlightFace && mesh->NbFace() > 0) {
    CFace3d* face = mesh->GetFace(m_HighlightFaceIndex);
    face->glDrawHighlight(kRed, transform, nullptr);
    glDrawFaceEdges(face, transform, kGreen);
    glDrawFaceCorners(face, transform);
  }
}

void COrvexDoc::glDrawWireframeOverlay() {
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glEnable(GL_POLYGON_OFFSET_LINE);
  glPolygonOffset(m_OverlayLineOffset, -1.0f);
  if (m_bGlobalColorOverlay) {
    glDrawOverlayInMeshColor();
  } else {
    m_SceneGraph.glDrawType(TYPE_MESH3D);
    m_SceneGraph.glDrawType(TYPE_QUAD_MESH);
    m_SceneGraph.glDrawType(TYPE_POLYGON_MESH);
  }
  glDisable(GL_POLYGON_OFFSET_LINE);
}

// The triangle meshes in their single mesh color, drawn immediately: going
// through the lists would rebuild them twice on every paint. The switch
// ends off on every mesh, as the scene's single-color switch leaves it; a
// mesh's list is rebuilt only when its color choice really changed.
void COrvexDoc::glDrawOverlayInMeshColor() {
  for (CObject3d* object : m_SceneGraph.m_ArrayObject) {
    const int type = object->GetType();
    if (type == TYPE_MESH3D) {
      auto* mesh = static_cast<CMesh3d*>(object);
      const int before = mesh->m_UseMeshColor;
      mesh->m_UseMeshColor = 1;
      mesh->DrawContent();
      mesh->m_UseMeshColor = 0;
      if (before) mesh->SetModified();
    } else if (type == TYPE_QUAD_MESH || type == TYPE_POLYGON_MESH) {
      if (auto* mesh = dynamic_cast<CSceneMesh3d*>(object)) {
        mesh->SetUseMeshColor(0);
        object->SetModified();
      }
    }
  }
}
