// Gate-by-gate conquest of triangle and quad meshes (encoder) and its
// replay from the codes (decoder). Both sides keep the same gate list and
// the same conquered-face counts, so the decoder meets the gates in the
// encoder's order; a gate whose front face is already conquered is passed
// over silently on both sides. In the decoder the half-edge table only
// holds conquered faces, so "front face conquered" is "gate glued".

#include "compression/GateConquest.h"

#include "geometry/FormatText.h"

namespace orvex {
namespace {

class CGateEncoder {
public:
  CGateEncoder(const CGateMesh& mesh, GateFaces faces, const CGateOptions& options,
               CGateConquest& out)
      : m_Mesh(mesh), m_Faces(faces), m_Options(options), m_Out(out) {}

  int Run(std::string& error);

private:
  const CGateMesh& m_Mesh;
  GateFaces m_Faces;
  const CGateOptions& m_Options;
  CGateConquest& m_Out;
  CGateQueue m_Queue;
  std::vector<int> m_Place;
  std::vector<uint8_t> m_Done;
  bool m_SecondPass = false;

  bool Open(int h) const { return !m_Done[m_Mesh.Face(h)]; }
  // the gate being processed (-1 while seeding)
  int m_Gate = -1;

  int Reach(int v) {
    if (m_Place[v] < 0) {
      m_Place[v] = static_cast<int>(m_Out.m_Order.size());
      m_Out.m_Order.push_back(v);
      if (m_Gate < 0)
        m_Out.m_Refs.insert(m_Out.m_Refs.end(), {-1, -1, -1});
      else
        m_Out.m_Refs.insert(m_Out.m_Refs.end(),
                            {m_Place[m_Mesh.From(m_Gate)], m_Place[m_Mesh.To(m_Gate)],
                             m_Place[m_Mesh.From(m_Mesh.Prev(m_Gate))]});
    }
    return m_Place[v];
  }
  // Marks the face conquered, lists it with its corners (mesh vertices)
  // and counts it around them.
  void Conquer(int face, const int* corners, int n, GateFaceEvent event);
  void Conquer(int face, std::initializer_list<int> corners, GateFaceEvent event) {
    Conquer(face, corners.begin(), static_cast<int>(corners.size()), event);
  }
  int Seed(int face, std::string& error);
  int Step(int gate);
  int TriangleStep(int gate);
  int QuadStep(int gate);
  // the last half-edge of the rotations around a gate's right and left
  // vertices across conquered faces
  int RightTurn(int h) const {
    return TurnAroundTail(m_Mesh, h, [this](int o) { return Open(o); });
  }
  int LeftTurn(int h) const {
    return TurnAroundHead(m_Mesh, h, [this](int o) { return Open(o); });
  }
};

void CGateEncoder::Conquer(int face, const int* corners, int n, GateFaceEvent event) {
  m_Done[face] = 1;
  for (int i = 0; i < n; ++i) {
    m_Out.m_Corners.push_back(m_Place[corners[i]]);
    m_Queue.Raise(corners[i]);
  }
  m_Out.m_FaceStart.push_back(static_cast<int>(m_Out.m_Corners.size()));
  if (m_Options.m_OnFace) m_Options.m_OnFace(face, event);
}

int CGateEncoder::Seed(int face, std::string& error) {
  const int first = m_Mesh.FaceStart(face), n = m_Mesh.FaceSize(face);
  const bool later = !m_Out.m_Corners.empty();
  // the polygon codes seed a run by a create (all corners new) or a join
  bool listed = later;
  if (m_Faces == GateFaces::kPolygons) {
    bool allNew = true;
    for (int i = 0; i < n; ++i) allNew = allNew && m_Place[m_Mesh.From(first + i)] < 0;
    if (!allNew && !m_Options.m_Join) {
      error =
          FormatText("Face %d starts a run from conquered corners: it needs \"Mode join\"", face);
      return 0;
    }
    listed = !allNew;
    m_Out.m_Codes.push_back(n == 3 ? (allNew ? kPolyTriCreate : kPolyTriJoin)
                                   : (allNew ? kPolyQuadCreate2 : kPolyQuadJoin));
  }
  if (listed && m_Out.NbSeed() == kGateMaxSeeds && m_Faces != GateFaces::kPolygons) {
    error = FormatText("The mesh needs more than %d seed faces (components or handles): "
                       "no file was written",
                       kGateMaxSeeds);
    return 0;
  }
  m_Gate = -1;
  int corners[4];
  for (int i = 0; i < n; ++i) {
    corners[i] = m_Mesh.From(first + i);
    // a corner not reached yet takes the next place, which names it
    const int place = Reach(corners[i]);
    if (listed) m_Out.m_Seeds.push_back(place);
  }
  if (listed) m_Out.m_SeedSizes.push_back(n);
  Conquer(face, corners, n, later ? GateFaceEvent::kSecondSeed : GateFaceEvent::kSeed);
  for (int i = 0; i < n; ++i) m_Queue.Push(first + i, m_Mesh.To(first + i));
  return 1;
}

int CGateEncoder::Step(int gate) {
  m_Gate = gate;
  switch (m_Faces) {
  case GateFaces::kTriangles:
    return TriangleStep(gate);
  case GateFaces::kQuads:
    return QuadStep(gate);
  case GateFaces::kPolygons:
    break;
  }
  // the front face's kind chooses the code family
  const int o = m_Mesh.Opposite(gate);
  if (o < 0) return kPolySkip;
  if (m_Mesh.FaceSize(m_Mesh.Face(o)) == 3) {
    const int code = TriangleStep(gate);
    return code < 0 ? code : kTriangleToPolygon[code];
  }
  const int code = QuadStep(gate);
  return code < 0 ? code : kQuadToPolygon[code];
}

int CGateEncoder::TriangleStep(int gate) {
  const int o = m_Mesh.Opposite(gate);
  // boundary: no front face
  if (o < 0) return kTriSkip;
  const int front = m_Mesh.Face(o);
  if (m_Done[front]) return -1;
  const int n1 = m_Mesh.Next(o), n2 = m_Mesh.Next(n1);
  const int right = m_Mesh.From(o), left = m_Mesh.From(n1), r = m_Mesh.To(n1);
  const GateFaceEvent event =
      m_SecondPass ? GateFaceEvent::kSecondConquered : GateFaceEvent::kConquered;
  // create: the front vertex is new
  if (m_Place[r] < 0) {
    Reach(r);
    Conquer(front, {right, left, r}, event);
    m_Queue.Push(n1, r);
    m_Queue.Push(n2, right);
    return kTriCreate;
  }
  // the turn around the right vertex reaches the front face
  const int hr = RightTurn(m_Mesh.Next(gate));
  if (hr >= 0 && m_Mesh.Opposite(hr) == n2) {
    Conquer(front, {right, left, r}, event);
    m_Queue.Push(n1, r);
    return kTriCloseRight;
  }
  // the turn around the left vertex reaches it
  const int hl = LeftTurn(m_Mesh.Prev(gate));
  if (hl >= 0 && m_Mesh.Opposite(hl) == n1) {
    Conquer(front, {right, left, r}, event);
    m_Queue.Push(n2, right);
    return kTriCloseLeft;
  }
  return kTriSkip;
}

int CGateEncoder::QuadStep(int gate) {
  const int o = m_Mesh.Opposite(gate);
  if (o < 0) return kQuadSkip;
  const int front = m_Mesh.Face(o);
  if (m_Done[front]) return -1;
  if (m_Mesh.FaceSize(front) != 4) return kQuadSkip;
  // front quad (R, a, b, L): half-edges R->L, L->b, b->a, a->R
  const int n1 = m_Mesh.Next(o), n2 = m_Mesh.Next(n1), n3 = m_Mesh.Next(n2);
  const int right = m_Mesh.From(o), left = m_Mesh.From(n1);
  const int b = m_Mesh.To(n1), a = m_Mesh.To(n2);
  const bool aNew = m_Place[a] < 0, bNew = m_Place[b] < 0;
  const GateFaceEvent event =
      m_SecondPass ? GateFaceEvent::kSecondConquered : GateFaceEvent::kConquered;
  auto conquer = [&](std::initializer_list<int> gates) {
    Conquer(front, {right, left, b, a}, event);
    for (int h : gates) m_Queue.Push(h, m_Mesh.To(h));
  };
  // create 2: both far corners new, placed a then b
  if (aNew && bNew) {
    Reach(a);
    Reach(b);
    conquer({n1, n2, n3});
    return kQuadCreate2;
  }
  const int hr = aNew ? -1 : RightTurn(m_Mesh.Next(gate));
  const int hl = bNew ? -1 : LeftTurn(m_Mesh.Prev(gate));
  const bool rightCloses = hr >= 0 && m_Mesh.Opposite(hr) == n3;
  const bool leftCloses = hl >= 0 && m_Mesh.Opposite(hl) == n1;
  if (aNew && leftCloses) {
    Reach(a);
    conquer({n2, n3});
    return kQuadCreateRight;
  }
  if (bNew && rightCloses) {
    Reach(b);
    conquer({n1, n2});
    return kQuadCreateLeft;
  }
  if (aNew || bNew) return kQuadSkip;
  if (rightCloses && leftCloses) {
    conquer({n2});
    return kQuadMeshBoth;
  }
  // one side closes, then the turn around its far corner reaches b->a
  if (rightCloses) {
    const int h = RightTurn(m_Mesh.Next(hr));
    if (h >= 0 && m_Mesh.Opposite(h) == n2) {
      conquer({n1});
      return kQuadMeshCw;
    }
  }
  if (leftCloses) {
    const int h = LeftTurn(m_Mesh.Prev(hl));
    if (h >= 0 && m_Mesh.Opposite(h) == n2) {
      conquer({n3});
      return kQuadMeshCcw;
    }
  }
  return kQuadSkip;
}

int CGateEncoder::Run(std::string& error) {
  const int nf = m_Mesh.NbFace();
  const int size = m_Faces == GateFaces::kTriangles ? 3 : m_Faces == GateFaces::kQuads ? 4 : 0;
  if (nf == 0) {
    error = "The mesh has no face to code";
    return 0;
  }
  if (m_Options.m_SeedFace < 0 || m_Options.m_SeedFace >= nf) {
    error =
        FormatText("Seed face %d does not exist (the mesh has %d faces)", m_Options.m_SeedFace, nf);
    return 0;
  }
  for (int f = 0; f < nf && size > 0; ++f)
    if (m_Mesh.FaceSize(f) != size) {
      error = FormatText("Face %d has %d corners: this coder takes faces of %d", f,
                         m_Mesh.FaceSize(f), size);
      return 0;
    }
  m_Out = CGateConquest();
  m_Place.assign(m_Mesh.NbVertex(), -1);
  m_Done.assign(nf, 0);
  m_Queue.Reset(m_Mesh.NbVertex(), m_Options.m_Adaptive);
  m_Out.m_Codes.reserve(size_t(nf) * 2);
  const int64_t limit = m_Options.m_StepLimit;
  // a step is a code (the polygon codes that seed runs included)
  auto limited = [&] { return limit >= 0 && int64_t(m_Out.m_Codes.size()) >= limit; };
  int next = 0;
  if (!Seed(m_Options.m_SeedFace, error)) return 0;
  for (;;) {
    // first pass and every later run: gate by gate until the list is empty
    while (!m_Queue.Empty()) {
      if (limited()) break;
      const int gate = m_Queue.Pop();
      const int code = Step(gate);
      if (code < 0) continue;
      m_Out.m_Codes.push_back(static_cast<uint8_t>(code));
    }
    if (limited()) break;
    // second pass: the lowest-numbered face left seeds the next run
    while (next < nf && m_Done[next]) ++next;
    if (next == nf) break;
    m_SecondPass = true;
    if (!Seed(next, error)) return 0;
  }
  m_Out.m_NbVertex = static_cast<int>(m_Out.m_Order.size());
  return 1;
}

class CGateDecoder {
public:
  CGateDecoder(GateFaces faces, int64_t vertexLimit, CGateConquest& out)
      : m_Faces(faces), m_VertexLimit(vertexLimit), m_Out(out) {}
  int Run(int firstSize, bool adaptive, std::string& error);

private:
  GateFaces m_Faces;
  int64_t m_VertexLimit;
  CGateConquest& m_Out;
  CGateMesh m_Mesh;
  CGateQueue m_Queue;
  std::string m_Error;

