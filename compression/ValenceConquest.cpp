#include "compression/ValenceConquest.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"

namespace orvex {

namespace {

const CColor kFocusColor(255, 0, 0, 255);
const CColor kSeedColor(51, 153, 255, 255);
constexpr int kMaxWarnings = 100;

} // namespace

int StableDistanceRank(const std::vector<double>& distances, int index) {
  // the candidates nearer than this one, and the equally near ones before it
  const double d = distances[index];
  int rank = 0;
  for (int i = 0; i < static_cast<int>(distances.size()); ++i)
    if (distances[i] < d || (distances[i] == d && i < index)) ++rank;
  return rank;
}

CValenceConquest::CValenceConquest(CMesh3d& mesh, CValenceTopology& topology, int ghost,
                                   const CValenceOptions& options)
    : m_Mesh(mesh), m_Topology(topology), m_Ghost(ghost), m_Options(options),
      m_Focus(topology, m_Lists) {}

void CValenceConquest::Warn(const std::string& text) {
  ++m_NbWarnings;
  if (m_NbWarnings <= kMaxWarnings) {
    m_Result->m_Warnings.push_back(text);
  } else if (m_NbWarnings == kMaxWarnings + 1) {
    m_Result->m_Warnings.push_back("Further warnings not listed");
  }
}

void CValenceConquest::EmitValence(int vertex) {
  int valence = m_Topology.Valence(vertex);
  // below 3 a valence would read as a boundary, split or merge code
  if (valence < 3) {
    char text[96];
    std::snprintf(text, sizeof text, "Vertex %d has valence %d: its code is ambiguous", vertex,
                  valence);
    Warn(text);
  }
  Emit(valence);
}

void CValenceConquest::ConquerFace(int f) {
  int degree[3];
  for (int k = 0; k < 3; ++k) degree[k] = m_Topology.FreeDegree(m_Topology.Corner(f, k));
  if (!m_Topology.Conquer(f)) return;
  // a changed free degree reaches the look-ahead of the nodes around
  for (int k = 0; k < 3; ++k) {
    int v = m_Topology.Corner(f, k);
    if (m_Topology.FreeDegree(v) != degree[k])
      m_Lists.TouchVertex(v);
    else
      m_Lists.TouchVertexNodes(v);
  }
}

void CValenceConquest::ChooseFocus() {
  const int list = m_Lists.Current();
  const bool first = m_Options.m_bDeterministic != 0;
  int node = m_Focus.Choose(first);
  m_Lists.SetFocus(list, node);
  if (node < 0) return;
  if (m_Probe && !first && m_Lists.Size(list) > 1) {
    std::vector<int> vertices;
    int chosen = -1;
    int n = m_Lists.Head(list);
    do {
      if (n == node) chosen = static_cast<int>(vertices.size());
      vertices.push_back(m_Lists.Vertex(n));
      n = m_Lists.Next(n);
    } while (n != m_Lists.Head(list));
    m_Probe(vertices, chosen);
  }
  if (m_Options.m_bDebug) m_Topology.Vertex(m_Lists.Vertex(node))->m_Color = kFocusColor;
}

void CValenceConquest::CompleteFocus() {
  for (;;) {
    const int list = m_Lists.Current();
    const int size = m_Lists.Size(list);
    if (size == 0) return;
    const int e = m_Lists.Focus(list);
    if (!m_Focus.IsFull(e) && !m_Focus.ClosedByOneFace(e)) return;
    // a lone vertex: the list is used up
    if (size == 1) {
      m_Lists.Remove(e);
      return;
    }
    // two vertices: the focus goes
    if (size == 2) {
      m_Lists.Remove(e);
      ChooseFocus();
      continue;
    }
    const int p = m_Lists.Prev(e), n = m_Lists.Next(e);
    const int ve = m_Lists.Vertex(e), vp = m_Lists.Vertex(p), vn = m_Lists.Vertex(n);
    // both neighbours are one vertex: its node before the focus goes too,
    // and nothing is completed
    if (vp == vn) {
      m_Lists.Remove(e);
      m_Lists.Remove(p);
      ChooseFocus();
      continue;
    }
    // ordinary completion: the focus leaves and its last face is conquered
    m_Lists.Remove(e);
    int face = m_Topology.FindFace(ve, vp, vn);
    if (face >= 0) ConquerFace(face);
    ++m_Result->m_Completions;
    ChooseFocus();
  }
}

int CValenceConquest::SplitOffset(int focus, int newNode, int vertex, int& target) {
  const int list = m_Lists.Current();
  const int ve = m_Lists.Vertex(focus);
  const int successor = m_Lists.Next(focus);
  // candidates in list order with their distance to the focus vertex
  m_Distances.clear();
  target = -1;
  int targetIndex = -1;
  const int head = m_Lists.Head(list);
  int n = head;
  do {
    if (n != focus && n != successor && n != newNode) {
      if (target < 0 && m_Lists.Vertex(n) == vertex) {
        target = n;
        targetIndex = static_cast<int>(m_Distances.size());
      }
      m_Distances.push_back(m_Topology.Distance(ve, m_Lists.Vertex(n)));
    }
    n = m_Lists.Next(n);
  } while (n != head);
  if (target < 0) return -1;
  return StableDistanceRank(m_Distances, targetIndex);
}

CValenceConquest::Gate CValenceConquest::Split(int focus, int vertex) {
  int newNode = m_Lists.InsertBefore(focus, vertex);
  int target = -1;
  int offset = SplitOffset(focus, newNode, vertex, target);
  // the vertex is not among the ranked candidates: the run cannot go on
  if (offset < 0) {
    Warn("Split vertex not found in the active list: the conquest ended early");
    m_Result->m_bEndedEarly = 1;
    return Gate::End;
  }
  m_Lists.MoveToNewList(focus, target);
  Emit(1);
  Emit(offset + 6);
  ++m_Result->m_Splits;
  return Gate::Stepped;
}

void CValenceConquest::Merge(int focus, int vertex) {
  int newNode = m_Lists.InsertBefore(focus, vertex);
  Emit(2);
  if (m_Lists.NbLists() < 2) {
    Warn("At least two lists in stack required for merging");
    return;
  }
  int other = m_Lists.FindOtherList(vertex);
  if (other < 0) {
    Warn("Vertex not found in stack while merging");
    return;
  }
  // the vertex's first node in the other list's order
  int node = m_Lists.Head(other);
  while (m_Lists.Vertex(node) != vertex) node = m_Lists.Next(node);
  m_Lists.MergeAfter(newNode, node);
  ++m_Result->m_Merges;
}

CValenceConquest::Gate CValenceConquest::GateStep() {
  const int list = m_Lists.Current();
  const int e = m_Lists.Focus(list);
  const int ve = m_Lists.Vertex(e), vg = m_Lists.Vertex(m_Lists.Prev(e));
  const int face = ve == vg ? -1 : m_Topology.FindFreeFace(ve, vg);
  // nothing left across the gate (a list that bounds no face): the focus
  // leaves the list without a code
  if (face < 0) {
    m_Lists.Remove(e);
    return Gate::Skipped;
  }
  const int h = m_Topology.Third(face, ve, vg);
  const int behind = m_Options.m_bGeometry ? m_Topology.FindConqueredFace(ve, vg, face) : -1;
  ConquerFace(face);
  // a face with only the gate's two corners adds nothing to the list
  if (h < 0) return Gate::Skipped;

  // add: a free vertex joins the list before the focus
  if (m_State[h] == 0) {
    m_State[h] = 1;
    m_Lists.InsertBefore(e, h);
    EmitValence(h);
    ++m_Result->m_Adds;
    if (m_Options.m_bGeometry) {
      int v = behind >= 0 ? m_Topology.Third(behind, ve, vg) : -1;
      m_Records->push_back(CGeometryRecord{vg, ve, v, h});
    }
    return Gate::Stepped;
  }
  // boundary: the ghost vertex takes part in the list like any other
  if (m_State[h] == 2) {
    Emit(0);
    m_Lists.InsertBefore(e, h);
    return Gate::Stepped;
  }
  // the face closes the focus's fan on this list while the focus still has
  // faces elsewhere (it is on the lists more than once): the focus leaves
  // this list as in a completion; ranking the successor as a split vertex
  // would be impossible
  if (m_Lists.Vertex(m_Lists.Next(e)) == h) {
    m_Lists.Remove(e);
    ++m_Result->m_Completions;
    return Gate::Stepped;
  }
  // split: the vertex is on the current list
  if (m_Lists.NodeOfVertexIn(h, list) >= 0) return Split(e, h);
  // merge: the vertex is on another list of the stack
  Merge(e, h);
  return Gate::Stepped;
}

void CValenceConquest::ShowProgress() {
  // about one gate a face: the share of the faces conquered so far
  const int steps = m_Result->m_Steps, faces = m_Topology.NbFace();
  if (!m_Options.m_bDebug || !m_Options.m_Redraw) {
    ReportLoopProgress(steps, faces, "conquest");
    return;
  }
  // step by step on screen: the user may stop between any two steps
  ReportProgress(faces > 0 ? double(steps) / faces : 0.0, "conquest");
  int each = m_Options.m_UpdateEach > 0 ? m_Options.m_UpdateEach : 1;
  if (m_Result->m_Steps % each != 0) return;
  m_Options.m_Redraw();
  if (m_Options.m_DelayMs > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(m_Options.m_DelayMs));
}

void CValenceConquest::Run(int seedFace, CValenceResult& result,
                           std::vector<CGeometryRecord>& records) {
  m_Result = &result;
  m_Records = &records;
  m_NbWarnings = 0;
  const int nv = m_Topology.NbVertex();
  m_Lists.Reset(nv, m_Options.m_bDeterministic == 0);
  m_Focus.Clear();
  m_State.assign(nv, 0);
  result.m_Codes.reserve(static_cast<size_t>(nv) + nv / 16 + 16);
  if (m_Ghost >= 0) m_State[m_Ghost] = 2;

  // seed: the face's corners in order open the first list and the stream
  const int list = m_Lists.AddList();
  for (int k = 0; k < 3; ++k) {
    int v = m_Topology.Corner(seedFace, k);
    m_Lists.Append(list, v);
    if (m_State[v] == 0) m_State[v] = 1;
    EmitValence(v);
  }
  ConquerFace(seedFace);
  if (m_Options.m_bDebug) m_Mesh.GetFace(seedFace)->m_Color = kSeedColor;
  m_Lists.SetFocus(list, m_Lists.Head(list));
  // the keys of the seed nodes are computed at the first choice
  for (;;) {
    CompleteFocus();
    // a used-up list leaves the stack; the next one goes on
    if (m_Lists.Size(m_Lists.Current()) == 0) {
      if (!m_Lists.DropCurrent()) break;
      ChooseFocus();
      continue;
    }
    Gate gate = GateStep();
    if (gate == Gate::End) break;
    if (gate == Gate::Skipped) {
      if (m_Lists.Size(m_Lists.Current()) > 0) ChooseFocus();
      continue;
    }
    // the step limit ends the run once exceeded
    if (m_Options.m_bLimitConquest && m_Options.m_LimitSteps < result.m_Steps) break;
    ++result.m_Steps;
    ChooseFocus();
    ShowProgress();
  }
  m_Result = nullptr;
  m_Records = nullptr;
}

} // namespace orvex
