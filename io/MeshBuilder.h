#pragma once

#include <cstddef>
#include <functional>
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

// One polygon as a file gives it: corner indices into the vertices, with
// how to read them.
struct CPolygon {
  const int* corners = nullptr;
  size_t size = 0;
  // Added to every corner: -1 for files counting from 1, or the place of
  // the first point of the block the corners index.
  long long base = 0;
  // When >= 0, the corners index a block of that many vertices from base;
  // a corner outside the block is refused even if base + corner is a vertex.
  long long blockSize = -1;
  bool reverse = false;            // clockwise: the fan is turned over
  const int* texCorners = nullptr; // one texture point per corner, or none
  CColor color;                    // of every triangle of the polygon
};

// Geometry collected by a reader before it touches the mesh, so that a file
// refused halfway leaves the mesh as it was. Every index a file gives is
// checked once, here: faces whose corners are not vertices are skipped and
// counted in the read report, and Error() says why the last one was.
//
// Polygons of any size are split as fans from their first corner for the
// triangle mesh; once KeepPolygonSizes() is called, m_PolygonSize keeps the
// size of each polygon added (its triangles follow each other in m_Face),
// for readers of polygon meshes.
class CMeshBuilder {
public:
  struct Face {
    int corner[3];
    CColor color;
  };

  std::vector<float> m_Position;     // x, y, z per vertex
  std::vector<CColor> m_VertexColor; // empty, or one per vertex
  std::vector<float> m_Normal;       // empty, or x, y, z per vertex
  std::vector<float> m_TexCoord;     // u, v per texture point
  std::vector<int> m_TexCorner;      // texture point per face corner (3 per face)
  std::vector<Face> m_Face;
  std::vector<int> m_PolygonSize; // corners of each polygon added, in face order

  int NbVertex() const { return static_cast<int>(m_Position.size() / 3); }
  int NbFace() const { return static_cast<int>(m_Face.size()); }
  int NbTexCoord() const { return static_cast<int>(m_TexCoord.size() / 2); }
  const std::string& Error() const { return m_Error; }

  // Returns the new vertex's index.
  int AddVertex(float x, float y, float z);
  // Per-vertex attributes; false (with Error()) when i is not a vertex.
  // Vertices without a color stay white, without a normal get a zero one.
  bool SetVertexColor(int i, const CColor& color);
  bool SetVertexNormal(int i, float x, float y, float z);

  // Texture points, used by the faces' corners: per corner (CPolygon's
  // texCorners), or per vertex once UseTexCoordPerVertex() is called (the
  // corner's vertex index is its texture point).
  int AddTexCoord(float u, float v);
  void UseTexCoordPerVertex() { m_TexPerVertex = true; }
  // Records the size of every polygon added from now on in m_PolygonSize.
  void KeepPolygonSizes() { m_KeepPolygonSize = true; }
  // True when every face has texture corners that all name a texture
  // point; else false, with the reason in why when given.
  bool TexCoordsComplete(std::string* why = nullptr) const;

  // Adds the triangle when its three indices are vertices, else counts it
  // as skipped in report; returns true when added.
  bool AddFace(long long a, long long b, long long c, CReadReport& report, CColor color = CColor());
  // Adds the polygon's fan when every corner is a vertex; a polygon with a
  // corner outside is skipped whole and counted, one of fewer than three
  // corners gives nothing (not counted). True when triangles were added.
  bool AddPolygon(const CPolygon& polygon, CReadReport& report);

  // Appends the vertices and faces to the mesh (new vertices: white unless
  // colored, zero normal unless given, flag 0; faces: white unless
  // colored). The texture coordinates go with them when they are complete
  // and the mesh had no face before.
  void AppendTo(CMesh3d* mesh) const;

private:
  bool Refuse(CReadReport& report, const std::string& why);
  void AddFan(const long long* vertex, const int* tex, size_t size, bool reverse, CColor color);

  bool m_TexPerVertex = false;
  bool m_KeepPolygonSize = false;
  bool m_TexMissing = false; // a face came without texture corners
  int m_NbPolygon = 0;       // polygons and faces offered, for messages
  std::vector<long long> m_Corner;
  std::string m_Error;
};

// The in-memory reader behind a plain-format file reader.
using MeshTextReader = std::function<int(CMesh3d* mesh, const char* data, size_t size,
                                         CReadReport& report, std::string& error)>;

// Reads the whole file and hands it to reader; the error names the file.
int ReadMeshTextFile(CMesh3d* mesh, const std::string& fileName, const MeshTextReader& reader,
                     CReadReport& report, std::string& error);

// The same for the readers of binary formats.
using MeshBinaryReader = int (*)(CMesh3d* mesh, const unsigned char* data, size_t size,
                                 CReadReport& report, std::string& error);
int ReadMeshBinaryFile(CMesh3d* mesh, const std::string& fileName, MeshBinaryReader reader,
                       CReadReport& report, std::string& error);
