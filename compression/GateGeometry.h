#pragma once

#include <string>
#include <vector>

#include "compression/BitStream.h"

// Geometry section of the gate coders' polygon file: the positions of the
// vertices in conquest order, either as raw floats or predicted from the
// gate that reached each vertex and quantized.
//
// A vertex reached through a gate (left L, right R) with a face behind it
// (L, R, behind) is expressed in the gate's frame: x along L -> R, z the
// normal of the face behind, y = z x x. Its parameters are the azimuth
// (alpha) and elevation (gamma) of r - L with beta = |r - L| / |R - L|, or,
// with the local frame, the local x, y, z of r - L over |R - L|. Each
// parameter is quantized uniformly on its range. Prediction uses decoded
// positions only, so the encoder and the decoder build the same frames.

// Per vertex in conquest order: conquest-order indices of the gate's left
// and right corners and of a third corner of the face behind the gate, all
// earlier in the order; -1, -1, -1 for a seed corner (written raw).
struct CGateVertexRef {
  int left, right, behind;
};

struct CGateGeometryOptions {
  bool raw = false;                         // positions as 32-bit floats
  int alpha = 100, beta = 100, gamma = 100; // quantization levels
  bool useBeta = true;                      // beta itself, else its offset from the mean beta
  bool localFrame = false;                  // local x, y, z instead of alpha, beta, gamma
  int localX = 100, localY = 100, localZ = 100;
  bool together = false;  // local frame: x, y and z in one stream, else x + y, z
  int encodingOption = 0; // 0: three streams, 1: one, 2: alpha + beta and gamma
};

// Writes the section from the raw-geometry flag to the last parameter
// stream (the caller closes the stream). Returns 1, or 0 with a message
// (bad options, inconsistent references, a coordinate that is no finite
// number, more vertices than 24 bits can count).
int WriteGateGeometry(BitOutputStream& out, const std::vector<CGateVertexRef>& refs,
                      const std::vector<float>& xyz, const CGateGeometryOptions& options,
                      std::string& error);

// Reads the section back into `xyz` (3 floats per vertex of `refs`).
// Every count, flag and value is checked: a damaged or short section gives
// 0 with a message, `xyz` then unspecified.
int ReadGateGeometry(BitInputStream& in, const std::vector<CGateVertexRef>& refs,
                     std::vector<float>& xyz, std::string& error);
