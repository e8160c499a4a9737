#pragma once

#include <cstdint>
#include <vector>

#include "compression/ValenceConquest.h"
#include "compression/ValenceEncoder.h"
#include "geometry/Vector3d.h"

namespace orvex {

// Local frame on the gate triangle (g, e, v) = (T0, T1, T2): the origin T0,
// the unit normal of (T1 - T0) x (T2 - T0), the first tangential axis along
// T0 -> T2 and the second the normal crossed with the first. A
// normalization type scales both tangential axes to a length (1 unit, the
// perimeter, |T1 - T0| or the area); types 2 to 4 also divide the normal
// parameter by that length.
struct CValenceFrame {
  CVector3d m_Origin, m_Axis1, m_Axis2, m_Normal;
  double m_Scale = 1.0; // the normal parameter's unit
};

// Normalization type 0..4 of a "Normalization" list entry.
int NormalizationType(ValenceNormalization normalization);
CValenceFrame MakeFrame(const CVector3d& t0, const CVector3d& t1, const CVector3d& t2, int type);
// The two tangential parameters and the normal parameter of p in the frame.
void FrameParameters(const CValenceFrame& frame, const CVector3d& p, double out[3]);
CVector3d FramePoint(const CValenceFrame& frame, const double parameters[3]);

// Uniform quantizer of one parameter on [min, max] with b bits.
struct CValenceQuantizer {
  double m_Min = 0, m_Max = 0;
  int m_Bits = 8;
  int Levels() const { return (1 << m_Bits) - 1; }
  int Quantize(double x) const;
  double Reconstruct(int q) const;
};

struct CValenceGeometryResult {
  std::vector<uint8_t> m_Bytes; // contents of "pos.bin"
  long long m_Bits = 0;
  // reconstructed position of every vertex (the original where no record)
  std::vector<CVector3d> m_Positions;
};

// Codes the new vertices of the add steps in their local frames: collects
// the parameter ranges, quantizes, reconstructs and packs the quantized
// values with two order-0 context coders. Returns 0 with a message when the
// coder fails.
int CodeValenceGeometry(const CValenceTopology& topology,
                        const std::vector<CGeometryRecord>& records, const CValenceOptions& options,
                        CValenceGeometryResult& out, std::string& error);

} // namespace orvex
