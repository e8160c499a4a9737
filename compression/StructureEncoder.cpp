#include "compression/StructureEncoder.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <thread>

#include "compression/StructureConquest.h"
#include "compression/StructureMesh.h"
#include "compression/ValenceFiles.h"
#include "geometry/Mesh3d.h"
#include "geometry/Progress.h"

namespace orvex {

namespace {

// Conquest of the dummy-closed mesh, emitting the three streams.
class CStructureEncoder {
public:
  CStructureEncoder(const CStructureMesh& mesh, const CStructureOptions& options,
                    CStructureResult& result)
      : m_Mesh(mesh), m_Options(options), m_Result(result) {}

  int Run(int seedFace, std::mutex* mutex);

private:
  int Fail(const char* what) {
    m_Result.m_Error = what;
    return 0;
  }
  void Reach(int v) {
    m_Reached[v] = 1;
    m_Result.m_VertexOrder.push_back(v);
    m_Result.m_Streams.m_Degrees.push_back(m_Mesh.Degree(v));
  }
  void Conquer(int face) {
    m_Conquered[face] = 1;
    if (face < m_Mesh.NbRealFace()) m_Result.m_FaceOrder.push_back(face);
  }
  bool Conquered(int h) const { return m_Conquered[CStructureMesh::Face(h)] != 0; }
  void StartComponent(int face);
  int Step();
  int FindWedge(int v, int gate) const;
  int NodeAfter(int from, int v) const;
  int NodeBefore(int v, int to) const;
  void AddOffset(int64_t offset);

