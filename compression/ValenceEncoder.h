#pragma once

#include <functional>
#include <string>
#include <vector>

class CMesh3d;

namespace orvex {

// Scaling of the normal parameter of the geometry coder, in the order of
// the "Normalization" list.
enum class ValenceNormalization { Nothing = 0, Unitary, EdgeLength, FaceArea, FacePerimeter };

// Options of one run of the valence-driven connectivity coder (the fields
// of the "Valence-centered encoding" dialog that act on a single seed).
struct CValenceOptions {
  // Packed output file; "codes.txt", "codes.bin" and "pos.bin" are written
  // beside it in the same folder. Empty: no file is written (rates are
  // still computed from the bits the coders produce in memory).
  std::string m_PackedFile = "mesh.bin";
  int m_SeedFace = 0;
  int m_bDeterministic = 0;
  int m_bRemoveGhost = 1;
  int m_bStackRun = 0;
  int m_bLimitConquest = 0;
  int m_LimitSteps = 0;
  // kept for the dialog; free degrees are kept up to date face by face, so
  // no edge list is needed and the option changes nothing
  int m_bEdgeList = 1;
  // geometry coder
  int m_bGeometry = 0;
  int m_NormalBits = 8;
  int m_ParamBits = 8;
  ValenceNormalization m_Normalization = ValenceNormalization::Nothing;
  // visual debugging: colour the conquest and call m_Redraw every
  // m_UpdateEach steps, then sleep m_DelayMs
  int m_bDebug = 0;
  int m_UpdateEach = 1;
  int m_DelayMs = 0;
  std::function<void()> m_Redraw;
};

// Outcome of one run.
struct CValenceResult {
  // 0 when the run could not be made (no mesh, seed out of range, a code
  // that does not fit the packed layout, ...); m_Error says why.
  int m_Ok = 0;
  std::string m_Error;
  // Problems met during the conquest that did not stop it (merge without a
  // second list, merge vertex not found, split vertex missing from the
  // ranking), with the texts the user sees.
  std::vector<std::string> m_Warnings;
  // the split ranking failed: the run ended early and its rate is partial
  int m_bEndedEarly = 0;

  std::vector<int> m_Codes;
  int m_NbVertex = 0; // vertices of the coded mesh, the ghost included when there is one
  int m_NbFace = 0;   // faces of the mesh as given (without the ghost's faces)
  int m_bHasGhost = 0;
  int m_Adds = 0;
  int m_Splits = 0;
  int m_Completions = 0;
  int m_Merges = 0; // merges made (code 2 without a warning)
  int m_Steps = 0;
  long long m_ConnectivityBits = 0; // bits of the packed file, header included
  double m_ConnectivityRate = 0.0;  // (bits - 8) / m_NbVertex, b/v
  // geometry (with m_bGeometry)
  long long m_GeometryBits = 0;
  double m_GeometryRate = 0.0; // bits of "pos.bin" per element, as reported
  double m_Psnr = 0.0;
  double m_L2 = 0.0;
  double m_Seconds = 0.0;
  // the files this run wrote, in the order written
  std::vector<std::string> m_Files;
};

// Conquers the mesh once from the seed face and codes its connectivity
// (and geometry). The mesh must have its adjacency built. Afterwards it is
// as before (ghost vertex and faces removed when m_bRemoveGhost), except
// vertex flags (conquest state: 0 free, 1 reached, 2 ghost), face flags
// (1 conquered), with m_bDebug colours, and with m_bGeometry the saved
// positions, which receive the reconstructed (quantized) positions that the
// quantized mode shows. Returns m_Ok.
int EncodeValence(CMesh3d* mesh, const CValenceOptions& options, CValenceResult* result);

// Entropy of the valence sequence of a mesh's vertices (bits per vertex),
// the yardstick a connectivity rate is compared with.
double ValenceEntropy(const CMesh3d& mesh);

} // namespace orvex
