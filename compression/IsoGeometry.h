#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compression/ArithmeticCoder.h"
#include "compression/IsoContour.h"
#include "compression/IsoHeader.h"
#include "compression/IsoModelSet.h"

// Local frame of a leaf (unit) cell, from its corner signs alone: the
// reference point is the cell centre, the normal the normalised sum of the
// corner offsets weighted +1 outside and -1 inside (z when that sum is 0),
// the first axis normal x the least aligned coordinate axis, the second
// normal x first.
struct CIsoFrame {
  double m_Reference[3];
  double m_Axis[3][3]; // first tangential, second tangential, normal
};
CIsoFrame IsoLeafFrame(const CBitGrid& signs, int64_t cell);

// Quantization of a component: q = round((v - lo) / r * L), halves upward,
// limited to 1..L-1; a zero range codes 1 and decodes to the minimum.
int IsoQuantize(double v, double lo, double range, int levels);
double IsoDequantize(int q, double lo, double range, int levels);

// Components of every surface vertex in its leaf frame (3 per vertex).
std::vector<double> IsoComponents(const CBitGrid& signs, const CIsoSurface& surface);

// Geometry models, one per context byte and component, made on first use.
class CIsoGeometryModels {
public:
  // Returns 0 with a message when the table cannot be had.
  int Init(const int levels[3], std::string& error);
  // Null with Error() set when the model cannot be made.
  AcModel* Model(int component, int context) {
    return m_Models.Get(component * 256 + context, m_Levels[component]);
  }
  const std::string& Error() const { return m_Models.Error(); }

private:
  int m_Levels[3] = {0, 0, 0};
  CIsoModelSet m_Models;
};

// Codes the components: every normal component first, then both tangential
// ones per vertex. Returns 0 with a message on a coder failure.
int IsoEncodeGeometry(const CBitGrid& signs, const CIsoSurface& surface,
                      const std::vector<double>& components, const CIsoHeader& header,
                      AcEncoder& encoder, std::string& error);
// Reads them back in the same order and places every vertex of `surface`
// (grid coordinates) in its leaf frame.
int IsoDecodeGeometry(const CBitGrid& signs, CIsoSurface& surface, const CIsoHeader& header,
                      AcDecoder& decoder, std::string& error);
