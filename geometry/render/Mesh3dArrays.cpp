// Drawing the faces of a mesh as one indexed vertex-array call. A vertex
// shared by six faces is then sent, lit and transformed once instead of six
// times, which is what a software renderer spends most of a frame on. The
// picture is the one the face-by-face path draws: same triangles in the same
// order, same normals and colours; the path only applies when every corner
// can share its vertex (vertex normals, vertex colours or one colour for all
// faces, no texture coordinates, every corner in the mesh's vertex array).

#include <GL/gl.h>

#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/VertexIndexMap.h"
#include "geometry/render/ObjectDrawers.h"

// The single colour of every drawable face, when they share one.
static bool CommonFaceColor(const CMesh3d* mesh, CColor& color) {
  bool found = false;
  for (int i = 0; i < mesh->NbFace(); i++) {
    const CFace3d* f = mesh->GetFace(i);
    if (!f || f->HasNullVertex()) continue;
    if (!found) {
      color = f->m_Color;
      found = true;
    } else if (f->m_Color.r != color.r || f->m_Color.g != color.g || f->m_Color.b != color.b) {
      return false;
    }
  }
  return true;
}

// Corner indices of the drawable faces, in face order; false when a corner
// is not in the vertex array.
static bool CornerIndices(const CMesh3d* mesh, const CVertexIndexMap& indexer,
                          std::vector<GLuint>& indices) {
  indices.clear();
  indices.reserve(3 * static_cast<size_t>(mesh->NbFace()));
  for (int i = 0; i < mesh->NbFace(); i++) {
    const CFace3d* f = mesh->GetFace(i);
    if (!f || f->HasNullVertex()) continue;
    for (int k = 0; k < 3; k++) {
      int index = indexer.IndexOf(f->v(k));
      if (index < 0) return false;
      indices.push_back(static_cast<GLuint>(index));
    }
  }
  return true;
}

int glDrawFacesIndexed(const CMesh3d* mesh, bool textured, bool useMeshColor) {
  if (textured || mesh->m_NormalBinding != 0) return 0;

  // colour source: one colour, or one per vertex
  bool vertexColors = !useMeshColor && mesh->m_ColorBinding == 0;
  CColor common;
  if (!useMeshColor && !vertexColors && !CommonFaceColor(mesh, common)) return 0;

  // flat arrays of the vertices; a null slot is never indexed
  const CVertexIndexMap indexer(mesh->m_ArrayVertex);
  std::vector<GLuint> indices;
  if (!CornerIndices(mesh, indexer, indices)) return 0;
  if (indices.empty()) return 1;
  int nv = mesh->NbVertex();
  std::vector<GLfloat> positions(3 * static_cast<size_t>(nv), 0.0f);
  std::vector<GLfloat> normals(3 * static_cast<size_t>(nv), 0.0f);
  std::vector<GLubyte> colors(vertexColors ? 3 * static_cast<size_t>(nv) : 0, 0);
  for (int i = 0; i < nv; i++) {
    const CVertex3d* v = mesh->GetVertex(i);
    if (!v) continue;
    size_t at = 3 * static_cast<size_t>(i);
    positions[at] = static_cast<GLfloat>(v->x);
    positions[at + 1] = static_cast<GLfloat>(v->y);
    positions[at + 2] = static_cast<GLfloat>(v->z);
    normals[at] = static_cast<GLfloat>(v->m_Normal.x);
    normals[at + 1] = static_cast<GLfloat>(v->m_Normal.y);
    normals[at + 2] = static_cast<GLfloat>(v->m_Normal.z);
    if (vertexColors) {
      colors[at] = v->m_Color.r;
      colors[at + 1] = v->m_Color.g;
      colors[at + 2] = v->m_Color.b;
    }
  }

  // one call; a display list being compiled keeps a copy of the arrays
  if (!useMeshColor && !vertexColors) glColor3ub(common.r, common.g, common.b);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, positions.data());
  glNormalPointer(GL_FLOAT, 0, normals.data());
  if (vertexColors) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(3, GL_UNSIGNED_BYTE, 0, colors.data());
  }
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT,
                 indices.data());
  glPopClientAttrib();
  return 1;
}
