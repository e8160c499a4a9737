#include "io/MeshBuilder.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "geometry/Mesh3d.h"
#include "io/AppendElements.h"
#include "io/ReadReport.h"
#include "io/TextFile.h"

static std::string Count(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

int CMeshBuilder::AddVertex(float x, float y, float z) {
  m_Position.push_back(x);
  m_Position.push_back(y);
  m_Position.push_back(z);
  return NbVertex() - 1;
}

bool CMeshBuilder::SetVertexColor(int i, const CColor& color) {
  if (i < 0 || i >= NbVertex()) {
    m_Error = "color of vertex " + std::to_string(i) + ": " +
              Count(NbVertex(), "vertex", "vertices") + " read";
    return false;
  }
  // vertices may still follow: the colors grow with them
  if (m_VertexColor.size() < m_Position.size() / 3) m_VertexColor.resize(m_Position.size() / 3);
  m_VertexColor[static_cast<size_t>(i)] = color;
  return true;
}

bool CMeshBuilder::SetVertexNormal(int i, float x, float y, float z) {
  if (i < 0 || i >= NbVertex()) {
    m_Error = "normal of vertex " + std::to_string(i) + ": " +
              Count(NbVertex(), "vertex", "vertices") + " read";
    return false;
  }
  if (m_Normal.size() < m_Position.size()) m_Normal.resize(m_Position.size(), 0.0f);
  float* n = &m_Normal[3 * static_cast<size_t>(i)];
  n[0] = x;
  n[1] = y;
  n[2] = z;
  return true;
}

int CMeshBuilder::AddTexCoord(float u, float v) {
  m_TexCoord.push_back(u);
  m_TexCoord.push_back(v);
  return NbTexCoord() - 1;
}

bool CMeshBuilder::TexCoordsComplete(std::string* why) const {
  std::string reason;
  if (m_TexCoord.empty() || m_Face.empty()) {
    reason = "no texture coordinates";
  } else if (m_TexMissing || m_TexCorner.size() != 3 * m_Face.size()) {
    reason = "a face has no texture coordinates";
  } else {
    for (int t : m_TexCorner)
      if (t < 0 || t >= NbTexCoord()) {
        reason = "texture corner " + std::to_string(t) + " is not a texture point (" +
                 std::to_string(NbTexCoord()) + " given)";
        break;
      }
  }
  if (why) *why = reason;
  return reason.empty();
}

bool CMeshBuilder::Refuse(CReadReport& report, const std::string& why) {
  report.skippedFaces++;
  m_Error = why;
  return false;
}

void CMeshBuilder::AddFan(const long long* vertex, const int* tex, size_t size, bool reverse,
                          CColor color) {
  for (size_t k = 1; k + 1 < size; k++) {
    size_t corner[3] = {0, k, k + 1};
    if (reverse) std::swap(corner[1], corner[2]);
    Face face{{int(vertex[corner[0]]), int(vertex[corner[1]]), int(vertex[corner[2]])}, color};
    m_Face.push_back(face);
    for (size_t c : corner) {
      if (m_TexPerVertex)
        m_TexCorner.push_back(int(vertex[c]));
      else if (tex)
        m_TexCorner.push_back(tex[c]);
    }
    if (!m_TexPerVertex && !tex) m_TexMissing = true;
  }
  if (m_KeepPolygonSize) m_PolygonSize.push_back(static_cast<int>(size));
}

bool CMeshBuilder::AddFace(long long a, long long b, long long c, CReadReport& report,
                           CColor color) {
  m_NbPolygon++;
  const long long nv = NbVertex();
  const long long vertex[3] = {a, b, c};
  for (long long v : vertex)
    if (v < 0 || v >= nv)
      return Refuse(report, "face " + std::to_string(m_NbPolygon) + ": corner " +
                                std::to_string(v) + " is not a vertex (" +
                                Count(nv, "vertex", "vertices") + ")");
  if (m_TexPerVertex) {
    AddFan(vertex, nullptr, 3, false, color);
    return true;
  }
  // a triangle without texture corners, as AddFan adds it: the common case
  m_Face.push_back(Face{{int(a), int(b), int(c)}, color});
  if (m_KeepPolygonSize) m_PolygonSize.push_back(3);
  m_TexMissing = true;
  return true;
}

bool CMeshBuilder::AddPolygon(const CPolygon& p, CReadReport& report) {
  m_NbPolygon++;
  const long long n = p.blockSize >= 0 ? p.blockSize : NbVertex();
  m_Corner.resize(p.size);
  for (size_t k = 0; k < p.size; k++) {
    const long long corner = p.corners[k];
    const long long v = corner + p.base;
    const bool inBlock = p.blockSize < 0 || (corner >= 0 && corner < p.blockSize);
    if (!inBlock || v < 0 || v >= NbVertex())
      return Refuse(report, "face " + std::to_string(m_NbPolygon) + ": corner " +
                                std::to_string(corner) + " is not a vertex (" +
                                Count(n, "vertex", "vertices") + ")");
    m_Corner[k] = v;
  }
  if (p.size < 3) {
    m_Error = "face " + std::to_string(m_NbPolygon) + ": " +
              Count(static_cast<long long>(p.size), "corner", "corners") + ", at least 3 needed";
    return false;
  }
  AddFan(m_Corner.data(), p.texCorners, p.size, p.reverse, p.color);
  return true;
}

void CMeshBuilder::AppendTo(CMesh3d* mesh) const {
  const int firstFace = mesh->NbFace();
  AppendElements(
      mesh, static_cast<size_t>(NbVertex()),
      [this](size_t k, void* block) {
        const float* p = &m_Position[3 * k];
        auto* v = ::new (block) CVertex3d(p[0], p[1], p[2]);
        if (k < m_VertexColor.size()) v->m_Color = m_VertexColor[k];
        if (3 * k + 2 < m_Normal.size())
          v->m_Normal.Set(m_Normal[3 * k], m_Normal[3 * k + 1], m_Normal[3 * k + 2]);
        return v;
      },
      m_Face.size(),
      [this](size_t k, int c[3]) {
        for (int i = 0; i < 3; i++) c[i] = m_Face[k].corner[i];
      },
      [this](size_t k, CFace3d* face) { face->m_Color = m_Face[k].color; });

  // texture coordinates index the faces from the first: only for a new mesh
  if (firstFace == 0 && TexCoordsComplete())
    mesh->SetTextureCoordinates(m_TexCoord.data(), NbTexCoord(), m_TexCorner.data(), NbFace());
}

// The file's bytes handed to read; the error names the file.
template <class Read>
static int ReadMeshFile(const std::string& fileName, Read read, std::string& error) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes, error)) return 0;
  if (read(bytes)) return 1;
  error = fileName + ": " + error;
  return 0;
}

int ReadMeshTextFile(CMesh3d* mesh, const std::string& fileName, const MeshTextReader& reader,
                     CReadReport& report, std::string& error) {
  return ReadMeshFile(
      fileName,
      [&](const std::string& bytes) {
        return reader(mesh, bytes.data(), bytes.size(), report, error) != 0;
      },
      error);
}

int ReadMeshBinaryFile(CMesh3d* mesh, const std::string& fileName, MeshBinaryReader reader,
                       CReadReport& report, std::string& error) {
  return ReadMeshFile(
      fileName,
      [&](const std::string& bytes) {
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        return reader(mesh, data, bytes.size(), report, error) != 0;
      },
      error);
}
