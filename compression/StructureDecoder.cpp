#include "compression/StructureDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "compression/StructureConquest.h"
#include "compression/StructureFile.h"
#include "geometry/Mesh3d.h"
#include "io/MeshBuilder.h"
#include "io/ReadReport.h"

namespace orvex {

namespace {

constexpr const char* kCorrupt = "The file's codes do not describe a mesh: it is corrupt";

// Replay of the encoder's conquest from the streams.
class CStructureReplay {
public:
  CStructureReplay(const CStructureStreams& streams, bool fullPivots)
      : m_Streams(streams), m_FullPivots(fullPivots) {}

  int Run(CStructureDecoded& decoded, std::string& error);

private:
  int NewVertex(int degree) {
    m_Conquest.SetDegree(m_NbReached, degree);
    return m_NbReached++;
  }
  int Step(int code);
  int Checked(int a, int b, int c);
  int Corrupt() { return 0; }

  const CStructureStreams& m_Streams;
  bool m_FullPivots;
  CStructureConquest m_Conquest;
  int m_Dummy = 0;
  int m_NbReached = 0;
  size_t m_Offset = 0;
  std::vector<int> m_Triangles;
};

// Records the face (dummy faces are dropped) after checking that its
// corners differ and that no vertex has more faces than its degree.
int CStructureReplay::Checked(int a, int b, int c) {
  if (a == b || b == c || c == a) return 0;
  for (int v : {a, b, c})
    if (v != m_Dummy && m_Conquest.FacesMade(v) > m_Conquest.Degree(v)) return 0;
  if (a != m_Dummy && b != m_Dummy && c != m_Dummy)
    m_Triangles.insert(m_Triangles.end(), {a, b, c});
  return 1;
}

int CStructureReplay::Step(int code) {
  const int f = m_Conquest.Focus(), n = m_Conquest.Next(f), p = m_Conquest.Prev(f);
  const int vf = m_Conquest.Vertex(f), vn = m_Conquest.Vertex(n), vp = m_Conquest.Vertex(p);
  // the focus is closed by the face joining its list neighbours
  if (code == kStructureCloseCode) {
    if (vn == vp) return Corrupt();
    m_Conquest.Close();
    return Checked(vf, vn, vp);
  }
  // a new dummy node or a newly reached vertex
  if (code == kStructureDummyCode || code >= kStructureFirstDegree) {
    const int v = code == kStructureDummyCode ? m_Dummy : NewVertex(code);
    if (v == m_Dummy && vn == m_Dummy) return Corrupt();
    m_Conquest.Insert(v);
    return Checked(vf, vn, v);
  }
  // a split of the current list or a join with a later one
  if (m_Offset >= m_Streams.m_Offsets.size()) return Corrupt();
  const int magnitude = m_Streams.m_Offsets[m_Offset];
  const int negative = m_Streams.m_Signs[m_Offset];
  ++m_Offset;
  const bool split = magnitude <= m_Conquest.Size();
  if (!split && negative) return Corrupt();
  const int node = split ? m_Conquest.NodeAtSplitOffset(magnitude, negative)
                         : m_Conquest.NodeAtJoinOffset(magnitude);
  if (node < 0) return Corrupt();
  const int v = m_Conquest.Vertex(node);
  if (v == vf || v == vn) return Corrupt();
  if (split)
    m_Conquest.Split(node);
  else
    m_Conquest.Join(node);
  return Checked(vf, vn, v);
}

int CStructureReplay::Run(CStructureDecoded& decoded, std::string& error) {
  const std::vector<int>& degrees = m_Streams.m_Degrees;
  // at most one vertex per degree code; the dummy after them
  m_Dummy = static_cast<int>(degrees.size());
  m_Conquest.Reset(m_Dummy + 1, m_Dummy, m_FullPivots);
  size_t next = 0;
  while (next < degrees.size()) {
    // a component: its seed face's three degrees, then its steps
    if (degrees.size() - next < 3) return error = kCorrupt, 0;
    int seed[3];
    for (int& v : seed) {
      if (degrees[next] < kStructureFirstDegree) return error = kCorrupt, 0;
      v = NewVertex(degrees[next++]);
    }
    m_Conquest.StartComponent(seed[0], seed[1], seed[2]);
    if (!Checked(seed[0], seed[1], seed[2])) return error = kCorrupt, 0;
    while (m_Conquest.Prepare()) {
      if (next >= degrees.size() || !Step(degrees[next++])) return error = kCorrupt, 0;
    }
  }
  // every code used, every vertex with all its faces
  if (m_Offset != m_Streams.m_Offsets.size()) return error = kCorrupt, 0;
  for (int v = 0; v < m_NbReached; ++v)
    if (m_Conquest.FacesMade(v) != m_Conquest.Degree(v)) return error = kCorrupt, 0;
  if (m_Streams.m_NbVertex < static_cast<uint32_t>(m_NbReached)) return error = kCorrupt, 0;
  // isolated vertices cost no bits: bound them by what the codes describe
  const uint64_t isolated = m_Streams.m_NbVertex - static_cast<uint32_t>(m_NbReached);
  if (isolated > static_cast<uint64_t>(m_NbReached) + 65536) {
    char text[128];
    std::snprintf(text, sizeof text, "The file's vertex count %u is beyond what its codes describe",
                  m_Streams.m_NbVertex);
    error = text;
    return 0;
  }
  decoded.m_NbVertex = static_cast<int>(m_Streams.m_NbVertex);
  decoded.m_Triangles = std::move(m_Triangles);
  decoded.m_bFullPivots = m_FullPivots;
  return 1;
}

// The streams with the conquest checks; a stream that codes no face is
// refused.
int ReadStreams(const uint8_t* data, size_t size, CStructureStreams& streams, std::string& error) {
  if (!ReadStructureFile(data, size, streams, error, true)) return 0;
  if (streams.m_Degrees.empty()) {
    error = "The file codes no face";
    return 0;
  }
  return 1;
}

} // namespace

int DecodeStructure(const uint8_t* data, size_t size, bool fullPivots, CStructureDecoded& decoded,
                    std::string& error) {
  decoded = CStructureDecoded();
  CStructureStreams streams;
  if (!ReadStreams(data, size, streams, error)) return 0;
  CStructureReplay replay(streams, fullPivots);
  return replay.Run(decoded, error);
}

int DecodeStructure(const uint8_t* data, size_t size, CStructureDecoded& decoded,
                    std::string& error) {
  // the streams are read once and replayed under either focus rule
  decoded = CStructureDecoded();
  CStructureStreams streams;
  if (!ReadStreams(data, size, streams, error)) return 0;
  if (CStructureReplay(streams, true).Run(decoded, error)) return 1;
  decoded = CStructureDecoded();
  std::string other;
  return CStructureReplay(streams, false).Run(decoded, other);
}

CMesh3d* NewDecodedMesh(const CStructureDecoded& decoded) {
  CMeshBuilder builder;
  // Fibonacci spiral: even spacing over the sphere in vertex order
  const double golden = M_PI * (3.0 - std::sqrt(5.0));
  const int nv = decoded.m_NbVertex;
  for (int i = 0; i < nv; ++i) {
    double z = 1.0 - 2.0 * (i + 0.5) / nv;
    double r = std::sqrt(std::max(0.0, 1.0 - z * z));
    double phi = golden * i;
    builder.AddVertex(static_cast<float>(r * std::cos(phi)), static_cast<float>(r * std::sin(phi)),
                      static_cast<float>(z));
  }
  CReadReport report;
  const std::vector<int>& t = decoded.m_Triangles;
  for (size_t i = 0; i + 2 < t.size(); i += 3) builder.AddFace(t[i], t[i + 1], t[i + 2], report);
  CMesh3d* mesh = new CMesh3d;
  builder.AppendTo(mesh);
  mesh->Rebuild();
  return mesh;
}

} // namespace orvex
