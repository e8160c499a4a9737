#pragma once

#include <string>
#include <vector>

#include "compression/GateConquest.h"
#include "compression/GateFiles.h"
#include "compression/GatePolygonFile.h"

class CMesh3d;
class CPolygonMesh;
class CQuadMesh;

namespace orvex {

// What the gate coders' commands ask for.
struct CGateRequest {
  CGateOptions m_Options;
  int m_Order = 1;
  std::string m_File;
  // the triangle coder's second file, the paired codes ("packed.bin")
  std::string m_PackedFile;
  // polygon coder: encode with every order and keep the smallest file
  bool m_ChooseBestOrder = false;
  CGateGeometryOptions m_Geometry;
};

// What one encoding run gave.
struct CGateRun {
  CGateConquest m_Conquest;
  CGateFileBits m_Bits;
  CGateFileBits m_PackedBits;
  int m_NbVertex = 0; // the mesh's vertices (the rates divide by them)
  int m_NbFace = 0;
  int m_Order = 0;
  CGateGeometryOptions m_Geometry; // how the positions were written
  double m_Seconds = 0.0;
  std::vector<std::string> m_Files;
  std::string m_Error;

  double Rate(uint32_t bits) const { return m_NbVertex > 0 ? double(bits) / m_NbVertex : 0.0; }
  // faces per second, the time floored at a millisecond
  double Speed() const;
};

// The mesh as flat arrays: positions (3 floats a vertex) and corners.
struct CGateArrays {
  std::vector<float> m_Xyz;
  std::vector<int> m_Sizes;
  std::vector<int> m_Corners;
};
void TriangleArrays(const CMesh3d& mesh, CGateArrays& arrays);
void QuadArrays(const CQuadMesh& mesh, CGateArrays& arrays);
// A polygon mesh of triangles and quads (larger faces are refused).
int PolygonArrays(const CPolygonMesh& mesh, CGateArrays& arrays, std::string& error);

// Encodes the arrays and writes the file(s) of the request (no file when
// its name is empty). 0 with run.m_Error set when refused.
int RunGateEncoding(const CGateArrays& arrays, GateFaces faces, const CGateRequest& request,
                    CGateRun& run);

// Reads and decodes a file; 0 with error set (naming the file) on failure.
int ReadGateFile(const std::string& path, GateFaces faces, bool adaptive, CGateDecoded& decoded,
                 std::string& error);

// The decoded mesh limited to its first nbFace faces (all when negative).
CMesh3d* NewGateTriangleMesh(const CGateDecoded& decoded, int nbFace = -1);
CQuadMesh* NewGateQuadMesh(const CGateDecoded& decoded);
CPolygonMesh* NewGatePolygonMesh(const CGateDecoded& decoded);

// Texts of the commands: the "Compression Result" report and the status
// bar lines.
std::string GateResultText(const CGateRun& run, GateFaces faces);
std::string GateTriangleStatus(const CGateRun& run);
std::string GateQuadStatus(const CGateRun& run);
std::string GatePolygonStatus(const CGateRun& run);
// "Code distribution" and one line per polygon code ("ghost" counts the
// end symbol).
std::string GateCodeDistribution(const CGateRun& run);
// The seed study's header and one row.
std::string GateSeedTableHeader();
std::string GateSeedRow(int seed, const CGateRun& run);
std::string GateSeedStatus(int seed, int nbSeed, const CGateRun& run);
std::string GatePolygonSeedRow(int seed, const CGateRun& run);
std::string GatePolygonSeedStatus(int seed, const CGateRun& run);

} // namespace orvex
