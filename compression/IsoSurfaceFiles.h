#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "compression/IsoContour.h"

// The extracted surface saved beside an octree's sign file (".bbm"), in
// grid coordinates so that the ".bbm" line places it in space:
// - ".vtx": x, y, z of every vertex as little-endian float32, nothing else;
// - ".con": the quad count as a little-endian int32, then four int32 vertex
//   indices per quad.
// The readers check every count and index and that the data ends where the
// counts say.

// Vertices of a ".vtx" stream (3 per vertex); 0 with a message otherwise.
int IsoReadVertices(std::istream& in, std::vector<double>& xyz, std::string& error);
// Quads of a ".con" stream over `vertexCount` vertices (4 indices per quad,
// each below the count, no corner repeated); 0 with a message otherwise.
int IsoReadQuads(std::istream& in, int64_t vertexCount, std::vector<int>& quads,
                 std::string& error);

// base + ".vtx" and base + ".con" of `surface`; 0 with a message.
int IsoWriteSurfaceFiles(const std::string& base, const CIsoSurface& surface, std::string& error);
// Both files of `base`; messages name the file they concern.
int IsoReadSurfaceFiles(const std::string& base, std::vector<double>& xyz, std::vector<int>& quads,
                        std::string& error);