  // the gate being processed (-1 while seeding)
  int m_Gate = -1;

  int NewVertex() {
    if (m_Mesh.NbVertex() >= m_VertexLimit) {
      m_Error = "The file creates more vertices than it holds";
      return -1;
    }
    if (m_Gate < 0)
      m_Out.m_Refs.insert(m_Out.m_Refs.end(), {-1, -1, -1});
    else
      m_Out.m_Refs.insert(m_Out.m_Refs.end(), {m_Mesh.From(m_Gate), m_Mesh.To(m_Gate),
                                               m_Mesh.From(m_Mesh.Prev(m_Gate))});
    m_Queue.AddVertex();
    return m_Mesh.AddVertex();
  }
  int Step(int gate, int code);
  // Adds the face, counts it around its corners and lists the gates
  // (corner indices of the new face); -1 on a refused face.
  int Add(std::initializer_list<int> corners, std::initializer_list<int> gates) {
    return Add(corners.begin(), static_cast<int>(corners.size()), gates.begin(),
               static_cast<int>(gates.size()));
  }
  int Add(const int* corners, int n, const int* gates, int nbGate);
  int Seed(const int* places, int n);
  int TriangleStep(int gate, int code);
  int QuadStep(int gate, int code);
  int RightTurn(int h) const {
    return TurnAroundTail(m_Mesh, h, [](int) { return false; });
  }
  int LeftTurn(int h) const {
    return TurnAroundHead(m_Mesh, h, [](int) { return false; });
  }
};

int CGateDecoder::Add(const int* corners, int n, const int* gates, int nbGate) {
  for (int i = 0; i < n; ++i)
    if (corners[i] < 0) {
      if (m_Error.empty()) m_Error = "The codes lead the conquest outside the mesh";
      return -1;
    }
  const int f = m_Mesh.AddFace(corners, n, m_Error);
  if (f < 0) return -1;
  for (int i = 0; i < n; ++i) {
    m_Out.m_Corners.push_back(corners[i]);
    m_Queue.Raise(corners[i]);
  }
  m_Out.m_FaceStart.push_back(static_cast<int>(m_Out.m_Corners.size()));
  const int first = m_Mesh.FaceStart(f);
  for (int i = 0; i < nbGate; ++i) m_Queue.Push(first + gates[i], m_Mesh.To(first + gates[i]));
  return f;
}

int CGateDecoder::Seed(const int* places, int n) {
  m_Gate = -1;
  int corners[4] = {-1, -1, -1, -1};
  for (int i = 0; i < n; ++i) {
    if (places[i] == m_Mesh.NbVertex()) {
      if (NewVertex() < 0) return 0;
    } else if (places[i] < 0 || places[i] > m_Mesh.NbVertex()) {
      m_Error = FormatText("A seed corner %d is beyond the vertices reached", places[i]);
      return 0;
    }
    corners[i] = places[i];
  }
  const int all[4] = {0, 1, 2, 3};
  return Add(corners, n, all, n) >= 0;
}

int CGateDecoder::Step(int gate, int code) {
  m_Gate = gate;
  switch (m_Faces) {
  case GateFaces::kTriangles:
    return TriangleStep(gate, code);
  case GateFaces::kQuads:
    return QuadStep(gate, code);
  case GateFaces::kPolygons:
    break;
  }
  if (code == kPolySkip) return 1;
  for (int t = 0; t < 3; ++t)
    if (kTriangleToPolygon[t] == code) return TriangleStep(gate, t);
  for (int q = 0; q < 6; ++q)
    if (kQuadToPolygon[q] == code) return QuadStep(gate, q);
  m_Error = FormatText("Code %d cannot follow a gate", code);
  return 0;
}

int CGateDecoder::TriangleStep(int gate, int code) {
  const int left = m_Mesh.From(gate), right = m_Mesh.To(gate);
  switch (code) {
  case kTriSkip:
    return 1;
  case kTriCreate: {
    const int r = NewVertex();
    return r >= 0 && Add({right, left, r}, {1, 2}) >= 0;
  }
  case kTriCloseRight: {
    const int h = RightTurn(m_Mesh.Next(gate));
    return Add({right, left, h < 0 ? -1 : m_Mesh.To(h)}, {1}) >= 0;
  }
  case kTriCloseLeft: {
    const int h = LeftTurn(m_Mesh.Prev(gate));
    return Add({right, left, h < 0 ? -1 : m_Mesh.From(h)}, {2}) >= 0;
  }
  default:
    m_Error = FormatText("Unknown triangle code %d", code);
    return 0;
  }
}

int CGateDecoder::QuadStep(int gate, int code) {
  const int left = m_Mesh.From(gate), right = m_Mesh.To(gate);
  int a = -1, b = -1;
  // the new quad's half-edges that become gates: 1 = L->b, 2 = b->a, 3 = a->R
  bool gate1 = false, gate2 = false, gate3 = false;
  // the far corners, found as the encoder's turns found them
  switch (code) {
  case kQuadSkip:
    return 1;
  case kQuadCreate2:
    a = NewVertex();
    b = a < 0 ? -1 : NewVertex();
    gate1 = gate2 = gate3 = true;
    break;
  case kQuadCreateRight: {
    const int hl = LeftTurn(m_Mesh.Prev(gate));
    b = hl < 0 ? -1 : m_Mesh.From(hl);
    a = NewVertex();
    gate2 = gate3 = true;
    break;
  }
  case kQuadCreateLeft: {
    const int hr = RightTurn(m_Mesh.Next(gate));
    a = hr < 0 ? -1 : m_Mesh.To(hr);
    b = NewVertex();
    gate1 = gate2 = true;
    break;
  }
  case kQuadMeshBoth: {
    const int hr = RightTurn(m_Mesh.Next(gate)), hl = LeftTurn(m_Mesh.Prev(gate));
    a = hr < 0 ? -1 : m_Mesh.To(hr);
    b = hl < 0 ? -1 : m_Mesh.From(hl);
    gate2 = true;
    break;
  }
  case kQuadMeshCw: {
    const int hr = RightTurn(m_Mesh.Next(gate));
    const int h = hr < 0 ? -1 : RightTurn(m_Mesh.Next(hr));
    a = hr < 0 ? -1 : m_Mesh.To(hr);
    b = h < 0 ? -1 : m_Mesh.To(h);
    gate1 = true;
    break;
  }
  case kQuadMeshCcw: {
    const int hl = LeftTurn(m_Mesh.Prev(gate));
    const int h = hl < 0 ? -1 : LeftTurn(m_Mesh.Prev(hl));
    b = hl < 0 ? -1 : m_Mesh.From(hl);
    a = h < 0 ? -1 : m_Mesh.From(h);
    gate3 = true;
    break;
  }
  default:
    m_Error = FormatText("Unknown quad code %d", code);
    return 0;
  }
  int gates[3], nbGate = 0;
  if (gate1) gates[nbGate++] = 1;
  if (gate2) gates[nbGate++] = 2;
  if (gate3) gates[nbGate++] = 3;
  const int corners[4] = {right, left, b, a};
  return Add(corners, 4, gates, nbGate) >= 0;
}

int CGateDecoder::Run(int firstSize, bool adaptive, std::string& error) {
  const std::vector<uint8_t> codes = std::move(m_Out.m_Codes);
  const std::vector<int> seeds = std::move(m_Out.m_Seeds);
  const std::vector<int> seedSizes = std::move(m_Out.m_SeedSizes);
  m_Out = CGateConquest();
  m_Queue.Reset(0, adaptive);
  const int first[4] = {0, 1, 2, 3};
  for (int i = 0; i < firstSize; ++i)
    if (NewVertex() < 0) return error = m_Error, 0;
  if (firstSize > 0 && !Seed(first, firstSize)) return error = m_Error, 0;
  size_t code = 0, seed = 0, corner = 0;
  bool exhausted = false;
  while (!exhausted) {
    while (!m_Queue.Empty()) {
      const int gate = m_Queue.Pop();
      if (m_Mesh.Opposite(gate) >= 0) continue;
      // the encoder stopped here (a limited conquest)
      if (code == codes.size()) {
        exhausted = true;
        break;
      }
      const int ok = Step(gate, codes[code]);
      if (!ok) {
        error = FormatText("Code %d of %d: ", int(code), int(codes.size())) + m_Error;
        return 0;
      }
      ++code;
    }
    if (exhausted) break;
    if (m_Faces == GateFaces::kPolygons) {
      // the next code seeds a run
      if (code == codes.size()) break;
      const int c = codes[code++];
      const int n = c == kPolyTriCreate || c == kPolyTriJoin ? 3 : 4;
      if (c == kPolyTriCreate || c == kPolyQuadCreate2) {
        const int all[4] = {m_Mesh.NbVertex(), m_Mesh.NbVertex() + 1, m_Mesh.NbVertex() + 2,
                            m_Mesh.NbVertex() + 3};
        if (!Seed(all, n)) return error = "Seed face: " + m_Error, 0;
        continue;
      }
      if (c != kPolyTriJoin && c != kPolyQuadJoin)
        return error = FormatText("Code %d cannot start a run", c), 0;
      if (seed == seedSizes.size() || seedSizes[seed] != n)
        return error = "A join code has no corners", 0;
    }
    if (seed == seedSizes.size()) break;
    const int n = seedSizes[seed++];
    if (corner + n > seeds.size() || !Seed(seeds.data() + corner, n))
      return error = "Seed face: " + m_Error, 0;
    corner += n;
  }
  if (code < codes.size()) return error = "Codes are left after the last gate", 0;
  if (seed < seedSizes.size()) return error = "Seed faces are left after the last code", 0;
  m_Out.m_Codes = codes;
  m_Out.m_Seeds = seeds;
  m_Out.m_SeedSizes = seedSizes;
  m_Out.m_NbVertex = m_Mesh.NbVertex();
  return 1;
}

} // namespace

int EncodeGateConquest(const CGateMesh& mesh, GateFaces faces, const CGateOptions& options,
                       CGateConquest& conquest, std::string& error) {
  CGateEncoder encoder(mesh, faces, options, conquest);
  return encoder.Run(error);
}

int DecodeGateConquest(GateFaces faces, int firstSize, bool adaptive, int64_t vertexLimit,
                       CGateConquest& conquest, std::string& error) {
  CGateDecoder decoder(faces, vertexLimit, conquest);
  return decoder.Run(firstSize, adaptive, error);
}

} // namespace orvex