  const CStructureMesh& m_Mesh;
  const CStructureOptions& m_Options;
  CStructureResult& m_Result;
  CStructureConquest m_Conquest;
  std::vector<char> m_Conquered;
  std::vector<char> m_Reached;
};

void CStructureEncoder::StartComponent(int face) {
  // the seed's three degrees come first: the decoder needs them
  const int a = m_Mesh.Head(3 * face + 2), b = m_Mesh.Head(3 * face), c = m_Mesh.Head(3 * face + 1);
  Reach(a);
  Reach(b);
  Reach(c);
  Conquer(face);
  m_Conquest.StartComponent(a, b, c);
}

int CStructureEncoder::Run(int seedFace, std::mutex* mutex) {
  const int dummy = m_Mesh.Dummy();
  m_Conquest.Reset(dummy + 1, dummy, m_Options.m_bFullPivots);
  for (int v = 0; v <= dummy; ++v) m_Conquest.SetDegree(v, m_Mesh.Degree(v));
  m_Conquered.assign(m_Mesh.NbFace(), 0);
  m_Reached.assign(dummy + 1, 0);
  long long steps = 0;
  const long long total = m_Mesh.NbFace();
  int cursor = 0;
  for (int seed = seedFace; seed >= 0;) {
    StartComponent(seed);
    for (;;) {
      std::unique_lock<std::mutex> lock;
      if (mutex) lock = std::unique_lock<std::mutex>(*mutex);
      if (!m_Conquest.Prepare()) break;
      if (!Step()) return 0;
      if (mutex) lock.unlock();
      ReportLoopProgress(++steps, total, "Mesh structure coding");
      if (m_Options.m_Redraw && m_Options.m_UpdateEach > 0 && steps % m_Options.m_UpdateEach == 0) {
        m_Options.m_Redraw();
        if (m_Options.m_DelayMs > 0)
          std::this_thread::sleep_for(std::chrono::milliseconds(m_Options.m_DelayMs));
      }
    }
    // components: the lowest-index face not yet conquered seeds the next
    while (cursor < m_Mesh.NbRealFace() && m_Conquered[cursor]) ++cursor;
    seed = cursor < m_Mesh.NbRealFace() ? cursor : -1;
  }
  for (char conquered : m_Conquered)
    if (!conquered) return Fail("The conquest left faces behind: the mesh cannot be coded");
  // vertices never reached (isolated) come last
  for (int v = 0; v < dummy; ++v)
    if (!m_Reached[v]) m_Result.m_VertexOrder.push_back(v);
  return 1;
}

int CStructureEncoder::Step() {
  const CActiveLists& lists = m_Conquest.Lists();
  const int f = m_Conquest.Focus(), n = lists.Next(f), p = lists.Prev(f);
  const int vf = lists.Vertex(f), vn = lists.Vertex(n);
  // the gate: the face beyond the list edge (focus, next)
  const int gate = m_Mesh.Find(vf, vn);
  if (gate < 0 || Conquered(gate))
    return Fail("The conquest met an edge it cannot cross: the mesh cannot be coded");
  if (m_Options.m_OnGate) m_Options.m_OnGate(vf, vn);
  const int v = m_Mesh.Head(CStructureMesh::Next(gate));
  Conquer(CStructureMesh::Face(gate));
  std::vector<int>& degrees = m_Result.m_Streams.m_Degrees;

  // the focus is closed by the face joining its list neighbours
  if (v == lists.Vertex(p)) {
    degrees.push_back(kStructureCloseCode);
    m_Conquest.Close();
    return 1;
  }
  // a vertex reached for the first time
  if (v != m_Mesh.Dummy() && !m_Reached[v]) {
    Reach(v);
    m_Conquest.Insert(v);
    return 1;
  }
  const int node = FindWedge(v, gate);
  // a boundary met for the first time: a new dummy node
  if (node < 0) {
    if (v != m_Mesh.Dummy()) return Fail("The conquest lost a vertex: the mesh cannot be coded");
    degrees.push_back(kStructureDummyCode);
    ++m_Result.m_NbDummy;
    m_Conquest.Insert(v);
    return 1;
  }
  // a vertex already on a list: split the current list or join another
  degrees.push_back(kStructureSplitCode);
  if (m_Conquest.InCurrent(node)) {
    AddOffset(m_Conquest.SplitOffset(node));
    m_Conquest.Split(node);
  } else {
    AddOffset(m_Conquest.JoinOffset(node));
    m_Conquest.Join(node);
  }
  return 1;
}

void CStructureEncoder::AddOffset(int64_t offset) {
  const int64_t magnitude = offset < 0 ? -offset : offset;
  // the file refuses magnitudes this large anyway; keep them representable
  m_Result.m_Streams.m_Offsets.push_back(magnitude > INT_MAX ? INT_MAX
                                                             : static_cast<int>(magnitude));
  m_Result.m_Streams.m_Signs.push_back(offset < 0 ? 1 : 0);
}

// The node whose free sector at v holds the gate's face: the walks around
// v from that face, both ways, stop at the first conquered face, whose edge
// with v is a list edge next to the node. -1 when v has no conquered face
// in this fan.
int CStructureEncoder::FindWedge(int v, int gate) const {
  const int start = CStructureMesh::Next(CStructureMesh::Next(gate)); // v -> focus
  int ccw = start, cw = start;
  for (int i = 0; i <= m_Mesh.Degree(v); ++i) {
    ccw = m_Mesh.RotateOut(ccw);
    if (ccw == start) return -1;
    if (Conquered(ccw)) return NodeAfter(m_Mesh.Head(ccw), v);
    const int back = CStructureMesh::Next(m_Mesh.Twin(cw));
    if (back == start) return -1;
    if (Conquered(back)) return NodeBefore(v, m_Mesh.Head(cw));
    cw = back;
  }
  return -1;
}

// v's node that follows a node of `from` (the list edge from -> v).
int CStructureEncoder::NodeAfter(int from, int v) const {
  const CActiveLists& lists = m_Conquest.Lists();
  if (v == m_Mesh.Dummy()) {
    for (int x = lists.FirstNodeOf(from); x >= 0; x = lists.NextNodeOfVertex(x))
      if (lists.Vertex(lists.Next(x)) == v) return lists.Next(x);
  } else {
    for (int x = lists.FirstNodeOf(v); x >= 0; x = lists.NextNodeOfVertex(x))
      if (lists.Vertex(lists.Prev(x)) == from) return x;
  }
  return -1;
}

// v's node followed by a node of `to` (the list edge v -> to).
int CStructureEncoder::NodeBefore(int v, int to) const {
  const CActiveLists& lists = m_Conquest.Lists();
  if (v == m_Mesh.Dummy()) {
    for (int x = lists.FirstNodeOf(to); x >= 0; x = lists.NextNodeOfVertex(x))
      if (lists.Vertex(lists.Prev(x)) == v) return lists.Prev(x);
  } else {
    for (int x = lists.FirstNodeOf(v); x >= 0; x = lists.NextNodeOfVertex(x))
      if (lists.Vertex(lists.Next(x)) == to) return x;
  }
  return -1;
}

int Refuse(CStructureResult& result, const std::string& error) {
  result.m_Ok = 0;
  result.m_Error = error;
  return 0;
}

} // namespace

int EncodeStructure(const CStructureMesh& mesh, const std::string& file, int seedFace,
                    const CStructureOptions& options, CStructureResult& result, std::mutex* mutex) {
  const auto start = std::chrono::steady_clock::now();
  result = CStructureResult();
  if (seedFace < 0 || seedFace >= mesh.NbRealFace()) {
    char text[96];
    std::snprintf(text, sizeof text, "Seed face %d does not exist (0..%d)", seedFace,
                  mesh.NbRealFace() - 1);
    return Refuse(result, text);
  }
  // conquest
  CStructureEncoder encoder(mesh, options, result);
  if (!encoder.Run(seedFace, mutex)) return Refuse(result, result.m_Error);

  // streams into the file's layout
  CStructureStreams& streams = result.m_Streams;
  streams.m_NbVertex = static_cast<uint32_t>(mesh.NbVertex());
  streams.m_DummyDegree = mesh.HasDummy() ? mesh.Degree(mesh.Dummy()) : 0;
  std::string error;
  if (!WriteStructureFile(streams, result.m_Bytes, result.m_Bits, error))
    return Refuse(result, error);
  if (!file.empty()) {
    if (!WriteBytesReplacing(file, result.m_Bytes))
      return Refuse(result, "Unable to write " + file);
    result.m_File = file;
  }
  result.m_NbFaces = mesh.NbRealFace();
  result.m_NbOffsets = static_cast<int>(streams.m_Offsets.size());
  result.m_Cost = static_cast<double>(result.m_Bits) / result.m_NbFaces;
  result.m_Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.m_Ok = 1;
  return 1;
}

int EncodeStructure(const CMesh3d& mesh, const std::string& file, int seedFace,
                    const CStructureOptions& options, CStructureResult& result, std::mutex* mutex) {
  const auto start = std::chrono::steady_clock::now();
  CStructureMesh structure;
  std::string error;
  if (!structure.Build(mesh, error)) {
    result = CStructureResult();
    return Refuse(result, error);
  }
  int ok = EncodeStructure(structure, file, seedFace, options, result, mutex);
  result.m_Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return ok;
}

} // namespace orvex
