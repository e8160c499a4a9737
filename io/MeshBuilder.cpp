#include "io/MeshBuilder.h"

#include "geometry/Mesh3d.h"
#include "io/ReadReport.h"
#include "io/TextFile.h"

int CMeshBuilder::AddFace(long long a, long long b, long long c, CReadReport& report,
                          CColor color) {
  const int n = NbVertex();
  if (a < 0 || b < 0 || c < 0 || a >= n || b >= n || c >= n) {
    report.skippedFaces++;
    return 0;
  }
  m_Face.push_back(Face{{int(a), int(b), int(c)}, color});
  return 1;
}

void CMeshBuilder::DropInvalidFaces(CReadReport& report) {
  const int n = NbVertex();
  size_t kept = 0;
  for (const Face& f : m_Face) {
    const int* c = f.corner;
    if (c[0] < 0 || c[1] < 0 || c[2] < 0 || c[0] >= n || c[1] >= n || c[2] >= n)
      report.skippedFaces++;
    else
      m_Face[kept++] = f;
  }
  m_Face.resize(kept);
}

int CMeshBuilder::SetVertexColor(int i, const CColor& color) {
  if (i < 0 || i >= NbVertex()) return 0;
  if (m_VertexColor.empty()) m_VertexColor.assign(static_cast<size_t>(NbVertex()), CColor());
  m_VertexColor[static_cast<size_t>(i)] = color;
  return 1;
}

void CMeshBuilder::AppendTo(CMesh3d* mesh) const {
  // vertices first, so that the faces can point at them
  const int first = mesh->NbVertex();
  const int nv = NbVertex();
  mesh->m_ArrayVertex.Reserve(first + nv);
  for (int i = 0; i < nv; i++) {
    const float* p = &m_Position[3 * static_cast<size_t>(i)];
    auto* v = new CVertex3d(p[0], p[1], p[2]);
    if (static_cast<size_t>(i) < m_VertexColor.size()) v->m_Color = m_VertexColor[size_t(i)];
    mesh->AddVertex(v);
  }

  // faces
  mesh->m_ArrayFace.Reserve(mesh->NbFace() + NbFace());
  for (const Face& f : m_Face) {
    auto* face =
        new CFace3d(mesh->GetVertex(first + f.corner[0]), mesh->GetVertex(first + f.corner[1]),
                    mesh->GetVertex(first + f.corner[2]));
    face->m_Color = f.color;
    mesh->AddFace(face);
  }
}

int ReadMeshTextFile(CMesh3d* mesh, const std::string& fileName, MeshTextReader reader,
                     CReadReport& report, std::string& error) {
  std::string text;
  if (!ReadWholeFile(fileName, text, error)) return 0;
  if (reader(mesh, text.data(), text.size(), report, error)) return 1;
  error = fileName + ": " + error;
  return 0;
}
