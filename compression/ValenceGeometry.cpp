#include "compression/ValenceGeometry.h"

#include <algorithm>
#include <cmath>

#include "compression/BitStream.h"
#include "compression/ByteStream.h"
#include "compression/ContextCoder.h"
#include "geometry/Vertex3d.h"

namespace orvex {

namespace {

// Quantization bits outside the dialog's spin range are brought back in.
int ClampBits(int bits) {
  return std::min(11, std::max(4, bits));
}

// Codes one stream of quantized values and completes the current byte.
int PackValues(const std::vector<int>& values, int bits, BitOutputStream& out, std::string& error) {
  ContextEncoder encoder;
  if (!encoder.Init(1 << bits) || !encoder.Start(0)) {
    error = encoder.Error();
    return 0;
  }
  for (int q : values) encoder.Encode(q, out);
  int ok = encoder.Finish(out);
  out.Close();
  if (!ok) error = encoder.Error();
  return ok;
}

} // namespace

int NormalizationType(ValenceNormalization normalization) {
  switch (normalization) {
  case ValenceNormalization::Unitary:
    return 1;
  case ValenceNormalization::FacePerimeter:
    return 2;
  case ValenceNormalization::EdgeLength:
    return 3;
  case ValenceNormalization::FaceArea:
    return 4;
  default:
    return 0;
  }
}

CValenceFrame MakeFrame(const CVector3d& t0, const CVector3d& t1, const CVector3d& t2, int type) {
  CValenceFrame frame;
  frame.m_Origin = t0;
  CVector3d u = t1 - t0, w = t2 - t0;
  CVector3d cross = u ^ w;
  frame.m_Normal = cross;
  frame.m_Normal.Normalize();
  frame.m_Axis1 = w;
  frame.m_Axis2 = frame.m_Normal ^ frame.m_Axis1;
  if (type == 0) return frame;
  double length = 1.0;
  switch (type) {
  case 2:
    length = u.Length() + w.Length() + (t2 - t1).Length();
    break;
  case 3:
    length = u.Length();
    break;
  case 4:
    length = cross.Length() / 2.0;
    break;
  default:
    break;
  }
  frame.m_Axis1.SetLength(length);
  frame.m_Axis2.SetLength(length);
  if (type >= 2) frame.m_Scale = length;
  return frame;
}

void FrameParameters(const CValenceFrame& frame, const CVector3d& p, double out[3]) {
  // normal parameter: signed distance to the plane, in the frame's unit
  double distance = (p - frame.m_Origin) * frame.m_Normal;
  CVector3d projection = p - frame.m_Normal * distance;
  // a degenerate frame (zero length scale) has no normal unit
  out[2] = frame.m_Scale != 0.0 ? distance / frame.m_Scale : 0.0;
  // tangential parameters: the 2 x 2 system on the x and y components
  CVector3d r = projection - frame.m_Origin;
  const CVector3d& a = frame.m_Axis1;
  const CVector3d& b = frame.m_Axis2;
  double det = a.x * b.y - b.x * a.y;
  if (det == 0.0 || a.x == 0.0) {
    out[0] = out[1] = 0.0;
    return;
  }
  out[0] = (r.x * b.y - b.x * r.y) / det;
  out[1] = (a.x * r.y - r.x * a.y) / det;
}

CVector3d FramePoint(const CValenceFrame& frame, const double parameters[3]) {
  return frame.m_Origin + frame.m_Axis1 * parameters[0] + frame.m_Axis2 * parameters[1] +
         frame.m_Normal * (parameters[2] * frame.m_Scale);
}

int CValenceQuantizer::Quantize(double x) const {
  // a flat range (max = min) holds one value: level 0
  if (m_Max <= m_Min || x <= m_Min) return 0;
  if (x >= m_Max) return Levels();
  return static_cast<int>(std::floor((x - m_Min) / (m_Max - m_Min) * Levels() + 0.5));
}

double CValenceQuantizer::Reconstruct(int q) const {
  if (m_Max <= m_Min) return m_Min;
  return m_Min + static_cast<double>(q) / Levels() * (m_Max - m_Min);
}

int CodeValenceGeometry(const CValenceTopology& topology,
                        const std::vector<CGeometryRecord>& records, const CValenceOptions& options,
                        CValenceGeometryResult& out, std::string& error) {
  const int nv = topology.NbVertex();
  out.m_Positions.resize(nv);
  for (int v = 0; v < nv; ++v) out.m_Positions[v] = topology.Vertex(v)->Position();
  const int type = NormalizationType(options.m_Normalization);

  // frames and parameters of every record, with their ranges
  const size_t n = records.size();
  std::vector<CValenceFrame> frames(n);
  std::vector<double> parameters(3 * n);
  CValenceQuantizer quantizer[3];
  for (size_t i = 0; i < n; ++i) {
    const CGeometryRecord& r = records[i];
    CVector3d t0 = out.m_Positions[r.m_G];
    CVector3d t2 = r.m_V >= 0 ? out.m_Positions[r.m_V] : t0;
    frames[i] = MakeFrame(t0, out.m_Positions[r.m_E], t2, type);
    FrameParameters(frames[i], out.m_Positions[r.m_H], &parameters[3 * i]);
    for (int k = 0; k < 3; ++k) {
      double x = parameters[3 * i + k];
      if (i == 0 || x < quantizer[k].m_Min) quantizer[k].m_Min = x;
      if (i == 0 || x > quantizer[k].m_Max) quantizer[k].m_Max = x;
    }
  }
  quantizer[0].m_Bits = quantizer[1].m_Bits = ClampBits(options.m_ParamBits);
  quantizer[2].m_Bits = ClampBits(options.m_NormalBits);

  // quantization and reconstruction
  std::vector<int> tangential, normal;
  tangential.reserve(2 * n);
  normal.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    double rebuilt[3];
    for (int k = 0; k < 3; ++k) {
      int q = quantizer[k].Quantize(parameters[3 * i + k]);
      (k < 2 ? tangential : normal).push_back(q);
      rebuilt[k] = quantizer[k].Reconstruct(q);
    }
    out.m_Positions[records[i].m_H] = FramePoint(frames[i], rebuilt);
  }

  // "pos.bin": the tangential stream, then the normal stream
  CMemoryByteSink sink;
  BitOutputStream stream(&sink, 0);
  if (!PackValues(tangential, quantizer[0].m_Bits, stream, error) ||
      !PackValues(normal, quantizer[2].m_Bits, stream, error))
    return 0;
  out.m_Bits = stream.BitCount();
  out.m_Bytes = sink.Bytes();
  return 1;
}

} // namespace orvex
