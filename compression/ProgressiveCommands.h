#pragma once

// The progressive valence coder's commands on a triangle mesh, without any
// user interface: encoding to a ".vpm" file (with its levels and report),
// decoding a file into a mesh, applying one layer file to a mesh, and the
// connectivity rate of the geometry compression study.

#include <string>
#include <vector>

#include "compression/ProgressiveDecoder.h"
#include "compression/ProgressiveEncoder.h"
#include "compression/VpmFile.h"

class CMesh3d;

namespace orvex {

struct CProgressiveRequest {
  CProgressiveOptions m_Options;
  std::string m_File;       // the ".vpm" file; empty: none written
  std::string m_LevelsFile; // every level as VRML; empty: none
};

struct CProgressiveRun {
  int m_Ok = 0;
  std::string m_Error;
  CProgressiveEncoding m_Encoding;
  CVpmSizes m_Sizes;
  int m_NbFace = 0; // faces of the mesh encoded
  double m_Seconds = 0.0;
  std::vector<std::string> m_Files; // written, in order
};

// Encodes a copy of the mesh (the mesh itself is only read) and writes the
// file and the levels the request names. On failure nothing is written.
int RunProgressiveEncoding(const CMesh3d& mesh, const CProgressiveRequest& request,
                           CProgressiveRun& run);
// "speed: %g faces/s", the time floored at a millisecond.
std::string ProgressiveSpeedText(const CProgressiveRun& run);
// The assessment box: base size, connectivity and geometry bits per
// removed vertex, total bits and bits per vertex, layers.
std::string ProgressiveAssessmentText(const CProgressiveRun& run);

// Reads and decodes a ".vpm" file into out (replacing its vertices and
// faces), up to options.m_MaxLayers layers (0: all). 0 with error when the
// file cannot be read or is refused.
int DecodeProgressiveFile(const std::string& path, const CDecodeOptions& options, CMesh3d& out,
                          std::string& error);

// Applies one layer file to the mesh: its vertices are put back at the
// barycenters of their patches. added receives their number.
int ApplyLayerFile(CMesh3d& mesh, const std::string& path, int& added, std::string& error);

// The geometry compression study: encodes without writing and counts the
// bits of all layers' codes with an order-k context coder.
struct CCodeRate {
  int m_Ok = 0;
  std::string m_Error;
  long long m_Bits = 0;
  int m_Removed = 0;
  double m_BitsPerRemoved = 0.0;
};
int RunProgressiveCodeRate(const CMesh3d& mesh, const CProgressiveOptions& options, int order,
                           CCodeRate& rate);

// The whole contents of a file; false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);

} // namespace orvex
