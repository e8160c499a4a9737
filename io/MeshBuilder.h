#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "geometry/Color.h"

#include <cfloat>
#include <cmath>

class CMesh3d;
struct CReadReport;

// A double as a float, infinite beyond the float range (a plain conversion
// of such a value is undefined).
inline float NarrowToFloat(double v) {
  if (v > FLT_MAX) return HUGE_VALF;
  if (v < -FLT_MAX) return -HUGE_VALF;
  return static_cast<float>(v);
}

// Geometry collected by a reader before it touches the mesh, so that a file
// refused halfway leaves the mesh as it was. Face corners are indices into
// the collected vertices and are checked when the face is added.
class CMeshBuilder {
public:
  struct Face {
    int corner[3];
    CColor color;
  };

  std::vector<float> m_Position;     // x, y, z per vertex
  std::vector<CColor> m_VertexColor; // empty, or one per vertex
  std::vector<Face> m_Face;

  int NbVertex() const { return static_cast<int>(m_Position.size() / 3); }
  int NbFace() const { return static_cast<int>(m_Face.size()); }
  void AddVertex(float x, float y, float z) {
    m_Position.push_back(x);
    m_Position.push_back(y);
    m_Position.push_back(z);
  }
  // Adds the face when its three indices are vertices, else counts it as
  // skipped in report; returns 1 when added.
  int AddFace(long long a, long long b, long long c, CReadReport& report, CColor color = CColor());
  // Drops the faces (added unchecked to m_Face) that name a vertex outside
  // the vertices read, counting them as skipped.
  void DropInvalidFaces(CReadReport& report);
  // Colors vertex i (the others stay white); 0 when i is not a vertex.
  int SetVertexColor(int i, const CColor& color);

  // Appends the vertices and faces to the mesh (new vertices: zero normal,
  // white unless colored, flag 0; faces: white unless colored).
  void AppendTo(CMesh3d* mesh) const;
};

// The in-memory reader behind a plain-format file reader.
using MeshTextReader = int (*)(CMesh3d* mesh, const char* data, size_t size, CReadReport& report,
                               std::string& error);

// Reads the whole file and hands it to reader; the error names the file.
int ReadMeshTextFile(CMesh3d* mesh, const std::string& fileName, MeshTextReader reader,
                     CReadReport& report, std::string& error);
