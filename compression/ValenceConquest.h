#pragma once

#include <functional>
#include <string>
#include <vector>

#include "compression/ValenceActiveLists.h"
#include "compression/ValenceEncoder.h"
#include "compression/ValenceFocus.h"
#include "compression/ValenceTopology.h"

class CMesh3d;

namespace orvex {

// One add step seen by the geometry coder: the gate (g, e), the third
// vertex v of the conquered face behind the gate (-1 when there is none) and
// the new vertex h, as vertex indices.
struct CGeometryRecord {
  int m_G, m_E, m_V, m_H;
};

// Rank of distances[index] in a sort by distance, nearest first, that keeps
// the given order among equal distances.
int StableDistanceRank(const std::vector<double>& distances, int index);

// Called at every focus choice made by the rule (not the first-node cases):
// the vertices of the current list from its head and the position of the
// chosen node among them. Tests compare the choice with a plain evaluation
// of the rule.
using FocusProbe = std::function<void(const std::vector<int>& listVertices, int chosen)>;

// Valence-driven conquest of a closed (ghost-completed) mesh from a seed
// face, emitting the code stream: the single-rate connectivity coder of
// Alliez & Desbrun (2001), conquering with active lists in the style of
// Touma & Gotsman: add (the valence of a new vertex), split (1 and the
// offset + 6), merge (2) and boundary (0, the ghost vertex).
class CValenceConquest {
public:
  CValenceConquest(CMesh3d& mesh, CValenceTopology& topology, int ghost,
                   const CValenceOptions& options);

  void SetFocusProbe(FocusProbe probe) { m_Probe = std::move(probe); }
  // Conquers from the seed face (a valid index); fills the codes, counters
  // and warnings of result and, with the geometry option, the geometry
  // records of the adds.
  void Run(int seedFace, CValenceResult& result, std::vector<CGeometryRecord>& records);
  // Conquest state per vertex: 0 free, 1 reached, 2 the ghost vertex.
  const std::vector<char>& States() const { return m_State; }

private:
  enum class Gate { Stepped, Skipped, End };

  void Emit(int code) { m_Result->m_Codes.push_back(code); }
  void EmitValence(int vertex);
  void Warn(const std::string& text);
  void ConquerFace(int f);
  void ChooseFocus();
  void CompleteFocus();
  Gate GateStep();
  Gate Split(int focus, int vertex);
  void Merge(int focus, int vertex);
  // Rank of the split vertex among the current list's candidates, nearest
  // to the focus first; -1 when it is not among them.
  int SplitOffset(int focus, int newNode, int vertex, int& target);
  void ShowProgress();

  CMesh3d& m_Mesh;
  CValenceTopology& m_Topology;
  int m_Ghost;
  const CValenceOptions& m_Options;
  CActiveLists m_Lists;
  CValenceFocus m_Focus;
  std::vector<char> m_State;
  std::vector<double> m_Distances;
  FocusProbe m_Probe;
  CValenceResult* m_Result = nullptr;
  std::vector<CGeometryRecord>* m_Records = nullptr;
  int m_NbWarnings = 0;
};

} // namespace orvex
